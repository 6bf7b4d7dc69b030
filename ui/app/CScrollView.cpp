#include "app/CScrollView.h"

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
    dc.fillRect(event->rect(), Qt::black);
    OnPrepareDC();
    const QPoint scroll = GetScrollPosition();
    dc.translate(-scroll);
    OnDraw(dc, event->rect().translated(scroll));
}

void CScrollView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    OnPrepareDC();
}

} // namespace kesh::ui
