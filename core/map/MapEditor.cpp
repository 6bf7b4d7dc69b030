#include "map/MapEditor.h"

#include <algorithm>

#include "map/AutoScroll.h"

namespace kesh {

bool PaintCell(MapModel& map, int32_t index, uint16_t tile) {
    if (index < 0 || index >= map.cellCount() || map.cells()[size_t(index)] == tile)
        return false;
    map.cells()[size_t(index)] = tile;
    map.m_bModified = 1;
    return true;
}

bool MapEditor::paint(int32_t index, uint16_t tile) {
    const bool inside = index >= 0 && index < m_map.cellCount();
    const uint16_t before = inside ? m_map.cells()[size_t(index)] : tile;
    if (!PaintCell(m_map, index, tile))
        return false;
    if (m_recorder)
        m_recorder->CellPainted(index, before, tile);
    return true;
}

void MapEditor::endStaleDrag() {
    if (m_nDragMode != DragNone && m_dragGeneration != m_map.gridGeneration()) {
        if (m_nDragMode == DragPaint)
            endStroke();
        m_nDragMode = DragNone;
    }
    if (m_nDragMode == DragNone)
        m_dragGeneration = m_map.gridGeneration();
}

void MapEditor::addFrames(MapUpdate& update, int32_t oldCell, int32_t newCell,
                          const TileContext& tile) const {
    update.dirty.push_back(CellFrame(m_map, oldCell, tile.width, tile.height));
    if (newCell != oldCell)
        update.dirty.push_back(CellFrame(m_map, newCell, tile.width, tile.height));
}

MapUpdate MapEditor::LButtonDown(Point client, const InputState& keys, const Viewport& view,
                                 const TileContext& tile) {
    endStaleDrag();
    if (m_nDragMode != DragNone || !usable(tile))
        return {};
    const int32_t oldCell = m_state.m_nCurCell;
    Point prev;
    const int32_t cell =
        m_state.HitTestCell(m_map, client, view.scroll, tile.width, tile.height, &prev);
    if (cell < 0)
        return {};
    const bool alreadyPainted = cell == oldCell && m_map.cells()[size_t(cell)] == tile.current;
    MapUpdate update;
    if (!keys.shift && !keys.enter) {
        if (!alreadyPainted)
            addFrames(update, oldCell, cell, tile);
        m_nDragMode = DragSelect;
        m_ptAnchor = CellCorner(m_map, cell, tile.width, tile.height);
        update.dirty.push_back(m_state.m_rcSelect);
        m_state.m_rcSelect = CellRect(m_map, cell, tile.width, tile.height);
        update.dirty.push_back(m_state.m_rcSelect);
        return update;
    }
    m_nDragMode = DragPaint;
    if (alreadyPainted)
        return update;
    paint(cell, tile.current);
    addFrames(update, oldCell, cell, tile);
    return update;
}

MapUpdate MapEditor::MouseMove(Point client, Point screen, bool leftButton, const Viewport& view,
                               const TileContext& tile) {
    endStaleDrag();
    if (m_nDragMode == DragNone || !usable(tile))
        return {};
    MapUpdate update;
    switch (m_nDragMode) {
    case DragPan: {
        // The map follows the hand.
        const Point to{view.scroll.x + m_ptLast.x - screen.x,
                       view.scroll.y + m_ptLast.y - screen.y};
        m_ptLast = screen;
        const Point clamped = ClampScroll(to, m_map, view, tile.width, tile.height);
        if (clamped != view.scroll)
            update.scrollTo = clamped;
        return update;
    }
    case DragSelect:
        return stretchSelection(client, view, tile);
    case DragPaint:
        return leftButton ? paintUnderPointer(client, view, tile) : update;
    default:
        return update;
    }
}

MapUpdate MapEditor::stretchSelection(Point client, const Viewport& view, const TileContext& tile) {
    client.x = std::clamp(client.x, 0, std::max(view.clientWidth, 0));
    client.y = std::clamp(client.y, 0, std::max(view.clientHeight, 0));
    const int32_t cell = m_state.HitTestCell(m_map, client, view.scroll, tile.width, tile.height);
    if (cell < 0)
        return {};
    const Point c = CellCorner(m_map, cell, tile.width, tile.height);
    const Point a = m_ptAnchor;
    const Rect next{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x) + tile.width - 1,
                    std::max(a.y, c.y) + tile.height - 1};
    MapUpdate update;
    if (next == m_state.m_rcSelect)
        return update;
    update.dirty = {m_state.m_rcSelect, next};
    m_state.m_rcSelect = next;
    return update;
}

MapUpdate MapEditor::paintUnderPointer(Point client, const Viewport& view,
                                       const TileContext& tile) {
    const int32_t oldCell = m_state.m_nCurCell;
    Point prev;
    const int32_t cell =
        m_state.HitTestCell(m_map, client, view.scroll, tile.width, tile.height, &prev);
    MapUpdate update;
    if (cell < 0 || (cell == oldCell && m_map.cells()[size_t(cell)] == tile.current))
        return update;
    paint(cell, tile.current);
    addFrames(update, oldCell, cell, tile);
    return update;
}

bool MapEditor::LButtonUp() {
    endStaleDrag();
    if (m_nDragMode != DragPaint && m_nDragMode != DragSelect)
        return false;
    if (m_nDragMode == DragPaint)
        endStroke();
    m_nDragMode = DragNone;
    return true;
}

bool MapEditor::RButtonDown(Point screen) {
    endStaleDrag();
    if (m_nDragMode != DragNone)
        return false;
    m_ptLast = screen;
    m_nDragMode = DragPan;
    return true;
}

bool MapEditor::RButtonUp() {
    endStaleDrag();
    if (m_nDragMode != DragPan)
        return false;
    m_nDragMode = DragNone;
    return true;
}

MapUpdate MapEditor::LButtonDblClk(Point client, const Viewport& view, const TileContext& tile) {
    endStaleDrag();
    if (m_nDragMode != DragNone || !usable(tile))
        return {};
    const int32_t oldCell = m_state.m_nCurCell;
    Point prev;
    const int32_t cell =
        m_state.HitTestCell(m_map, client, view.scroll, tile.width, tile.height, &prev);
    MapUpdate update;
    if (cell < 0)
        return update;
    if (cell != oldCell)
        addFrames(update, oldCell, cell, tile);
    const uint16_t value = m_map.cells()[size_t(cell)];
    if (value != tile.current)
        update.pickedTile = value;
    return update;
}

MapUpdate MapEditor::KeyDown(MapKey key, Point pointer, const InputState& keys,
                             const Viewport& view, const TileContext& tile) {
    endStaleDrag();
    if (!usable(tile) || key == MapKey::Shift)
        return {};
    if (key == MapKey::Enter && keys.leftButton) {
        pointer.x = std::clamp(pointer.x, 0, std::max(view.clientWidth - 1, 0));
        pointer.y = std::clamp(pointer.y, 0, std::max(view.clientHeight - 1, 0));
        InputState held = keys;
        held.enter = true;
        return LButtonDown(pointer, held, view, tile);
    }
    const auto target = KeyTarget(key, m_map, m_state, view, tile.height);
    if (!target)
        return {};
    const int32_t oldCell = m_state.m_nCurCell;
    if (key == MapKey::Enter && !paint(oldCell, tile.current))
        return {};
    m_state.m_nCurCell = *target;
    MapUpdate update;
    Point scroll;
    if (IsPageKey(key)) {
        addFrames(update, oldCell, *target, tile);
        scroll = ScrollForPageStep(m_map, oldCell, *target, view, tile.width, tile.height);
    } else {
        // Holding Enter (or the left button) while moving paints a trail.
        if (keys.enter || keys.leftButton || key == MapKey::Enter)
            paint(*target, tile.current);
        addFrames(update, oldCell, *target, tile);
        scroll = ScrollToShowCell(m_map, *target, view, tile.width, tile.height);
    }
    if (scroll != view.scroll)
        update.scrollTo = scroll;
    return update;
}

bool MapEditor::KeyUp(MapKey key) {
    endStaleDrag();
    // Letting go of Enter ends a stamp or an Enter+arrow run as well as a drag.
    if (key == MapKey::Enter || (key == MapKey::Shift && m_nDragMode == DragPaint))
        endStroke();
    if ((key != MapKey::Enter && key != MapKey::Shift) || m_nDragMode != DragPaint)
        return false;
    m_nDragMode = DragNone;
    return true;
}

MapUpdate MapEditor::Timer(Point pointer, bool leftButton, const Viewport& view,
                           const TileContext& tile) {
    endStaleDrag();
    if ((m_nDragMode != DragPaint && m_nDragMode != DragSelect) || !usable(tile))
        return {};
    const Point dir = AutoScrollDirection(pointer, view);
    Viewport scrolled = view;
    scrolled.scroll = AutoScroll(dir.x, dir.y, m_map, view, tile.width, tile.height);
    MapUpdate update = MouseMove(pointer, {}, leftButton, scrolled, tile);
    if (scrolled.scroll != view.scroll)
        update.scrollTo = scrolled.scroll;
    return update;
}

void MapEditor::RememberRegion(const TileContext& tile) {
    if (usable(tile))
        m_state.m_rcCopySource = SelectionCells(m_state, tile.width, tile.height);
}

MapUpdate MapEditor::PasteRegion() {
    if (!m_map.hasCells() || !m_state.m_rcCopySource)
        return {};
    const Rect src = *m_state.m_rcCopySource;
    const int64_t w = m_map.width(), h = m_map.height();
    const int64_t cx = m_state.curCol(m_map), cy = m_state.curRow(m_map);
    // Walk away from the target so that no source cell is overwritten before it is read.
    const int64_t spanX = int64_t(src.right) - src.left, spanY = int64_t(src.bottom) - src.top;
    const bool ltr = src.left >= cx, ttb = src.top >= cy;
    const int64_t offX = cx - src.left, offY = cy - src.top;
    if (m_recorder) {
        // The cells written: the source cut to the grid, moved, cut again.
        const auto cut = [](int64_t lo, int64_t hi, int64_t off, int64_t size) {
            return std::pair{std::max<int64_t>(std::max<int64_t>(lo, 0) + off, 0),
                             std::min<int64_t>(std::min<int64_t>(hi, size - 1) + off, size - 1)};
        };
        const auto [x0, x1] = cut(src.left, src.right, offX, w);
        const auto [y0, y1] = cut(src.top, src.bottom, offY, h);
        m_recorder->RegionChanging(Rect{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)});
    }
    std::vector<uint16_t>& cells = m_map.cells();
    for (int64_t i = 0; i <= spanY; ++i) {
        const int64_t sy = ttb ? src.top + i : src.bottom - i;
        const int64_t ty = sy + offY;
        if (sy < 0 || sy >= h || ty < 0 || ty >= h)
            continue;
        for (int64_t j = 0; j <= spanX; ++j) {
            const int64_t sx = ltr ? src.left + j : src.right - j;
            const int64_t tx = sx + offX;
            if (sx < 0 || sx >= w || tx < 0 || tx >= w)
                continue;
            cells[size_t(ty * w + tx)] = cells[size_t(sy * w + sx)];
        }
    }
    m_map.m_bModified = 1;
    if (m_recorder)
        m_recorder->RegionChanged(RegionEdit::Paste);
    MapUpdate update;
    update.repaintAll = true;
    return update;
}

MapUpdate MapEditor::FillRegion(const TileContext& tile) {
    if (!usable(tile))
        return {};
    const Rect sel = SelectionCells(m_state, tile.width, tile.height);
    const int32_t left = std::max(sel.left, 0), top = std::max(sel.top, 0);
    const int32_t right = std::min(sel.right, m_map.width() - 1);
    const int32_t bottom = std::min(sel.bottom, m_map.height() - 1);
    if (m_recorder)
        m_recorder->RegionChanging(Rect{left, top, right, bottom});
    std::vector<uint16_t>& cells = m_map.cells();
    for (int32_t row = top; row <= bottom; ++row)
        std::fill_n(cells.begin() + ptrdiff_t(size_t(row) * size_t(m_map.width()) + size_t(left)),
                    std::max(right - left + 1, 0), tile.current);
    m_map.m_bModified = 1;
    if (m_recorder)
        m_recorder->RegionChanged(RegionEdit::Fill);
    MapUpdate update;
    update.repaintAll = true;
    return update;
}

} // namespace kesh
