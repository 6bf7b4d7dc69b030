#include "map/LayoutDataOf.h"

#include <algorithm>

#include "map/MapModel.h"
#include "tileset/EncodedTiles.h"
#include "tileset/TileMatcher.h"
#include "tileset/TileSet.h"

namespace kesh {

TileLayoutData LayoutDataOf(const TileSet& set) {
    TileLayoutData data;
    data.count = set.count();
    for (int i = 0; i < set.count(); ++i)
        data.maxAttribute = std::max(data.maxAttribute, set.tiles().AttributeAt(i));
    if (set.format().HasParamItems())
        data.largestPixel = LargestPixelPerTile(set.tiles());
    return data;
}

MapLayoutData LayoutDataOf(const MapModel& map, const TileSet& set) {
    MapLayoutData data;
    data.tiles = LayoutDataOf(set);
    for (const uint16_t cell : map.cells())
        if (cell != kEmptyCell)
            data.maxTile = std::max<uint32_t>(data.maxTile, cell);
    if (map.format().HasNesAttributes() && map.hasAttrs()) {
        data.mixedNesBlock = FirstMixedNesBlock(map.width(), map.height(), map.attrs().data());
        if (data.mixedNesBlock)
            data.mixedNesPalette = cellbit::PaletteOf(
                map.attrs()[size_t(data.mixedNesBlock->row) * size_t(map.width()) +
                            size_t(data.mixedNesBlock->col)]);
    }
    data.storedTiles =
        TileMatcher(set.tiles(), uint16_t(map.format().AttrMask() & cellbit::kFlips)).distinct();
    return data;
}

} // namespace kesh
