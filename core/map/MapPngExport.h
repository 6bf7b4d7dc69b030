#pragma once

#include <string>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// Writes the whole map as an 8-bit palette PNG at `path`: the same pixels and
// colours as the map's BMP export (every cell drawn with its tile at full
// size, index 0 where a cell names no tile), rows from the top, composed and
// compressed one at a time so memory does not grow with the map. Fails with
// "지도의 크기가 올바르지 않습니다." for a map without cells, "지도가 너무
// 커서 비트맵으로 저장할 수 없습니다." when the image is empty or too large
// for a PNG, and "파일을 저장하지 못했습니다." and the path when writing
// fails, leaving no partial file. Neither the map nor the tile set changes.
Status ExportMapPng(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles);

} // namespace kesh
