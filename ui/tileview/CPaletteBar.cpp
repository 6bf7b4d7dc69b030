#include "tileview/CPaletteBar.h"

#include <algorithm>

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "layout/CellFields.h"
#include "tileset/ShownColours.h"

namespace kesh::ui {

namespace {

// A swatch is 11 pixels with a pixel between; a palette of more than 16
// colours goes on in further lines of its row.
constexpr int kPitch = 12;
constexpr int kPerLine = 16;
constexpr int kLabel = 22; // the palette number left of its row
constexpr int kMargin = 4;
constexpr int kRowGap = 4;

int LinesOf(int colours) {
    return std::max(1, (colours + kPerLine - 1) / kPerLine);
}

class Swatches : public QWidget {
public:
    explicit Swatches(CPaletteBar* bar, QWidget* parent) : QWidget(parent), m_bar(bar) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter dc(this);
        m_bar->PaintSwatches(dc, event->rect());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            m_bar->ChoosePalette(m_bar->PaletteAt(event->position().toPoint().y()));
        }
    }

private:
    CPaletteBar* m_bar;
};

} // namespace

CPaletteBar::CPaletteBar(Document& doc, QWidget* parent) : QDockWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("paletteBar"));
    setWindowTitle(QStringLiteral("팔레트"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable);
    auto* page = new QWidget(this);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    m_swatches = new Swatches(this, page);
    m_swatches->setObjectName(QStringLiteral("swatches"));
    m_note = new QLabel(QStringLiteral("지도 레이아웃에 팔레트 필드가 없고 타일 레이아웃에 "
                                       "Palette 항목이 없습니다."),
                        page);
    m_note->setObjectName(QStringLiteral("paletteNote"));
    m_note->setWordWrap(true);
    column->addWidget(m_swatches);
    column->addWidget(m_note);
    column->addStretch(1);
    setWidget(page);
    m_doc.AddListener(this);
    Refresh(true);
}

CPaletteBar::~CPaletteBar() {
    m_doc.RemoveListener(this);
}

CPaletteBar::Rows CPaletteBar::RowsOf(const Document& doc) {
    const MapFormat& map = doc.map().format();
    const bool field = (map.AttrMask() & cellbit::kPaletteMask) != 0;
    const int mapPalettes = field ? map.cells.PaletteCount() : 0;
    const TileFormat& tiles = doc.tiles().format();
    Rows rows;
    if (HardwareColourCount(tiles) > 0) {
        rows.palettes = tiles.params.paletteCount;
        rows.colours = tiles.params.coloursPerPalette;
    } else if (field) {
        rows.palettes = mapPalettes;
        rows.colours = map.cells.coloursPerPalette;
    }
    rows.choosable = std::min(mapPalettes, rows.palettes);
    const int brush = cellbit::PaletteOf(doc.brushAttr());
    rows.marked = field && brush < rows.palettes ? brush : -1;
    return rows;
}

void CPaletteBar::DocumentChanged(uint32_t changes) {
    // The brush (kCurrentTile) moves the mark only; the colours change with
    // the tile set and its layout.
    constexpr uint32_t kColoursShown =
        change::kColours | change::kTiles | change::kTileLayout | change::kReplaced;
    if (changes & (kColoursShown | change::kMapLayout | change::kCurrentTile)) {
        Refresh((changes & kColoursShown) != 0);
    }
}

void CPaletteBar::Refresh(bool colours) {
    const Rows rows = RowsOf(m_doc);
    if (colours || m_colours.empty()) {
        const ColourTable table = ShownColours(m_doc.tiles());
        m_colours.resize(256);
        for (size_t i = 0; i < 256; ++i) {
            m_colours[i] = qRgb(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
        }
    } else if (rows == m_rows) {
        return;
    }
    m_rows = rows;
    const int rowHeight = LinesOf(rows.colours) * kPitch;
    m_swatches->setFixedSize(2 * kMargin + kLabel + kPerLine * kPitch,
                             2 * kMargin + rows.palettes * (rowHeight + kRowGap));
    m_swatches->setEnabled(rows.palettes > 0);
    m_swatches->setToolTip(rows.choosable > 0 ? QStringLiteral("줄을 누르면 붓의 팔레트가 됩니다.")
                                              : QString());
    m_note->setVisible(rows.palettes == 0);
    m_swatches->update();
}

QRect CPaletteBar::RowRect(int palette) const {
    const int rowHeight = LinesOf(m_rows.colours) * kPitch;
    const int width = kLabel + std::min(m_rows.colours, kPerLine) * kPitch;
    return {kMargin, kMargin + palette * (rowHeight + kRowGap), width, rowHeight};
}

QRect CPaletteBar::SwatchRect(int palette, int colour) const {
    const QRect row = RowRect(palette);
    return {row.x() + kLabel + (colour % kPerLine) * kPitch, row.y() + (colour / kPerLine) * kPitch,
            kPitch - 1, kPitch - 1};
}

int CPaletteBar::PaletteAt(int y) const {
    const int pitch = LinesOf(m_rows.colours) * kPitch + kRowGap;
    if (y < kMargin) {
        return -1;
    }
    const int palette = (y - kMargin) / pitch;
    return palette < m_rows.palettes ? palette : -1;
}

void CPaletteBar::ChoosePalette(int palette) {
    if (palette < 0 || palette >= m_rows.choosable) {
        return;
    }
    m_doc.SetBrushAttr(cellbit::WithPalette(m_doc.brushAttr(), palette));
}

void CPaletteBar::PaintSwatches(QPainter& dc, const QRect& dirty) const {
    const QPalette& look = m_swatches->palette();
    for (int p = 0; p < m_rows.palettes; ++p) {
        const QRect row = RowRect(p);
        if (!row.adjusted(-2, -2, 2, 2).intersects(dirty)) {
            continue;
        }
        dc.setPen(p < m_rows.choosable ? look.color(QPalette::WindowText)
                                       : look.color(QPalette::Disabled, QPalette::WindowText));
        dc.drawText(QRect(row.x(), row.y(), kLabel - 2, kPitch), Qt::AlignRight | Qt::AlignVCenter,
                    QString::number(p));
        for (int c = 0; c < m_rows.colours; ++c) {
            const size_t index = size_t(p) * size_t(m_rows.colours) + size_t(c);
            if (index >= m_colours.size()) {
                break;
            }
            dc.fillRect(SwatchRect(p, c), QColor(m_colours[index]));
        }
        if (p == m_rows.marked) {
            dc.setPen(QPen(look.color(QPalette::Highlight), 2));
            dc.setBrush(Qt::NoBrush);
            dc.drawRect(row.adjusted(-1, -1, 0, 0));
        }
    }
}

} // namespace kesh::ui
