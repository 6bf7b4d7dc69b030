#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/ByteWriter.h"
#include "io/FileSystem.h"
#include "layout/Descriptor.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// The map data file (.map): the header string, then one block per item of the
// map's layout, in list order (duplicates included, unknown codes skipped):
//   SizeByte/SizeWord/SizeDword  width, then height, in 1, 2 or 4 bytes
//   TileFile                     the whole tile set as a tile file
//   CellsByte                    one byte per cell (its low 8 bits), row by row
//   CellsWord                    two bytes per cell, row by row
//   CellFields, CellAttributes   a word per cell made of the layout's fields
//   NesAttributes                the NES attribute table of the cells' palettes
//                                (layout/NesAttributeTable.h)
// The layout itself is saved beside it in the .kmf.

// Writes the low 1, 2 or 4 bytes of `value` for width code 0, 1 or 2,
// little-endian; any other code writes nothing.
void WriteValue(ByteWriter& out, uint32_t value, int widthCode);

// The .map bytes of `map` with `tiles` in its TileFile items. Fails, with
// nothing usable in `out`, when the map has no cells or when a TileFile item
// meets an empty tile set (such a block could never be read back).
Status WriteMapFile(const MapModel& map, const TileSet& tiles, ByteWriter& out);

// Writes the .map at `path` and its .kmf beside it, both or neither, and
// `beside` with them (the terrain set's file), all or nothing.
Status SaveMapFiles(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles, const std::vector<FileSource>& beside = {});

// How to read a .map: its descriptor (from the .kmf, or set by hand) and the
// map size to use when the layout has no size item.
struct MapReadLayout {
    MapDescriptor descriptor;
    bool hasSize = false; // false: only a size item gives the map its size
    int32_t width = 0;
    int32_t height = 0;
};

// Reads a map from its bytes. All-or-nothing: on failure the map (cells and
// layout) and the tile set (tiles, layout, colours) are exactly as they were.
// On success the map takes the layout's items, the header and size read and
// the cells read (a layout without cell items gives empty cells); the tile set
// takes the layout's tile items and AttrWidth, and is replaced by the tile set
// of the last TileFile item when there is one. The map's names, changed flag,
// current cell and selection stay, the current tile number too.
// Failures: a file shorter than its layout, a size that changes after the
// cells were read, "파일이 손상되었거나 파일포맷과 맞지 않습니다."; no size
// before a cell item or at the end, "파일 형식중에 타일의 크기가 없습니다.";
// a size the map cannot hold, "지도의 크기가 올바르지 않습니다."; and the
// messages of the tile set reader.
Status ReadMapFile(std::span<const uint8_t> mapBytes, const MapReadLayout& layout, MapModel& map,
                   TileSet& tiles);
// The same with the layout taken from the .kmf bytes (a damaged one fails
// with "파일이 손상되었거나 파일포맷과 맞지 않습니다.").
Status ReadMapFile(std::span<const uint8_t> mapBytes, std::span<const uint8_t> kmfBytes,
                   MapModel& map, TileSet& tiles);

// Reads the .kmf beside `mapPath`. When it cannot be opened, `missing` is set
// (so the caller can offer to set the layout by hand) and the status fails.
Status LoadMapDescriptor(FileSystem& fs, const std::string& mapPath, MapDescriptor& out,
                         bool& missing);
// Reads the .map at `mapPath` with a layout already known.
Status LoadMapFile(FileSystem& fs, const std::string& mapPath, const MapReadLayout& layout,
                   MapModel& map, TileSet& tiles);
// Both: the descriptor first, then the map. `descriptorMissing` tells a
// missing .kmf (nothing read) from any other failure.
Status OpenMapFiles(FileSystem& fs, const std::string& mapPath, MapModel& map, TileSet& tiles,
                    bool& descriptorMissing);

} // namespace kesh
