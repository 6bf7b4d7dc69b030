#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/ByteWriter.h"
#include "io/FileSystem.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// The tile sheet written beside `tmxPath`: "NAME-tiles.png" for "NAME.tmx"
// (the extension, whatever it is, dropped).
std::string TmxSheetPath(const std::string& tmxPath);

// The .tmx text for Tiled: an orthogonal map of the map's size, the tile set's
// tile size, one tile set "NAME" whose image is `sheetName` (ten tiles wide,
// `columns="10"`, `tilecount` the number of tiles, `firstgid="1"`) and one
// tile layer in CSV. A cell holding tile n is gid n + 1; an empty cell or a
// number that names no tile is gid 0. Each tile with a nonzero attribute word
// carries the int property "attribute", the word as a signed 32-bit value.
// WriteTmx hands the text to `out` as it is made, the cells a map row at a
// time, so the text of a large map is never held whole; BuildTmx returns it.
void WriteTmx(ByteWriter& out, const MapModel& map, const TileSet& tiles, const std::string& name,
              const std::string& sheetName);
std::string BuildTmx(const MapModel& map, const TileSet& tiles, const std::string& name,
                     const std::string& sheetName);

// The tile sheet as PNG bytes: the same pixels and colours as the PNG tile
// sheet export. Empty when memory runs out.
std::vector<uint8_t> BuildTmxSheet(const TileSet& tiles);

// Writes the .tmx at `tmxPath` and its tile sheet beside it, both or neither.
// Fails with "지도의 크기가 올바르지 않습니다." for a map without cells, "메모리
// 할당에 실패 했습니다." when the files cannot be built, and "파일을 저장하지
// 못했습니다." and the path when writing fails. The .tmx is streamed to its
// temporary file as it is made. Neither map nor tiles change.
Status ExportTmx(FileSystem& fs, const std::string& tmxPath, const MapModel& map,
                 const TileSet& tiles);

} // namespace kesh
