#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Status.h"
#include "tileset/TileSet.h"
#include "tmx/TmxLoader.h"
#include "tmx/TmxTilesets.h"

namespace kesh {

struct TmxImportResult {
    Status status = Status::Ok();
    TileSet tiles;                     // the map's tile size and the tiles of its tile sets
    int32_t width = 0, height = 0;     // cells
    std::vector<uint16_t> cells;       // row by row, 0xFFFF empty
    std::vector<uint16_t> attrs;       // with keepFlips: each cell's flip bits (cellbit)
    std::vector<std::string> warnings; // to show the user (layers left out)
    int64_t droppedFlips = 0;          // cells whose flip bits were cleared
    int64_t changedPixels = 0;         // true-colour pixels given the nearest colour
    QuantizeReport quantized;          // with quantize: the palette's colours and error
};

// Reads a Tiled map: orthogonal, its first tile layer (the names of the other
// tile layers come back as a warning), finite or infinite (the smallest
// rectangle holding every chunk), gids mapped through its tile sets to the
// tiles added (see ImportTmxTilesets). Files the map names come from
// `loader`. Fails, with a Korean message and nothing else in the result, for
// broken XML, another orientation, bad tile sizes, missing or unreadable
// files, unknown encodings or compressions, damaged layer data, gids no tile
// set holds, flipped or rotated tiles (unless `dropFlips`) and sizes over the
// map limits (sides 1 to 65,535, at most 268,435,456 cells).
TmxImportResult ImportTmx(std::span<const uint8_t> tmx, TmxLoader& loader,
                          const TmxImportOptions& options);

} // namespace kesh
