#include "tileview/CTile1View.h"

#include <algorithm>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace kesh::ui {

QRect CTile1View::HighlightRect(int number, QPoint scroll) const {
    if (m_tilesPerRow <= 0 || number < 0) {
        return {};
    }
    const int32_t tw = cellWidth();
    const int32_t th = cellHeight();
    const int32_t x = (number % m_tilesPerRow) * tw - scroll.x();
    const int32_t y = (number / m_tilesPerRow) * th - scroll.y();
    return {x - 2, y - 2, tw + 4, th + 4};
}

void CTile1View::InvalidateHighlight(int number, QPoint scroll) {
    const QRect rect = HighlightRect(number, scroll);
    if (rect.isEmpty()) {
        viewport()->update();
    } else {
        viewport()->update(rect);
    }
}

int CTile1View::HitTest(QPoint pt) {
    const int number = TileAt(pt);
    if (number >= 0) {
        m_doc.SetCurrentTile(number);
    }
    return number;
}

int CTile1View::TileAt(QPoint pt) const {
    const int32_t tw = cellWidth();
    const int32_t th = cellHeight();
    if (tw <= 0 || th <= 0) {
        return -1;
    }
    const QPoint logical = pt + GetScrollPosition();
    // Right of the last whole column there is no tile.
    const int32_t across = (viewport()->width() / tw) * tw;
    if (logical.x() < 0 || logical.y() < 0 || logical.x() >= across) {
        return -1;
    }
    const int64_t number = int64_t(logical.y() / th) * m_tilesPerRow + logical.x() / tw;
    if (number >= GetTileCount()) {
        return -1;
    }
    return static_cast<int>(number);
}

QString CTile1View::TileTip(int number) {
    QString tip = QStringLiteral("타일 %1").arg(number);
    const MapModel& map = m_doc.map();
    if (!map.hasCells()) {
        return tip;
    }
    // Counted once per change of the map or the tiles: a large map takes a moment.
    return tip + QStringLiteral("\n지도에서 %1칸에 쓰임").arg(m_usage.CountOf(number));
}

bool CTile1View::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int number = TileAt(help->pos());
        if (number < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), TileTip(number), viewport());
        }
        return true;
    }
    return CScrollView::viewportEvent(event);
}

void CTile1View::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    // The document tells this view and the attribute bar of a new current tile.
    m_pressAt = event->position().toPoint();
    m_pressTile = HitTest(m_pressAt);
}

void CTile1View::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const int tile = HitTest(event->position().toPoint());
    if (tile >= 0) {
        emit editRequested(tile);
    }
}

void CTile1View::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveCurrent(event->key());
        return;
    case Qt::Key_Delete:
        emit deleteRequested();
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

bool CTile1View::MoveCurrent(int key) {
    const int32_t tw = cellWidth();
    const int32_t th = cellHeight();
    const int32_t perRow = tw > 0 ? viewport()->width() / tw : 0;
    // A view narrower than one tile shows no tile to move between.
    if (perRow <= 0 || th <= 0) {
        return false;
    }
    const int64_t cur = current();
    int64_t next = cur;
    switch (key) {
    case Qt::Key_Left:
        next = cur - 1;
        break;
    case Qt::Key_Up:
        next = cur - perRow;
        break;
    case Qt::Key_Right:
        next = cur + 1;
        break;
    case Qt::Key_Down:
        next = cur + perRow;
        break;
    default:
        return false;
    }
    if (next < 0 || (next > cur && next >= GetTileCount())) {
        return false;
    }
    const QPoint scroll = GetScrollPosition();
    m_doc.SetCurrentTile(static_cast<int32_t>(next));

    // Keep the new tile in view, one row at a time.
    const int32_t rowOf = static_cast<int32_t>(next / (m_tilesPerRow > 0 ? m_tilesPerRow : perRow));
    const int32_t top = rowOf * th - scroll.y();
    if (top < 0) {
        ScrollToPosition({0, scroll.y() - th});
    } else if (top > viewport()->height() - th) {
        ScrollToPosition({0, scroll.y() + th});
    }
    return true;
}

void CTile1View::SelectTile(int number) {
    if (number == current() || number < 0 || number >= GetTileCount()) {
        return;
    }
    m_doc.SetCurrentTile(number);
}

} // namespace kesh::ui
