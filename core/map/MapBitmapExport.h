#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// The 1,078 bytes before the pixels of an 8-bit BMP of `width` x `height`
// pixels stored bottom-up: file header, information header and `colourTable`
// (256 entries of blue, green, red, 0). The caller has checked the size fits.
std::array<uint8_t, 1078> MapBitmapHeader(int64_t width, int64_t height,
                                          const uint8_t* colourTable);

// Whether an image of `width` x `height` 8-bit pixels fits a BMP's header fields.
bool FitsBitmap(int64_t width, int64_t height);

// Writes the whole map as an 8-bit BMP at `path`: every cell drawn with its
// tile at full size, in the tile set's display colours as they stand. A cell
// that names no tile (an empty one, say) is palette index 0. Rows of the file
// are written one at a time, so no image of the map is built in memory.
// Fails with "지도가 너무 커서 비트맵으로 저장할 수 없습니다." when the image
// does not fit a BMP, with "지도의 크기가 올바르지 않습니다." for a map without
// cells, and with "파일을 저장하지 못했습니다." and the path when writing
// fails, leaving no partial file. Neither the map nor the tile set changes.
Status ExportMapBitmap(FileSystem& fs, const std::string& path, const MapModel& map,
                       const TileSet& tiles);

} // namespace kesh
