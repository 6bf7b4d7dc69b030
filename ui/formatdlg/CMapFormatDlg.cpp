#include "formatdlg/CMapFormatDlg.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "formatdlg/PlatformPresetCombo.h"

namespace kesh::ui {

namespace {

// The arrows step through this range; typed sizes are not bounded here.
constexpr int kMapStepLow = 1;
constexpr int kMapStepHigh = 32767;

CFormatDlgBase::Setup MapSetup() {
    CFormatDlgBase::Setup setup;
    setup.title = QStringLiteral("Map Property");
    setup.widthLabel = QStringLiteral("Width");
    setup.heightLabel = QStringLiteral("Height");
    setup.stepLow = kMapStepLow;
    setup.stepHigh = kMapStepHigh;
    setup.sizeRangeChecked = false;
    setup.itemText = &MapItemText;
    setup.itemCount = kMapItemCount;
    return setup;
}

} // namespace

CMapFormatDlg::CMapFormatDlg(const MapFormatEdit& edit, bool lockSize, QWidget* parent)
    : CFormatDlgBase(MapSetup(), ValuesOf(edit, lockSize), parent), m_tiles(edit.tiles),
      m_cells(edit.cells), m_data(edit.data) {
    m_preset = PlatformPresetCombo::AddRow(this, optionsLayout());
    connect(m_preset, &PlatformPresetCombo::presetChosen, this,
            [this](const PlatformLayouts& layouts) { UsePlatform(layouts.map); });
    m_cellFields = new CellFieldsBox(edit.cells, this);
    optionsLayout()->addWidget(m_cellFields);
    connect(m_cellFields, &CellFieldsBox::changed, this, [this] { UpdateLayout(); });
    connect(m_cellFields, &CellFieldsBox::presetChosen, this, &CMapFormatDlg::UsePresetItems);
    UpdateLayout();
}

namespace {

bool Holds(const std::vector<uint8_t>& items, uint8_t code) {
    return std::find(items.begin(), items.end(), code) != items.end();
}

bool IsCellItem(uint8_t code) {
    return code == MapItem::CellsByte || code == MapItem::CellsWord ||
           code == MapItem::CellFields || code == MapItem::CellAttributes;
}

} // namespace

CellLayout CMapFormatDlg::ShownCells() const {
    CellLayout cells = m_cells;
    if (m_cellFields) {
        (void)m_cellFields->Read(cells, true, true);
    }
    return cells;
}

void CMapFormatDlg::UsePresetItems(bool usesPlane) {
    std::vector<uint8_t> list;
    bool placed = false;
    for (const uint8_t code : items()) {
        if (!IsCellItem(code)) {
            list.push_back(code);
        } else if (!placed) {
            placed = true;
            if (usesPlane) {
                list.push_back(MapItem::CellsByte);
                list.push_back(MapItem::CellAttributes);
            } else {
                list.push_back(MapItem::CellFields);
            }
        }
    }
    if (!placed) {
        if (usesPlane) {
            list.push_back(MapItem::CellsByte);
            list.push_back(MapItem::CellAttributes);
        } else {
            list.push_back(MapItem::CellFields);
        }
    }
    ReplaceItems(std::move(list));
}

void CMapFormatDlg::UsePlatform(const MapFormat& map) {
    // The layout a cell word or plane left out reads as the preset's, so
    // the colours a palette steps over are the preset's too.
    m_cells = map.cells;
    m_cellFields->Show(map.cells);
    ReplaceItems(map.items);
}

void CMapFormatDlg::accept() {
    const bool word = Holds(items(), MapItem::CellFields);
    const bool plane = Holds(items(), MapItem::CellAttributes);
    const bool nesTable = Holds(items(), MapItem::NesAttributes);
    if (word || plane) {
        CellLayout cells;
        if (const Status st = m_cellFields->Read(cells, word, plane, nesTable); !st) {
            ShowMessage(QString::fromStdString(st.message()));
            return;
        }
        m_cells = cells;
    } else if (nesTable) {
        m_cells.coloursPerPalette = uint16_t(m_cellFields->coloursBox()->value());
    }
    CFormatDlgBase::accept();
}

LayoutTable CMapFormatDlg::ComputeLayout() const {
    MapFormat format;
    format.header = shownHeader();
    format.width = shownWidth();
    format.height = shownHeight();
    format.items = items();
    format.cells = ShownCells();
    MapLayoutData data;
    data.tiles.tilesKnown = false;
    return MapLayoutTable(format, m_tiles, m_data.value_or(data));
}

MapFormatEdit CMapFormatDlg::Result() const {
    MapFormatEdit edit;
    GetValues(edit);
    edit.cells = m_cells;
    return edit;
}

} // namespace kesh::ui
