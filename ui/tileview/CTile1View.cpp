#include "tileview/CTile1View.h"

#include <algorithm>
#include <limits>

#include <QPainter>
#include <QWheelEvent>

#include "edit/Zoom.h"
#include "tileview/UsageOverlay.h"
#include "widgets/EdgePainting.h"
#include "widgets/GridLines.h"

namespace kesh::ui {

CTile1View::CTile1View(Document& doc, TilePainter& tiles, QWidget* parent)
    : CScrollView(parent), m_doc(doc), m_tileSet(doc.tiles()), m_tiles(tiles),
      m_framed(doc.currentTile()), m_zoomStep(kZoomActual) {
    m_doc.AddListener(this);
    // The grid always wraps to the view's width: there is nothing to scroll across.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Hovering names the tile under the pointer (tileHovered).
    viewport()->setMouseTracking(true);
}

CTile1View::~CTile1View() {
    m_doc.RemoveListener(this);
}

int CTile1View::StartZoomFor(int32_t tileWidth, int32_t tileHeight) {
    return tileWidth > 0 && tileHeight > 0 && tileWidth <= 16 && tileHeight <= 16 ? kZoomActual + 1
                                                                                  : kZoomActual;
}

void CTile1View::DocumentChanged(uint32_t changes) {
    // Until the user picks a zoom, it follows the tile size (StartZoomFor).
    if (changes & (change::kTiles | change::kTileLayout | change::kReplaced)) {
        FollowTileSize();
    }
    const bool recount = (changes & (change::kCells | change::kTiles | change::kMapLayout |
                                     change::kReplaced | change::kHistory)) != 0;
    if (recount) {
        m_usage.MarkStale();
    }
    if ((changes & (change::kTiles | change::kColours | change::kTileLayout | change::kReplaced)) ||
        (recount && m_usageShown)) {
        viewport()->update();
    } else if (changes & change::kCurrentTile) {
        const QPoint scroll = GetScrollPosition();
        InvalidateHighlight(m_framed, scroll);
        InvalidateHighlight(current(), scroll);
    }
    m_framed = current();
}

void CTile1View::OnPrepareDC() {
    const int32_t tw = cellWidth();
    const int32_t th = cellHeight();
    const int64_t n = GetTileCount();
    m_tilesPerRow = tw > 0 ? viewport()->width() / tw : 0;
    const int64_t rows = m_tilesPerRow > 0 ? (n + m_tilesPerRow - 1) / m_tilesPerRow : n;
    m_scrollHeight = static_cast<int32_t>(
        std::clamp<int64_t>(rows * std::max(th, 0), 0, std::numeric_limits<int32_t>::max()));
    // Nothing across: the grid is never wider than the view.
    SetScrollSizes({0, m_scrollHeight}, {tw, th});
}

void CTile1View::DrawCurrentFrame(QPainter& dc, int32_t x, int32_t y, int32_t tw, int32_t th) {
    // Two rings in the two pixels around the tile, white inside black, so
    // that one of them stands out whatever the tile's and its neighbours' colours.
    dc.save();
    dc.setBrush(Qt::NoBrush);
    dc.setPen(QPen(Qt::black, 1));
    dc.drawRect(x - 2, y - 2, tw + 3, th + 3);
    dc.setPen(QPen(Qt::white, 1));
    dc.drawRect(x - 1, y - 1, tw + 1, th + 1);
    dc.restore();
}

void CTile1View::OnDraw(QPainter& dc, const QRect& clip) {
    const int32_t tw = cellWidth();
    const int32_t th = cellHeight();
    if (tw <= 0 || th <= 0 || m_tilesPerRow <= 0 || clip.isEmpty()) {
        return;
    }
    const int32_t rows = m_scrollHeight / th;
    // Only the places that meet the clip rectangle; the grid itself is unbounded.
    const int32_t firstRow = std::max(clip.top() / th, 0);
    const int32_t endRow = std::min(clip.bottom() / th + 1, rows);
    const int32_t firstCol = std::max(clip.left() / tw, 0);
    const int32_t endCol = std::min(clip.right() / tw + 1, m_tilesPerRow);
    for (int32_t row = firstRow; row < endRow; ++row) {
        for (int32_t col = firstCol; col < endCol; ++col) {
            DrawTile(dc, row * m_tilesPerRow + col, col * tw, row * th, tw, th);
        }
    }
    if (m_bGrid && GridShown(tw, th) && firstRow < endRow && firstCol < endCol) {
        PaintGrid(dc,
                  clip.intersected(QRect(firstCol * tw, firstRow * th, (endCol - firstCol) * tw,
                                         (endRow - firstRow) * th)),
                  tw, th);
    }
    if (m_usageShown && firstRow < endRow) {
        const TileUsage& usage = m_usage.Usage();
        for (int32_t row = firstRow; row < endRow; ++row) {
            for (int32_t col = firstCol; col < endCol; ++col) {
                const size_t number = size_t(row) * size_t(m_tilesPerRow) + size_t(col);
                if (number < usage.counts.size()) {
                    usage::Paint(dc, col * tw, row * th, tw, th, usage.counts[number]);
                }
            }
        }
    }
    DrawDropMark(dc, tw, th);
    // The frame lies on top of the tiles around the current place.
    const int32_t cur = current();
    if (cur >= 0 && int64_t(cur) < int64_t(rows) * m_tilesPerRow) {
        const int32_t x = (cur % m_tilesPerRow) * tw;
        const int32_t y = (cur / m_tilesPerRow) * th;
        DrawCurrentFrame(dc, x, y, tw, th);
    }
}

int32_t CTile1View::cellWidth() const {
    return ZoomedSize(tileWidth(), m_zoomStep);
}

int32_t CTile1View::cellHeight() const {
    return ZoomedSize(tileHeight(), m_zoomStep);
}

void CTile1View::SetZoom(int step) {
    m_zoomChosen = true;
    ApplyZoom(step);
}

void CTile1View::FollowTileSize() {
    if (!m_zoomChosen) {
        ApplyZoom(StartZoomFor(tileWidth(), tileHeight()));
    }
}

void CTile1View::ApplyZoom(int step) {
    step = ClampZoomStep(step);
    if (step == m_zoomStep) {
        return;
    }
    // The row of the top of the view stays on top.
    const int32_t oldHeight = cellHeight();
    const int32_t topRow = oldHeight > 0 ? GetScrollPosition().y() / oldHeight : 0;
    m_zoomStep = step;
    OnPrepareDC();
    ScrollToPosition({0, topRow * cellHeight()});
    viewport()->update();
    emit zoomChanged(m_zoomStep);
}

CTile1View::ActualSizeLayout::ActualSizeLayout(CTile1View& view)
    : m_view(view), m_step(view.m_zoomStep), m_scroll(view.GetScrollPosition()) {
    m_view.m_zoomStep = kZoomActual;
    m_view.OnPrepareDC();
}

CTile1View::ActualSizeLayout::~ActualSizeLayout() {
    m_view.m_zoomStep = m_step;
    m_view.OnPrepareDC();
    m_view.ScrollToPosition(m_scroll);
}

void CTile1View::SetGrid(bool shown) {
    if (shown != m_bGrid) {
        m_bGrid = shown;
        viewport()->update();
    }
}

void CTile1View::wheelEvent(QWheelEvent* event) {
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        CScrollView::wheelEvent(event);
        return;
    }
    const int notches = WheelNotches(m_wheelPending, event->angleDelta().y());
    if (notches != 0) {
        SetZoom(m_zoomStep + notches);
    }
    event->accept();
}

} // namespace kesh::ui
