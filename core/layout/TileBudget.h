#pragma once

#include <cstdint>
#include <string>

#include "layout/MapFormat.h"
#include "layout/TileFormat.h"

namespace kesh {

// The most tiles the map's cell item can number: 256 for CellsByte, 2^width
// of the tile field for CellFields, 65,535 (0xFFFF is the empty cell) for
// CellsWord or a layout without cells.
int64_t DefaultTileLimit(const MapFormat& map);
// The tile limit ("타일 한도") in force: the tile layout's own when it sets
// one, no higher than the default, else the default.
int64_t TileLimit(const MapFormat& map, const TileFormat& tiles);
// The layout table's warning for `stored` tiles over `limit`; empty when
// they fit.
std::string TileLimitWarning(int64_t stored, int64_t limit);

} // namespace kesh
