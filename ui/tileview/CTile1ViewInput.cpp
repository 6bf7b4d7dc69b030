#include "tileview/CTile1View.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "base/Messages.h"
#include "mapview/CKeshView.h"
#include "shell/AppServices.h"

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
    m_tileSet.setCurrent(static_cast<int32_t>(number));
    return static_cast<int>(number);
}

void CTile1View::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint scroll = GetScrollPosition();
    const int old = current();
    const int hit = HitTest(event->position().toPoint());
    if (hit >= 0 && HighlightRect(hit, scroll).topLeft() != HighlightRect(old, scroll).topLeft()) {
        InvalidateHighlight(old, scroll);
        InvalidateHighlight(hit, scroll);
    }
    // Even a click beside the tiles shows the current tile in the bar.
    RefreshInfoBar();
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
        DeleteCurrentTile();
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
    InvalidateHighlight(static_cast<int>(cur), scroll);
    m_tileSet.setCurrent(static_cast<int32_t>(next));
    InvalidateHighlight(static_cast<int>(next), scroll);

    // Keep the new tile in view, one row at a time.
    const int32_t rowOf = static_cast<int32_t>(next / (m_tilesPerRow > 0 ? m_tilesPerRow : perRow));
    const int32_t top = rowOf * th - scroll.y();
    if (top < 0) {
        ScrollToPosition({0, scroll.y() - th});
    } else if (top > viewport()->height() - th) {
        ScrollToPosition({0, scroll.y() + th});
    }
    RefreshInfoBar();
    return true;
}

void CTile1View::SelectTile(int number) {
    if (number == current() || number < 0 || number >= GetTileCount()) {
        return;
    }
    const QPoint scroll = GetScrollPosition();
    InvalidateHighlight(current(), scroll);
    m_tileSet.setCurrent(number);
    InvalidateHighlight(number, scroll);
    RefreshInfoBar();
}

void CTile1View::DeleteCurrentTile() {
    const int32_t deleted = current();
    // Nothing to delete: the map's numbers must not move either.
    if (!m_tileSet.tiles().NodeAt(deleted)) {
        return;
    }
    if (!Services().AskOkCancel(msg::kAskDeleteTile)) {
        return;
    }
    // The document renumbers the map and tells both views.
    m_doc.DeleteTile(deleted);
}

} // namespace kesh::ui
