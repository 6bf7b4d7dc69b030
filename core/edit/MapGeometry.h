#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "edit/MapViewState.h"
#include "map/MapModel.h"

namespace kesh {

// What the map needs of the tile set for an edit: the tile size (one cell) and
// the tile number painting writes. A size of 0 means there is no tile set, and
// every operation then does nothing.
struct TileContext {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t current = 0;
    bool valid() const { return width > 0 && height > 0; }
};

// The part of the map a view shows: its scroll position (the map pixel at the
// client area's top-left corner) and the size of its client area in pixels.
struct Viewport {
    Point scroll;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
};

// What an edit asks of the view afterwards. Rectangles are in map pixels with
// inclusive edges; subtract the scroll position (the new one, if it changed)
// to get client pixels.
struct MapUpdate {
    std::vector<Rect> dirty;            // repaint these
    bool repaintAll = false;            // repaint the whole view
    std::optional<Point> scrollTo;      // scroll here (already inside the scroll range)
    std::optional<uint16_t> pickedTile; // make this the tile set's current tile

    bool empty() const { return dirty.empty() && !repaintAll && !scrollTo && !pickedTile; }
};

// Columns [firstCol, endCol) and rows [firstRow, endRow) of cells.
struct CellRange {
    int32_t firstCol = 0, firstRow = 0, endCol = 0, endRow = 0;
    bool operator==(const CellRange&) const = default;
};

// Top-left corner of a cell in map pixels.
Point CellCorner(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight);
// The cell itself in map pixels.
Rect CellRect(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight);
// The cell with its raised frame, two pixels outside it on every side.
Rect CellFrame(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight);

// The selection in cells: its pixel edges divided by the tile size, truncating
// toward zero, so the start-up selection (-2, -2, -1, -1) is cell (0, 0). Not
// cut to the grid. The tile size must be above 0.
Rect SelectionCells(const MapViewState& state, int32_t tileWidth, int32_t tileHeight);

// Size of the whole map in pixels (tile size x map size), 0 x 0 without cells.
Point PixelSize(const MapModel& map, int32_t tileWidth, int32_t tileHeight);

// Largest scroll position that still shows the map: pixel size minus client
// size, at least 0. ClampScroll brings a position into 0 ... that value.
Point MaxScroll(const MapModel& map, const Viewport& view, int32_t tileWidth, int32_t tileHeight);
Point ClampScroll(Point pos, const MapModel& map, const Viewport& view, int32_t tileWidth,
                  int32_t tileHeight);

// The cells a repaint has to draw: those in the client area plus up to two
// more columns and rows, cut at the map's edges. Empty without cells.
CellRange VisibleCells(const MapModel& map, const Viewport& view, int32_t tileWidth,
                       int32_t tileHeight);

} // namespace kesh
