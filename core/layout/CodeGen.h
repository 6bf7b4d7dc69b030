#pragma once

#include <optional>
#include <string>
#include <vector>

#include "layout/Descriptor.h"

namespace kesh {

// Generates the reader a game needs for kesh's files of one layout: a C99
// header or a Python 3 module that reads exactly what kesh reads (item order,
// duplicates, both palette forms, blank tiles, a combined pixel+attribute
// block), checking every read against the end of the data. The code is the
// user's: it carries a line saying it may be used without restriction.

// The prefix of the C reader's names: kesh_read_map, KESH_READER_H.
inline constexpr const char* kDefaultReaderPrefix = "kesh";

// The layout a reader is made for: a map's descriptor, or a tile file's.
struct CodeLayout {
    std::optional<MapDescriptor> map; // set for a .map
    TileDescriptor tile;              // a .til's, or the tile part of the map's
    std::string madeFor;              // the file the layout came from, for the comment
    // A C identifier that starts every name of the C reader, its guard too
    // (upper-cased): "town" gives town_read_map and TOWN_READER_H.
    std::string prefix = kDefaultReaderPrefix;

    static CodeLayout ForMap(const MapDescriptor& map, std::string madeFor);
    static CodeLayout ForTiles(const TileDescriptor& tile, std::string madeFor);
};

enum class CodeLanguage { C, Python };

// One self-contained header (standard library only) declaring
//   struct kesh_tiles, struct kesh_map,
//   kesh_read_tiles/kesh_free_tiles (tile files) or
//   kesh_read_map/kesh_free_map/kesh_free_tiles (maps).
std::string GenerateCReader(const CodeLayout& layout);
// A module with read_tiles(data) or read_map(data) returning a dict keyed as
// `kesh-cli info --cells` prints; a short or damaged file raises ValueError.
std::string GeneratePythonReader(const CodeLayout& layout);
std::string GenerateReader(const CodeLayout& layout, CodeLanguage language);

namespace codegen {

// The lines describing the layout, shared by both languages' comments:
// "header string   3 bytes", "SizeByte   BYTE  Width, Height ;", the tile
// items of a TileFile indented under it.
std::vector<std::string> LayoutLines(const CodeLayout& layout);
// Where each item lies, for the same comments: a line an item (the header
// string too), "Pixels[4bpp-snes]     at 35, count x w x h / 2 bytes", the
// offsets and lengths written in the tile count and size and the map size,
// the tile file's items indented under a map's TileFile.
std::vector<std::string> OffsetLines(const CodeLayout& layout);
// The descriptor's items and parameters as a layout of unknown tile size.
TileFormat FormatOf(const TileDescriptor& tile);
// The fields a map reader gives beside the tile numbers: the names of the
// fields other than the tile number in the words the map's items read (the
// cell word's, then the plane's), then "palette" for a NES attribute table,
// each name once. Empty without such items.
std::vector<std::string> FieldNames(const MapDescriptor& map);
// Whether the map's items read any field beside the tile numbers: a word of
// fields (CellFields or CellAttributes with fields, HasWordFieldItems) or
// the NES attribute table's palettes (HasNesTable); a reader without them is
// written as before.
bool HasFieldItems(const MapDescriptor& map);
bool HasWordFieldItems(const MapDescriptor& map);
bool HasNesTable(const MapDescriptor& map);
// The word a CellFields or CellAttributes item reads.
const CellWord& FieldWord(const MapDescriptor& map, uint8_t code);
// The no-restriction notice, as comment lines.
std::vector<std::string> NoticeLines();

} // namespace codegen

} // namespace kesh
