#include "tileview/CTileEditPanel.h"

#include <algorithm>

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "layout/CellFields.h"
#include "tileset/ShownColours.h"
#include "tileview/TileEditCanvas.h"
#include "tileview/TileEditSwatches.h"

namespace kesh::ui {

namespace {

struct ToolText {
    PixelTool tool;
    const char* text;
    const char* tip;
};

constexpr ToolText kTools[] = {
    {PixelTool::Pencil, "연필", "끌면서 점을 찍습니다."},
    {PixelTool::Line, "직선", "누른 곳에서 놓은 곳까지 선을 긋습니다."},
    {PixelTool::Rectangle, "사각형", "누른 곳과 놓은 곳을 모서리로 하는 사각형을 그립니다."},
    {PixelTool::Fill, "채우기", "누른 점과 같은 색으로 이어진 점들을 칠합니다."},
    {PixelTool::Picker, "스포이트", "누른 점의 색을 고릅니다. 오른쪽 단추로도 고릅니다."},
};

constexpr struct {
    TileTransform how;
    const char* text;
    const char* tip;
} kTransforms[] = {
    {TileTransform::FlipH, "좌우", "좌우 뒤집기"},
    {TileTransform::FlipV, "상하", "상하 뒤집기"},
    {TileTransform::Rotate90, "90°", "90° 회전 (정사각형 타일만)"},
    {TileTransform::ShiftUp, "↑", "위로 한 점 밀기"},
    {TileTransform::ShiftDown, "↓", "아래로 한 점 밀기"},
    {TileTransform::ShiftLeft, "←", "왼쪽으로 한 점 밀기"},
    {TileTransform::ShiftRight, "→", "오른쪽으로 한 점 밀기"},
};

} // namespace

CTileEditPanel::CTileEditPanel(Document& doc, QWidget* parent) : QDockWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("tileEditPanel"));
    setWindowTitle(QStringLiteral("타일 편집"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable);
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    m_title = new QLabel(page);
    m_title->setObjectName(QStringLiteral("tileEditTitle"));
    column->addWidget(m_title);
    column->addWidget(MakeToolRow());
    column->addWidget(MakeTransformRow());
    m_canvas = new TileEditCanvas(*this, page);
    column->addWidget(m_canvas, 1);
    m_swatchRow = new TileEditSwatches(*this, page);
    column->addWidget(m_swatchRow);
    auto* equalRow = new QHBoxLayout;
    m_equalNotice = new QLabel(page);
    m_equalNotice->setObjectName(QStringLiteral("equalNotice"));
    m_merge = new QPushButton(QStringLiteral("합치기"), page);
    m_merge->setObjectName(QStringLiteral("mergeEqual"));
    m_merge->setToolTip(QStringLiteral("이 타일을 쓰는 칸이 같은 타일을 쓰게 하고 이 타일을 "
                                       "지웁니다."));
    connect(m_merge, &QPushButton::clicked, this, [this] { MergeIntoEqual(); });
    equalRow->addWidget(m_equalNotice, 1);
    equalRow->addWidget(m_merge);
    column->addLayout(equalRow);
    setWidget(page);
    m_doc.AddListener(this);
    Refresh();
}

CTileEditPanel::~CTileEditPanel() {
    m_doc.RemoveListener(this);
}

QWidget* CTileEditPanel::MakeToolRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    m_tools = new QButtonGroup(this);
    m_tools->setExclusive(true);
    for (const ToolText& t : kTools) {
        auto* button = new QToolButton(row);
        button->setText(QString::fromUtf8(t.text));
        button->setToolTip(QString::fromUtf8(t.tip));
        button->setCheckable(true);
        button->setChecked(t.tool == m_tool);
        m_tools->addButton(button, int(t.tool));
        line->addWidget(button);
    }
    line->addStretch(1);
    connect(m_tools, &QButtonGroup::idClicked, this,
            [this](int id) { SetTool(PixelTool(id)); });
    return row;
}

QWidget* CTileEditPanel::MakeTransformRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    for (const auto& t : kTransforms) {
        auto* button = new QToolButton(row);
        button->setText(QString::fromUtf8(t.text));
        button->setToolTip(QString::fromUtf8(t.tip));
        m_transforms[int(t.how)] = button;
        connect(button, &QToolButton::clicked, this, [this, how = t.how] { Transform(how); });
        line->addWidget(button);
    }
    line->addStretch(1);
    return row;
}

QAbstractButton* CTileEditPanel::toolButton(PixelTool tool) const {
    return m_tools->button(int(tool));
}

QAbstractButton* CTileEditPanel::transformButton(TileTransform how) const {
    return m_transforms[int(how)];
}

CTileEditPanel::Swatches CTileEditPanel::SwatchesOf(const Document& doc) {
    const MapFormat& map = doc.map().format();
    Swatches s;
    if ((map.AttrMask() & cellbit::kPaletteMask) != 0 && map.cells.coloursPerPalette > 0) {
        s.count = std::min<int>(map.cells.coloursPerPalette, 256);
        s.first = (cellbit::PaletteOf(doc.brushAttr()) * s.count) % 256;
    } else if (const int hardware = HardwareColourCount(doc.tiles().format()); hardware > 0) {
        s.count = std::min(hardware, 256);
    }
    return s;
}

QRgb CTileEditPanel::ShownColour(int value) const {
    return m_doc.tiles().argbOf(uint8_t(m_swatches.first + value));
}

void CTileEditPanel::SetTool(PixelTool tool) {
    m_drawing.Release();
    m_tool = tool;
    if (QAbstractButton* button = toolButton(tool))
        button->setChecked(true);
}

void CTileEditPanel::SetColour(uint8_t value) {
    m_colour = uint8_t(std::min<int>(value, m_swatches.count - 1));
    m_swatchRow->update();
}

const uint8_t* CTileEditPanel::tilePixels() const {
    return m_doc.tiles().tiles().PixelsAt(tile());
}

void CTileEditPanel::PressPixel(Point at, PixelTool tool) {
    if (const std::optional<uint8_t> picked = m_drawing.Press(tile(), at, tool, m_colour))
        SetColour(*picked);
}

void CTileEditPanel::ReleasePixel() {
    m_drawing.Release();
    Refresh();
}

void CTileEditPanel::Transform(TileTransform how) {
    m_drawing.Release();
    if (Status st = m_doc.TransformTile(tile(), how); !st)
        emit notice(QString::fromStdString(st.message()));
}

void CTileEditPanel::MergeIntoEqual() {
    if (!m_equal)
        return;
    const int32_t from = tile();
    const TileMatch into = *m_equal;
    CleanupSummary summary;
    if (Status st = m_doc.MergeTiles(from, into.tile, into.flip, summary); !st) {
        emit notice(QString::fromStdString(st.message()));
        return;
    }
    // The merge makes the tile it went into current.
    emit notice(QStringLiteral("%1번 타일을 %2번 타일에 합쳤습니다.").arg(from).arg(into.tile));
}

void CTileEditPanel::DocumentChanged(uint32_t changes) {
    if (!(changes & (change::kTiles | change::kColours | change::kCurrentTile |
                     change::kTileLayout | change::kMapLayout | change::kReplaced |
                     change::kHistory)))
        return;
    // A closed panel catches up when it opens. The moves of a pencil drag
    // (kTiles alone) repaint; the match is looked for again at the stroke's
    // end, with the step (kHistory).
    if (!isVisible())
        m_stale = true;
    else
        Refresh((changes & ~change::kTiles) != 0);
}

void CTileEditPanel::showEvent(QShowEvent* event) {
    if (m_stale)
        Refresh();
    QDockWidget::showEvent(event);
}

void CTileEditPanel::Refresh(bool match) {
    m_stale = false;
    const Swatches swatches = SwatchesOf(m_doc);
    if (!(swatches == m_swatches)) {
        m_swatches = swatches;
        m_colour = uint8_t(std::min<int>(m_colour, m_swatches.count - 1));
        m_swatchRow->Relayout();
    }
    const int32_t number = tile();
    const bool has = tilePixels() != nullptr;
    m_title->setText(has ? QStringLiteral("타일 %1 (%2×%3)")
                               .arg(number)
                               .arg(tileWidth())
                               .arg(tileHeight())
                         : QStringLiteral("타일이 없습니다."));
    for (const auto& t : kTransforms)
        m_transforms[int(t.how)]->setEnabled(
            has && (t.how != TileTransform::Rotate90 || tileWidth() == tileHeight()));
    for (QAbstractButton* b : m_tools->buttons())
        b->setEnabled(has);
    if (match && !m_drawing.dragging())
        m_equal = has ? TileMatcher::FindEqual(m_doc.tiles().tiles(), number, m_doc.mapFlips())
                      : std::nullopt;
    m_equalNotice->setText(m_equal ? QStringLiteral("타일 %1과 같습니다").arg(m_equal->tile)
                                   : QString());
    m_equalNotice->setVisible(m_equal.has_value());
    m_merge->setVisible(m_equal.has_value());
    m_canvas->update();
    m_swatchRow->update();
}

} // namespace kesh::ui
