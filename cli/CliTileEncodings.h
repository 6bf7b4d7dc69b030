#pragma once

#include "CliJson.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh::cli {

// What `info` says of a tile layout's console items, under the keys the
// generated Python reader gives: "pixelEncoding" with a Pixels item;
// "colourEncoding", "paletteCount" and "coloursPerPalette" with a Palette
// item, and with `palettes` its colours as the hardware shows them,
// "palettes": P lists of K [r, g, b].
void WriteTileEncodings(JsonObject& json, const TileSet& set, bool palettes);

// For a map whose cells have a palette field: "tilePalettes", for each tile
// the palettes the cells that show it use, in order ([] for a tile no cell
// shows). Nothing for other maps.
void WriteTilePalettes(JsonObject& json, const MapModel& map, const TileSet& tiles);

} // namespace kesh::cli
