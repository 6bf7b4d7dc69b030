#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "layout/MapFormat.h"
#include "layout/TileFormat.h"

namespace kesh {

// The layouts of a console's background, by the name kesh-cli's --preset
// takes: 8 x 8 tiles in the console's pixel and colour encodings, P palettes
// of K colours, and the cells as its map holds them.
//
// The tile file is the palette first, then what a reader needs to find the
// pixels, then the pixels:
//   Palette    P x K colours (PaletteBytes of them)
//   SizeByte   8, 8
//   CountWord  the tile count, 16-bit little-endian
//   Pixels     the tiles, each EncodedTileBytes long
// The map is its size, then the cells, then their attributes:
//   SizeWord   width, height, 16-bit little-endian each
//   the cells  one word per cell (CellFields), or a byte per cell
//              (CellsByte) followed by the Game Boy Color's attribute plane
//              (CellAttributes) or the NES attribute table (NesAttributes).
// The layout table (kesh-cli layout) gives every offset.
struct PlatformPreset {
    const char* name;  // "nes"
    const char* title; // "NES"
};
const std::vector<PlatformPreset>& PlatformPresets();

struct PlatformLayouts {
    TileFormat tile;    // 8 x 8, header empty
    MapFormat map;      // 64 x 64 like a new map; callers keep their own size
    int areaTiles = 1;  // tiles across and down that share a palette (NES: 2)
};
std::optional<PlatformLayouts> PlatformPresetLayouts(std::string_view name);

} // namespace kesh
