#include "map/MapPngExport.h"

#include <algorithm>

#include "app/Messages.h"
#include "image/PngWriter.h"
#include "map/MapImageRows.h"

namespace kesh {

Status ExportMapPng(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles) {
    const int64_t cols = map.width();
    const int64_t rows = map.height();
    if (!map.hasCells() || cols < 1 || rows < 1 || map.cells().size() != size_t(cols * rows))
        return Status::Fail(msg::kBadMapSize);
    const int64_t w = std::max(tiles.tileWidth(), 0);
    const int64_t h = std::max(tiles.tileHeight(), 0);
    if (!FitsPng(cols * w, rows * h))
        return Status::Fail(msg::kMapTooLargeForBitmap);
    MapImageRows image(map, tiles);
    return WriteIndexedPng(fs, path, image.width(), image.height(), tiles.colourTable(),
                           [&image](int64_t y, uint8_t* out) { image.Compose(y, out); });
}

} // namespace kesh
