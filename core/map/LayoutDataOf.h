#pragma once

#include "layout/LayoutTable.h"

namespace kesh {

class MapModel;
class TileSet;

// The data of a tile set and of a map as they are now, for the layout tables.
TileLayoutData LayoutDataOf(const TileSet& set);
MapLayoutData LayoutDataOf(const MapModel& map, const TileSet& set);

} // namespace kesh
