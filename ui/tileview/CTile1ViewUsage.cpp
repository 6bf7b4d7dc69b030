#include "tileview/CTile1View.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace kesh::ui {

void CTile1View::SetUsageShown(bool shown) {
    if (shown != m_usageShown) {
        m_usageShown = shown;
        viewport()->update();
    }
}

QString CTile1View::UsageText(int number) {
    const uint64_t count = m_usage.CountOf(number);
    if (count == 0) {
        return QStringLiteral("타일 %1: 쓰이지 않음").arg(number);
    }
    return QStringLiteral("타일 %1: %2번 사용").arg(number).arg(count);
}

int CTile1View::DropPlace(QPoint pt) const {
    const int number = TileAt(pt);
    if (number >= 0) {
        return number;
    }
    const int32_t tw = cellWidth();
    const QPoint logical = pt + GetScrollPosition();
    const bool onGrid = tw > 0 && logical.x() >= 0 && logical.y() >= 0 &&
                        logical.x() < (viewport()->width() / tw) * tw;
    return onGrid && GetTileCount() > 0 ? GetTileCount() - 1 : -1;
}

void CTile1View::DrawDropMark(QPainter& dc, int32_t tw, int32_t th) const {
    if (!m_dragging || m_dropAt < 0 || m_dropAt == m_pressTile || m_tilesPerRow <= 0) {
        return;
    }
    // Moving down, the tiles between move up: the tile goes after the one
    // now at the place; moving up, before it. The bar lies inside the place,
    // so that it shows at the edges of the view too.
    const bool after = m_dropAt > m_pressTile;
    const int32_t x = (m_dropAt % m_tilesPerRow) * tw + (after ? tw - 4 : 0);
    const int32_t y = (m_dropAt / m_tilesPerRow) * th;
    dc.fillRect(x, y, 4, th, Qt::black);
    dc.fillRect(x + 1, y, 2, th, QColor(255, 200, 0));
}

void CTile1View::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton) || m_pressTile < 0) {
        const int hovered = TileAt(pt);
        if (hovered != m_hovered) {
            m_hovered = hovered;
            emit tileHovered(hovered);
        }
        return;
    }
    // A click that wobbles a little stays a click.
    if (!m_dragging &&
        (pt - m_pressAt).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    const int place = DropPlace(pt);
    if (!m_dragging || place != m_dropAt) {
        m_dragging = true;
        m_dropAt = place;
        viewport()->setCursor(Qt::DragMoveCursor);
        viewport()->update();
    }
}

void CTile1View::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const int from = m_pressTile;
    const int to = m_dragging ? DropPlace(event->position().toPoint()) : -1;
    EndDrag();
    if (from < 0 || to < 0 || to == from) {
        return;
    }
    // One step; the current tile goes with the tile it names.
    const Status st = m_doc.MoveTile(from, to);
    if (!st) {
        emit failed(QString::fromStdString(st.message()));
    }
}

void CTile1View::EndDrag() {
    const bool was = m_dragging;
    m_dragging = false;
    m_dropAt = -1;
    m_pressTile = -1;
    if (was) {
        viewport()->unsetCursor();
        viewport()->update();
    }
}

} // namespace kesh::ui
