#include "map/MapPngExport.h"

#include <algorithm>

#include "base/Messages.h"
#include "map/MapImageRows.h"
#include "raster/PngWriter.h"
#include "tileset/ShownColours.h"

namespace kesh {

Status ExportMapPng(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles) {
    if (Status st = MapImageRows::Check(map, tiles, FitsPng); !st)
        return st;
    MapImageRows image(map, tiles);
    return WriteIndexedPng(fs, path, image.width(), image.height(), ShownColours(tiles).data(),
                           [&image](int64_t y, uint8_t* out) { image.Compose(y, out); });
}

} // namespace kesh
