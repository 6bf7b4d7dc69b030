#include "mapview/CKeshView.h"

#include <algorithm>
#include <limits>

#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include "edit/MapGeometry.h"
#include "mapview/CellAttrMarks.h"
#include "widgets/EdgePainting.h"
#include "widgets/GridLines.h"

namespace kesh::ui {

namespace {
constexpr int kTimerPeriodMs = 10;
}

CKeshView::CKeshView(Document& doc, TilePainter& tiles, QWidget* parent)
    : CScrollView(parent), m_doc(doc), m_map(doc.map()), m_tiles(tiles) {
    m_doc.AddListener(this);
    // Drives the scrolling near the window's edge during paint and selection
    // drags; it runs only while one is under way, so an idle editor sleeps.
    m_timer.setInterval(kTimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(m_nTimer); });
    // The pointer readout follows the pointer without a button held, and the
    // map moving under it.
    viewport()->setMouseTracking(true);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (viewport()->underMouse()) {
                UpdateReadout();
            }
        });
    }
}

CKeshView::~CKeshView() {
    m_timer.stop();
    m_doc.RemoveListener(this);
}

void CKeshView::SetCellAttrsShown(bool shown) {
    m_bCellAttrs = shown;
    UpdateLegend();
    viewport()->update();
}

void CKeshView::UpdateLegend() {
    const QString legend =
        m_bCellAttrs && m_map.hasAttrs() ? CellAttrMarks::Legend(m_map.format().cells) : QString();
    if (legend.isEmpty()) {
        if (m_legend) {
            m_legend->hide();
        }
        return;
    }
    if (!m_legend) {
        // A child of the view, not of the viewport, so scrolling leaves it in place.
        m_legend = new QLabel(this);
        m_legend->setObjectName(QStringLiteral("cellAttrLegend"));
        m_legend->setTextFormat(Qt::RichText);
        m_legend->setAutoFillBackground(true);
        m_legend->setMargin(3);
    }
    m_legend->move(viewport()->geometry().topLeft() + QPoint(4, 4));
    m_legend->setText(legend);
    m_legend->adjustSize();
    m_legend->show();
    m_legend->raise();
}

void CKeshView::DocumentChanged(uint32_t changes) {
    if (changes & (change::kMapLayout | change::kReplaced)) {
        UpdateLegend();
    }
    if (changes & (change::kCells | change::kTiles | change::kColours | change::kTileLayout |
                   change::kReplaced)) {
        // A replaced grid or tile size takes the current cell and selection along.
        (void)m_editor.state();
        viewport()->update();
    }
}

void CKeshView::OnPrepareDC() {
    m_nPixelWidth = 0;
    m_nPixelHeight = 0;
    // Kept well inside int so that cell corners near the far edge still fit.
    constexpr int64_t kMaxPixels = std::numeric_limits<int32_t>::max() / 2;
    // At a zoom other than 1x these are pixels on screen, a cell being
    // cellWidth() x cellHeight() of them.
    const int32_t w = cellWidth();
    const int32_t h = cellHeight();
    m_nPixelWidth =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t(w) * m_map.width(), 0, kMaxPixels));
    m_nPixelHeight =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t(m_map.height()) * h, 0, kMaxPixels));
    SetScrollSizes({m_nPixelWidth, m_nPixelHeight}, {w, h});
}

CellRange CKeshView::CellsToDraw(const QRect& clip, int32_t w, int32_t h) const {
    const QPoint scroll = GetScrollPosition();
    const QSize client = viewport()->size();
    // The visible cells and up to two more each way...
    const CellRange visible =
        VisibleCells(m_map, {{scroll.x(), scroll.y()}, client.width(), client.height()}, w, h);
    // ...of which only those that meet the rectangle being repainted.
    return {std::max(visible.firstCol, clip.left() / w), std::max(visible.firstRow, clip.top() / h),
            std::min(visible.endCol, clip.right() / w + 1),
            std::min(visible.endRow, clip.bottom() / h + 1)};
}

QRect CKeshView::OpaqueArea(QPainter& dc, const QRect& clip) {
    if (!m_map.hasCells() || m_nPixelHeight <= 0 || m_nPixelWidth <= 0) {
        return {};
    }
    const CellRange cells = CellsToDraw(clip, cellWidth(), cellHeight());
    if (m_zoomStep != kZoomActual) {
        return ZoomedMapPainter::Covered(dc, clip, cells, cellWidth(), cellHeight());
    }
    return MapStripPainter::Covered(dc, m_tiles, clip, cells.firstCol, cells.endCol, cells.firstRow,
                                    cells.endRow);
}

void CKeshView::OnDraw(QPainter& dc, const QRect& clip) {
    if (!m_map.hasCells() || m_nPixelHeight <= 0 || m_nPixelWidth <= 0) {
        return;
    }
    const QPoint scroll = GetScrollPosition();
    const QSize client = viewport()->size();
    const int32_t w = cellWidth();
    const int32_t h = cellHeight();
    const CellRange visible =
        VisibleCells(m_map, {{scroll.x(), scroll.y()}, client.width(), client.height()}, w, h);
    const CellRange range = CellsToDraw(clip, w, h);
    const int32_t firstCol = range.firstCol;
    const int32_t endCol = range.endCol;
    const int32_t firstRow = range.firstRow;
    const int32_t endRow = range.endRow;

    // Whole rows of cells at a time where that draws the same pixels (zoomed:
    // the whole block at once), else cell by cell.
    const bool grid = m_bGrid && GridShown(w, h);
    const bool drawn =
        m_zoomStep == kZoomActual
            ? m_strips.Draw(dc, m_map, m_tiles, clip, firstCol, endCol, firstRow, endRow, grid)
            : m_zoomed.Draw(dc, m_map, m_tiles, clip, range, w, h, grid);
    const uint16_t* cells = m_map.cells().data();
    const int colours = m_map.format().cells.coloursPerPalette;
    for (int32_t row = firstRow; row < endRow && !drawn; ++row) {
        const size_t start = size_t(row) * size_t(m_map.width());
        for (int32_t col = firstCol; col < endCol; ++col) {
            const uint16_t value = cells[start + size_t(col)];
            m_tiles.DrawCell(dc, value == kEmptyCell ? -1 : value,
                             m_map.attrAt(start + size_t(col)), colours, col * w, row * h, w, h);
        }
    }
    if (m_bCellAttrs) {
        CellAttrMarks::Draw(dc, m_map, range, w, h);
    }
    if (!drawn && grid && firstCol < endCol && firstRow < endRow) {
        PaintGrid(dc,
                  clip.intersected(QRect(firstCol * w, firstRow * h, (endCol - firstCol) * w,
                                         (endRow - firstRow) * h)),
                  w, h);
    }

    const MapViewState& state = m_editor.state();
    const int32_t curCol = state.curCol(m_map);
    const int32_t curRow = state.curRow(m_map);
    if (curCol >= visible.firstCol && curCol < visible.endCol && curRow >= visible.firstRow &&
        curRow < visible.endRow) {
        const int32_t x = curCol * w;
        const int32_t y = curRow * h;
        DrawRaisedEdge(dc, x - 2, y - 2, x + w + 2, y + h + 2);
    }

    // The selection's right and bottom are its last pixels; the dotted border
    // is drawn just inside them, as a rectangle ending there.
    const Rect sel = SelectionOnScreen();
    DrawFocusRect(dc, sel.left, sel.top, sel.right, sel.bottom);
}

int CKeshView::HitTestCell(QPoint& pt, QPoint* pPrev) {
    const QPoint scroll = GetScrollPosition();
    Point point{pt.x(), pt.y()};
    Point prev;
    const int index = m_editor.state().HitTestCell(
        m_map, point, {scroll.x(), scroll.y()}, cellWidth(), cellHeight(), pPrev ? &prev : nullptr);
    if (index < 0) {
        return -1;
    }
    pt = {point.x, point.y};
    if (pPrev) {
        *pPrev = {prev.x, prev.y};
    }
    return index;
}

} // namespace kesh::ui
