#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"
#include "tileset/TileSet.h"

namespace kesh {

// Tiles per row of a tile sheet.
inline constexpr int kSheetColumns = 10;

// The whole tile set as one 8-bit BMP image ten tiles wide: tile t at column
// t mod 10 and row t / 10 from the top, in the set's display colours. Places
// after the last tile are colour index 0; rows are padded to 4 bytes.
std::vector<uint8_t> BuildTileSheet(const TileSet& set);

// Builds the sheet and saves it at `path`, all or nothing.
Status SaveTileSheet(FileSystem& fs, const std::string& path, const TileSet& set);

// The same sheet as an 8-bit palette PNG at `path` (same pixels, the set's
// display colours), written row by row, all or nothing. An empty set, whose
// sheet has no rows, gives one row of index 0 (a PNG cannot be empty).
Status SaveTileSheetPng(FileSystem& fs, const std::string& path, const TileSet& set);

} // namespace kesh
