#pragma once

#include <cstdint>
#include <optional>

#include "map/MapModel.h"

namespace kesh {

// How the map is being looked at and worked on, apart from what it holds:
// the current cell, the selection (in map pixels) and the copy source (in
// cells). Not part of the map file nor of the history of changes; every
// function reads the grid it is given, and Follow keeps it on the grid of
// a map whose grid is replaced (new, opened, imported, recovered, undone).
struct MapViewState {
    int32_t m_nCurCell = 0;
    Rect m_rcSelect{-2, -2, -1, -1};    // map pixels, inclusive
    std::optional<Rect> m_rcCopySource; // cells, inclusive; none before the first copy

    // The current cell's column and row in `map`, 0 without cells.
    int32_t curCol(const MapModel& map) const {
        return map.hasCells() ? m_nCurCell % map.width() : 0;
    }
    int32_t curRow(const MapModel& map) const {
        return map.hasCells() ? m_nCurCell / map.width() : 0;
    }

    // The cell of `map` under `pt`, given in client pixels with the view
    // scrolled to `scroll`. A point outside the map hits the nearest edge
    // cell. `pt` is snapped to the hit cell's top-left corner (client pixels).
    // With `pPrev`, it receives the client corner of the cell that was
    // current, and the hit cell becomes current. -1 (nothing changed) without
    // cells or a tile size.
    int32_t HitTestCell(const MapModel& map, Point& pt, Point scroll, int32_t tileWidth,
                        int32_t tileHeight, Point* pPrev = nullptr);

    // Pulls a selection that reaches past the right or bottom edge of `map`
    // back onto whole cells inside it (the selection is kept in pixels, so the
    // tile size is needed). The start-up value (-2, -2, -1, -1) is left alone.
    void ClampSelection(const MapModel& map, int32_t tileWidth, int32_t tileHeight);

    // Brings the state onto `map` when its grid or the tile size (in the
    // units the selection is kept in) changed since the last call: FitGrid
    // with the width the state was made for, then ClampSelection.
    void Follow(const MapModel& map, int32_t tileWidth, int32_t tileHeight) {
        // Asked at every editing event: the common case stays inline.
        if (map.gridGeneration() != m_grid || tileWidth != m_tileWidth ||
            tileHeight != m_tileHeight)
            FollowChange(map, tileWidth, tileHeight);
    }

    // After the grid of `map` was replaced (new, opened, resized or restored):
    // brings the current cell and the copy source into it. A current cell
    // outside the new grid is read with `oldWidth`, the width it was made for,
    // and keeps its column and row as far as the new grid allows.
    void FitGrid(const MapModel& map, int32_t oldWidth);

private:
    void FollowChange(const MapModel& map, int32_t tileWidth, int32_t tileHeight);

    // What Follow last saw.
    uint64_t m_grid = 0;
    int32_t m_gridWidth = 0;
    int32_t m_tileWidth = 0;
    int32_t m_tileHeight = 0;
};

} // namespace kesh
