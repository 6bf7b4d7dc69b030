#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "edit/MapGeometry.h"
#include "map/MapModel.h"

namespace kesh {

// A wheel turns in eighths of a degree, 120 to a notch; fine-grained wheels
// and touch pads send less at a time. Adds `delta` to `pending` and gives the
// whole notches gathered (negative toward the user), keeping the rest.
int WheelNotches(int& pending, int delta);

// The zoom steps of the views: 1/8, 1/4, 1/2, 1, 2, 3, 4, 6 and 8 times.
// A step is an index into that list; kZoomActual is 1x.
inline constexpr int kZoomSteps = 9;
inline constexpr int kZoomActual = 3;

struct ZoomFactor {
    int32_t num = 1;
    int32_t den = 1;
};

ZoomFactor ZoomAt(int step);
// Brings a stored or computed step into 0 ... kZoomSteps - 1.
int ClampZoomStep(int step);
// The next step in or out, staying at the ends.
inline int ZoomIn(int step) {
    return ClampZoomStep(step + 1);
}
inline int ZoomOut(int step) {
    return ClampZoomStep(step - 1);
}

// The size on screen of `size` map pixels at `step`: rounded to the nearest
// pixel and never below 1, so every cell keeps at least one pixel. A size of
// 0 or below stays 0 (no tile set).
int32_t ZoomedSize(int32_t size, int step);

// The tile context the map's editing works with at `step`: the cell's size on
// screen instead of the tile's, so hit tests, snapping, the selection,
// auto-scroll and the Page keys all count in cells whatever the zoom.
TileContext ZoomedTile(const TileContext& tile, int step);

// Whether grid lines are drawn over cells of this size on screen: not over
// cells smaller than 4 pixels, where they would hide the map.
inline bool GridShown(int32_t cellWidth, int32_t cellHeight) {
    return cellWidth >= 4 && cellHeight >= 4;
}

// The scroll position after the cell size changes from old to new so that
// the map point under `pointer` (client pixels) stays under it, kept inside
// the new scroll range. `view` is the view before the change; its client
// size does not change.
Point AnchoredScroll(Point pointer, const Viewport& view, const MapModel& map, int32_t oldWidth,
                     int32_t oldHeight, int32_t newWidth, int32_t newHeight);

// The selection (pixels of cells of old size, inclusive edges) moved to cells
// of the new size, covering the same cells. A selection that does not start
// on a cell (the one before the first selection drag) is left as it is.
Rect RescaleSelection(const Rect& sel, int32_t oldWidth, int32_t oldHeight, int32_t newWidth,
                      int32_t newHeight);

// The cell under client point `pointer` with cells of `cellWidth` x
// `cellHeight` on screen, or nullopt outside the map: unlike a click, the
// pointer readout does not fall back to the nearest edge cell.
std::optional<int32_t> CellUnderPointer(const MapModel& map, Point pointer, Point scroll,
                                        int32_t cellWidth, int32_t cellHeight);

// The text of the status bar's pointer pane: "(x, y) 타일 n" for the cell
// under the pointer (columns and rows from 0, "빈 칸" for an empty cell),
// followed by the selection's "w × h" in cells while a selection drag runs.
// Empty when there is neither.
std::string PointerReadout(const MapModel& map, std::optional<int32_t> cell,
                           std::optional<Point> dragCells);

// The size in cells of the selection `sel` (pixels, inclusive) with cells of
// the given size.
Point SelectionSize(const Rect& sel, int32_t cellWidth, int32_t cellHeight);

} // namespace kesh
