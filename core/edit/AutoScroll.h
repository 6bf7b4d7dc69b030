#pragma once

#include <cstdint>

#include "edit/MapGeometry.h"
#include "map/MapModel.h"

namespace kesh {

// Width in pixels of the band along each edge of the client area in which a
// drag scrolls the map; everything beyond the edge belongs to the band too.
inline constexpr int32_t kAutoScrollBand = 10;

// Which way a drag with the pointer at `pointer` (client pixels) scrolls: -1,
// 0 or +1 across (x) and down (y). In a client area narrower or lower than
// two bands the two edges can cancel out to 0.
Point AutoScrollDirection(Point pointer, const Viewport& view);

// The scroll position one tile further in direction (dx, dy), kept inside the
// scroll range. `view.scroll` is where the view is now.
Point AutoScroll(int32_t dx, int32_t dy, const MapModel& map, const Viewport& view,
                 int32_t tileWidth, int32_t tileHeight);

} // namespace kesh
