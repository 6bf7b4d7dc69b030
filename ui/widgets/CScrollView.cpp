#include "widgets/CScrollView.h"

#include <algorithm>

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace kesh::ui {

CScrollView::CScrollView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // Every repaint starts by filling black.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Nothing to scroll until the view has laid itself out.
    SetScrollSizes({0, 0}, {1, 1});
}

CScrollView::~CScrollView() = default;

QPoint CScrollView::GetScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CScrollView::ScrollToPosition(QPoint pos) {
    OnPrepareDC();
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

void CScrollView::SetScrollSizes(QSize total, QSize line) {
    const QSize client = viewport()->size();
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setSingleStep(std::max(line.width(), 1));
    horizontal->setPageStep(std::max(client.width(), 1));
    horizontal->setRange(0, std::max(total.width() - client.width(), 0));
    QScrollBar* vertical = verticalScrollBar();
    vertical->setSingleStep(std::max(line.height(), 1));
    vertical->setPageStep(std::max(client.height(), 1));
    vertical->setRange(0, std::max(total.height() - client.height(), 0));
}

void CScrollView::paintEvent(QPaintEvent* event) {
    QPainter dc(viewport());
    OnPrepareDC();
    const QPoint scroll = GetScrollPosition();
    dc.translate(-scroll);
    const QRect clip = event->rect().translated(scroll);
    // Black where the view's own drawing leaves anything showing.
    const QRect opaque = OpaqueArea(dc, clip);
    if (opaque.isEmpty()) {
        dc.fillRect(clip, Qt::black);
    } else {
        for (const QRect& part : QRegion(clip).subtracted(QRegion(opaque))) {
            dc.fillRect(part, Qt::black);
        }
    }
    OnDraw(dc, clip);
}

QRect CScrollView::OpaqueArea(QPainter& /*dc*/, const QRect& /*clip*/) {
    return {};
}

void CScrollView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    OnPrepareDC();
}

} // namespace kesh::ui
