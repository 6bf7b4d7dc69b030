#include "map/CKeshView.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kesh::ui {

// Mouse and keyboard editing of the map. For now the view only takes the
// focus on a click and scrolls with the keys and the wheel.

void CKeshView::mousePressEvent(QMouseEvent* event) {
    QAbstractScrollArea::mousePressEvent(event);
}

void CKeshView::mouseMoveEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseMoveEvent(event);
}

void CKeshView::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void CKeshView::mouseDoubleClickEvent(QMouseEvent* event) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

void CKeshView::keyPressEvent(QKeyEvent* event) {
    QAbstractScrollArea::keyPressEvent(event);
}

void CKeshView::keyReleaseEvent(QKeyEvent* event) {
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CKeshView::OnTimer(int id) {
    if (id != m_nTimer || (m_nDragMode != DragPaint && m_nDragMode != DragSelect)) {
        return;
    }
}

} // namespace kesh::ui
