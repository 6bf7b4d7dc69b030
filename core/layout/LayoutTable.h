#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "layout/MapFormat.h"
#include "layout/NesAttributeTable.h"
#include "layout/TileFormat.h"

namespace kesh {

// Where each item of a layout lands in the data file: the items in file
// order with their byte offset and length, the total size, and warnings for
// data the layout cannot hold or an order the reader refuses. The lengths
// come from the same item sizes the writers use (TileItemBytes, MapItemBytes).

// The code of the header string's entry.
inline constexpr int kHeaderEntry = -1;

struct LayoutEntry {
    int code = kHeaderEntry; // item code, or kHeaderEntry
    std::string name;        // "SizeWord", "Header"; a code outside the table as its number
    std::string text;        // as the layout dialogs list it (UTF-8)
    uint64_t offset = 0;     // from the start of the file, nested entries too
    uint64_t length = 0;
    std::vector<LayoutEntry> items; // a map's TileFile: the entries of the tile file in it

    bool operator==(const LayoutEntry&) const = default;
};

struct LayoutTable {
    std::vector<LayoutEntry> items;
    uint64_t size = 0;
    // Korean, each naming its item by the list text.
    std::vector<std::string> warnings;
};

// The data a layout is laid over, besides the sizes in the format.
struct TileLayoutData {
    int64_t count = 0;         // tiles
    uint32_t maxAttribute = 0; // the largest attribute word
    // The largest pixel of each tile, for the Pixels item's check; empty
    // when not known (no tile is then warned of).
    std::vector<uint8_t> largestPixel = {};
    // False for a layout set up before its tiles exist: tile blocks count as
    // empty and an empty tile set is not warned of.
    bool tilesKnown = true;
};

struct MapLayoutData {
    TileLayoutData tiles;
    uint32_t maxTile = 0; // the largest tile number in a cell, empty cells aside
    // For a NesAttributes item: the first 2 x 2 block with mixed palettes,
    // and the palette of its top-left cell, the one the table keeps.
    std::optional<CellPos> mixedNesBlock = {};
    int mixedNesPalette = 0;
    // Tiles as the hardware stores them (mirror images matched when the map
    // has flip fields), for the tile limit's warning; -1 when not known.
    int64_t storedTiles = -1;
};

// The text shown for the header string's entry.
const char* HeaderEntryText();

LayoutTable TileLayoutTable(const TileFormat& format, const TileLayoutData& data);
// A map file with `tiles` laid out in each TileFile item. The tile layout is
// checked only when the map embeds it.
LayoutTable MapLayoutTable(const MapFormat& map, const TileFormat& tiles,
                           const MapLayoutData& data);

} // namespace kesh
