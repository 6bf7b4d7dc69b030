#include "formatdlg/CTileFormatDlg.h"

#include "formatdlg/PlatformPresetCombo.h"
#include "formatdlg/SizeSpinBox.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "layout/TileBudget.h"

namespace kesh::ui {

namespace {

constexpr int kMinTileSize = 8;
constexpr int kMaxTileSize = 128;

CFormatDlgBase::Setup TileSetup() {
    CFormatDlgBase::Setup setup;
    setup.title = QStringLiteral("Config");
    setup.widthLabel = QStringLiteral("X Size");
    setup.heightLabel = QStringLiteral("Y Size");
    setup.stepLow = kMinTileSize;
    setup.stepHigh = kMaxTileSize;
    setup.sizeRangeChecked = true;
    setup.itemText = &TileItemText;
    setup.itemCount = kTileItemCount;
    setup.later = {TileItem::Pixels, TileItem::Palette};
    return setup;
}

bool Holds(const std::vector<uint8_t>& items, uint8_t code) {
    return std::find(items.begin(), items.end(), code) != items.end();
}

QString Latin(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

CTileFormatDlg::CTileFormatDlg(const TileFormatEdit& edit, QWidget* parent)
    : CFormatDlgBase(TileSetup(), ValuesOf(edit, edit.sizesLocked), parent), m_data(edit.data),
      m_originalAttrWidth(edit.attrWidth), m_sizesLocked(edit.sizesLocked) {
    m_preset = PlatformPresetCombo::AddRow(this, optionsLayout());
    connect(m_preset, &PlatformPresetCombo::presetChosen, this,
            [this](const PlatformLayouts& layouts) { UsePreset(layouts.tile); });
    auto* group = new QGroupBox(QStringLiteral(" 타일 속성"), this);
    auto* row = new QHBoxLayout(group);
    m_attrGroup = new QButtonGroup(this);
    const char* const texts[] = {"1 byte", "2 byte", "4 byte"};
    for (int selector = 0; selector < 3; ++selector) {
        auto* button = new QRadioButton(QString::fromUtf8(texts[selector]), group);
        button->setObjectName(QStringLiteral("attr%1").arg(selector));
        m_attrGroup->addButton(button, selector);
        row->addWidget(button);
    }
    // A selector from a damaged descriptor checks no button and is kept unless one is chosen.
    if (QAbstractButton* button = m_attrGroup->button(edit.attrWidth)) {
        button->setChecked(true);
    }
    optionsLayout()->addWidget(group);
    BuildTileLimit(edit);
    optionsLayout()->addWidget(BuildParams(edit.params));
    connect(m_attrGroup, &QButtonGroup::idToggled, this, [this] { UpdateLayout(); });
    RefreshItemLines();
    UpdateLayout();
    ItemsChanged();
}

QGroupBox* CTileFormatDlg::BuildParams(const TileItemParams& params) {
    auto* group = new QGroupBox(QStringLiteral(" 픽셀과 색 형식"), this);
    auto* grid = new QGridLayout(group);
    m_pixelCombo = new QComboBox(group);
    m_pixelCombo->setObjectName(QStringLiteral("pixelEncoding"));
    for (int i = 0; i < kPixelEncodingCount; ++i) {
        m_pixelCombo->addItem(Latin(PixelEncodingName(PixelEncoding(i))));
    }
    m_colourCombo = new QComboBox(group);
    m_colourCombo->setObjectName(QStringLiteral("colourEncoding"));
    for (int i = 0; i < kColourEncodingCount; ++i) {
        m_colourCombo->addItem(Latin(ColourEncodingName(ColourEncoding(i))));
    }
    m_paletteCount = new QSpinBox(group);
    m_paletteCount->setObjectName(QStringLiteral("paletteCount"));
    m_colours = new QSpinBox(group);
    m_colours->setObjectName(QStringLiteral("coloursPerPalette"));
    m_colours->setRange(2, 256);
    grid->addWidget(new QLabel(QStringLiteral("픽셀 형식"), group), 0, 0);
    grid->addWidget(m_pixelCombo, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("색 형식"), group), 1, 0);
    grid->addWidget(m_colourCombo, 1, 1);
    auto* sizes = new QHBoxLayout;
    sizes->addWidget(new QLabel(QStringLiteral("팔레트"), group));
    sizes->addWidget(m_paletteCount);
    sizes->addWidget(new QLabel(QStringLiteral("개 × 색"), group));
    sizes->addWidget(m_colours);
    sizes->addWidget(new QLabel(QStringLiteral("개"), group));
    sizes->addStretch(1);
    grid->addLayout(sizes, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    m_pixelCombo->setCurrentIndex(int(params.pixels));
    m_colourCombo->setCurrentIndex(int(params.colours));
    m_colours->setValue(params.coloursPerPalette);
    // P x K fits the 256-colour table: P's limit follows K.
    m_paletteCount->setRange(1, 256 / m_colours->value());
    m_paletteCount->setValue(params.paletteCount);
    connect(m_colours, &QSpinBox::valueChanged, this, [this](int k) {
        m_paletteCount->setMaximum(256 / k);
        OnParamsChanged();
    });
    connect(m_paletteCount, &QSpinBox::valueChanged, this, &CTileFormatDlg::OnParamsChanged);
    connect(m_pixelCombo, &QComboBox::currentIndexChanged, this, &CTileFormatDlg::OnParamsChanged);
    connect(m_colourCombo, &QComboBox::currentIndexChanged, this, &CTileFormatDlg::OnParamsChanged);
    return group;
}

void CTileFormatDlg::BuildTileLimit(const TileFormatEdit& edit) {
    m_originalLimit = edit.tileLimit;
    m_storedTiles = edit.storedTiles;
    const int most = int(std::clamp<int64_t>(edit.mostTiles, 1, 0xFFFF));
    m_openedLimit = edit.tileLimit > 0 ? std::min(int(edit.tileLimit), most) : most;
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("타일 한도"), this);
    m_tileLimit = new QSpinBox(this);
    m_tileLimit->setObjectName(QStringLiteral("tileLimit"));
    m_tileLimit->setRange(1, most);
    m_tileLimit->setValue(m_openedLimit);
    m_tileLimit->setToolTip(QStringLiteral("지도 칸이 담을 수 있는 가장 큰 수: %1").arg(most));
    label->setBuddy(m_tileLimit);
    row->addWidget(label);
    row->addWidget(m_tileLimit);
    row->addWidget(new QLabel(QStringLiteral("개"), this));
    row->addStretch(1);
    optionsLayout()->addLayout(row);
    connect(m_tileLimit, &QSpinBox::valueChanged, this, [this] { UpdateLayout(); });
}

uint32_t CTileFormatDlg::ChosenTileLimit() const {
    const int shown = m_tileLimit->value();
    if (shown == m_openedLimit) {
        return m_originalLimit;
    }
    return shown == m_tileLimit->maximum() ? 0 : uint32_t(shown);
}

TileItemParams CTileFormatDlg::ShownParams() const {
    TileItemParams params;
    params.pixels = PixelEncoding(std::max(m_pixelCombo->currentIndex(), 0));
    params.colours = ColourEncoding(std::max(m_colourCombo->currentIndex(), 0));
    params.coloursPerPalette = uint16_t(m_colours->value());
    params.paletteCount = uint16_t(m_paletteCount->value());
    return params;
}

void CTileFormatDlg::UsePreset(const TileFormat& tiles) {
    if (!m_sizesLocked) {
        widthBox()->setValue(tiles.width);
        heightBox()->setValue(tiles.height);
    }
    {
        const QSignalBlocker a(m_pixelCombo), b(m_colourCombo), c(m_colours), d(m_paletteCount);
        m_pixelCombo->setCurrentIndex(int(tiles.params.pixels));
        m_colourCombo->setCurrentIndex(int(tiles.params.colours));
        m_colours->setValue(tiles.params.coloursPerPalette);
        m_paletteCount->setMaximum(256 / m_colours->value());
        m_paletteCount->setValue(tiles.params.paletteCount);
    }
    ReplaceItems(tiles.items);
    OnParamsChanged();
}

void CTileFormatDlg::OnParamsChanged() {
    RefreshItemLines();
    UpdateLayout();
}

void CTileFormatDlg::ItemsChanged() {
    const bool pixels = Holds(items(), TileItem::Pixels);
    const bool palette = Holds(items(), TileItem::Palette);
    m_pixelCombo->setEnabled(pixels);
    m_colourCombo->setEnabled(palette);
    m_paletteCount->setEnabled(palette);
    m_colours->setEnabled(palette);
}

QString CTileFormatDlg::ItemLine(uint8_t code) const {
    // Called by the base while the parameter controls are not built yet.
    if (!m_pixelCombo || (code != TileItem::Pixels && code != TileItem::Palette)) {
        return CFormatDlgBase::ItemLine(code);
    }
    const TileItemParams params = ShownParams();
    if (code == TileItem::Pixels) {
        return QStringLiteral("타일데이터 (%1)").arg(Latin(PixelEncodingName(params.pixels)));
    }
    return QStringLiteral("팔렛 (%1, 팔레트 %2개 × 색 %3개)")
        .arg(Latin(ColourEncodingName(params.colours)))
        .arg(params.paletteCount)
        .arg(params.coloursPerPalette);
}

LayoutTable CTileFormatDlg::ComputeLayout() const {
    TileFormat format;
    format.header = shownHeader();
    format.width = shownWidth();
    format.height = shownHeight();
    const int checked = m_attrGroup->checkedId();
    format.attrWidth = checked >= 0 ? checked : m_originalAttrWidth;
    format.items = items();
    format.params = ShownParams();
    TileLayoutData data;
    data.tilesKnown = false;
    LayoutTable table = TileLayoutTable(format, m_data.value_or(data));
    // Called by the base before the limit's box is built.
    if (m_tileLimit) {
        std::string over = TileLimitWarning(m_storedTiles, m_tileLimit->value());
        if (!over.empty()) {
            table.warnings.push_back(std::move(over));
        }
    }
    return table;
}

QRadioButton* CTileFormatDlg::attrButton(int selector) const {
    return qobject_cast<QRadioButton*>(m_attrGroup->button(selector));
}

TileFormatEdit CTileFormatDlg::Result() const {
    TileFormatEdit edit;
    GetValues(edit);
    const int checked = m_attrGroup->checkedId();
    edit.attrWidth = checked >= 0 ? checked : m_originalAttrWidth;
    edit.params = ShownParams();
    edit.tileLimit = ChosenTileLimit();
    edit.sizesLocked = m_sizesLocked;
    return edit;
}

} // namespace kesh::ui
