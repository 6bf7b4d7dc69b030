#include "mapview/CKeshView.h"

#include <algorithm>
#include <limits>

#include <QEvent>
#include <QWheelEvent>

namespace kesh::ui {

// Zoom, grid, the paint tool's state and the pointer readout of the map view.
// The map's editing counts in cells of the size they have on screen, so only
// the drawing and the scroll position need to know about the zoom.

int32_t CKeshView::cellWidth() const {
    return ZoomedSize(m_tiles.tileWidth(), m_zoomStep);
}

int32_t CKeshView::cellHeight() const {
    return ZoomedSize(m_tiles.tileHeight(), m_zoomStep);
}

QSize CKeshView::ActualPixelSize() const {
    const TilePainter* tiles = &m_tiles;
    constexpr int64_t kMaxPixels = std::numeric_limits<int32_t>::max() / 2;
    return {int(std::clamp<int64_t>(int64_t(tiles->tileWidth()) * m_map.width(), 0, kMaxPixels)),
            int(std::clamp<int64_t>(int64_t(m_map.height()) * tiles->tileHeight(), 0, kMaxPixels))};
}

void CKeshView::SetZoom(int step, std::optional<QPoint> anchor) {
    step = ClampZoomStep(step);
    const int mode = m_editor.dragMode();
    if (step == m_zoomStep || mode == DragPaint || mode == DragSelect) {
        return;
    }
    const int32_t oldWidth = cellWidth();
    const int32_t oldHeight = cellHeight();
    const Viewport view = CurrentViewport();
    m_zoomStep = step;
    const int32_t newWidth = cellWidth();
    const int32_t newHeight = cellHeight();
    if (oldWidth > 0 && newWidth > 0) {
        const QPoint at = anchor.value_or(QPoint(view.clientWidth / 2, view.clientHeight / 2));
        const Point scroll =
            AnchoredScroll({at.x(), at.y()}, view, m_map, oldWidth, oldHeight, newWidth, newHeight);
        // The new scroll range first, so the position is not cut to the old one.
        OnPrepareDC();
        ScrollToPosition({scroll.x, scroll.y});
    }
    viewport()->update();
    UpdateReadout();
    emit zoomChanged(m_zoomStep);
}

CKeshView::ScreenSelection::ScreenSelection(CKeshView& view) : m_view(view) {
    if (m_view.m_zoomStep != kZoomActual) {
        MapViewState& state = m_view.m_editor.state();
        state.m_rcSelect = m_view.SelectionOnScreen();
        m_converted = true;
    }
}

CKeshView::ScreenSelection::~ScreenSelection() {
    if (m_converted) {
        MapViewState& state = m_view.m_editor.state();
        state.m_rcSelect =
            RescaleSelection(state.m_rcSelect, m_view.cellWidth(), m_view.cellHeight(),
                             m_view.m_tiles.tileWidth(), m_view.m_tiles.tileHeight());
    }
}

Rect CKeshView::SelectionOnScreen() const {
    const MapViewState& state = m_editor.state();
    if (m_zoomStep == kZoomActual) {
        return state.m_rcSelect;
    }
    return RescaleSelection(state.m_rcSelect, m_tiles.tileWidth(), m_tiles.tileHeight(),
                            cellWidth(), cellHeight());
}

void CKeshView::SetGrid(bool shown) {
    if (shown != m_bGrid) {
        m_bGrid = shown;
        viewport()->update();
    }
}

void CKeshView::wheelEvent(QWheelEvent* event) {
    if (!event->modifiers().testFlag(Qt::ControlModifier)) {
        CScrollView::wheelEvent(event);
        return;
    }
    const int notches = WheelNotches(m_wheelPending, event->angleDelta().y());
    if (notches != 0) {
        SetZoom(m_zoomStep + notches, event->position().toPoint());
    }
    event->accept();
}

bool CKeshView::viewportEvent(QEvent* event) {
    // While a drag holds the mouse the pointer is still followed outside.
    if (event->type() == QEvent::Leave && !m_editor.capturing() && !m_readout.isEmpty()) {
        m_readout.clear();
        emit readoutChanged(m_readout);
    }
    return CScrollView::viewportEvent(event);
}

void CKeshView::UpdateReadout() {
    const QPoint client = PointerClient();
    const QPoint scroll = GetScrollPosition();
    const int32_t w = cellWidth();
    const int32_t h = cellHeight();
    std::optional<int32_t> cell;
    if (viewport()->rect().contains(client)) {
        cell = CellUnderPointer(m_map, {client.x(), client.y()}, {scroll.x(), scroll.y()}, w, h);
    }
    std::optional<Point> size;
    if (m_editor.dragMode() == DragSelect) {
        size = SelectionSize(SelectionOnScreen(), w, h);
    }
    const QString text = QString::fromStdString(PointerReadout(m_map, cell, size));
    if (text != m_readout) {
        m_readout = text;
        emit readoutChanged(m_readout);
    }
}

} // namespace kesh::ui
