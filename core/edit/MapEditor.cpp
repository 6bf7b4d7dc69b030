#include "edit/MapEditor.h"

#include <algorithm>

#include "edit/AutoScroll.h"

namespace kesh {

void MapEditor::endStaleDrag() {
    follow();
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
    // The cell's flips, palette and priority come with its tile.
    if (m_map.hasAttrs())
        m_doc.SetBrushAttr(m_map.attrAt(size_t(cell)));
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
    follow();
    if (usable(tile))
        m_state.m_rcCopySource = SelectionCells(m_state, tile.width, tile.height);
}

MapUpdate MapEditor::PasteRegion() {
    follow();
    if (!m_map.hasCells() || !m_state.m_rcCopySource)
        return {};
    m_doc.PasteCells(*m_state.m_rcCopySource, m_state.curCol(m_map), m_state.curRow(m_map));
    MapUpdate update;
    update.repaintAll = true;
    return update;
}

MapUpdate MapEditor::FillRegion(const TileContext& tile) {
    follow();
    if (!usable(tile))
        return {};
    m_doc.FillCells(SelectionCells(m_state, tile.width, tile.height), tile.current);
    MapUpdate update;
    update.repaintAll = true;
    return update;
}

MapUpdate MapEditor::FlipRegion(const TileContext& tile, bool horizontal) {
    follow();
    if (!usable(tile))
        return {};
    m_doc.FlipCells(SelectionCells(m_state, tile.width, tile.height), horizontal);
    MapUpdate update;
    update.repaintAll = true;
    return update;
}

} // namespace kesh
