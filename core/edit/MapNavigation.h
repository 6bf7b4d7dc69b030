#pragma once

#include <cstdint>
#include <optional>

#include "edit/MapGeometry.h"
#include "edit/MapViewState.h"
#include "map/MapModel.h"

namespace kesh {

// The keys the map view acts on. Shift only matters when it is released.
enum class MapKey { Up, Down, Left, Right, Enter, PageUp, PageDown, Home, End, Shift };

// Page keys, Home and End move the map under a current cell that keeps its
// place on the screen, and never paint; the arrows and Enter scroll only as
// far as needed to show the cell, and paint while Enter or the left button is down.
bool IsPageKey(MapKey key);

// The cell `key` makes current: an arrow moves one cell and gives nullopt at the
// map's edge (the key then does nothing at all); Page Up and Page Down move by
// as many whole rows as the client area shows, stopping in the first or last row
// of the same column; Home and End go to the ends of the current row; Enter stays.
// nullopt for Shift and without cells.
std::optional<int32_t> KeyTarget(MapKey key, const MapModel& map, const MapViewState& state,
                                 const Viewport& view, int32_t tileHeight);

// Scroll position that shows the whole of `cell`, moving as little as possible.
Point ScrollToShowCell(const MapModel& map, int32_t cell, const Viewport& view, int32_t tileWidth,
                       int32_t tileHeight);

// Scroll position after a page step from `oldCell` to `newCell`: the rows move
// by as much as the current cell did, so it stays in place on the screen while
// the map allows; across, as ScrollToShowCell.
Point ScrollForPageStep(const MapModel& map, int32_t oldCell, int32_t newCell, const Viewport& view,
                        int32_t tileWidth, int32_t tileHeight);

} // namespace kesh
