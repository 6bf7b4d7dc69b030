#pragma once

#include <cstdint>

#include "layout/TileFormat.h"
#include "raster/ColourEncoding.h"
#include "raster/Palette.h"

namespace kesh {

class TileSet;

// The colours the editor shows. While a tile layout has a Palette item, the
// P x K colours that item stores are shown as the console shows them: at the
// precision of the item's colour encoding (ReduceColour), so the user sees
// on screen what a save writes. Every other entry, and every entry of a
// layout without the item, is shown as the table holds it. The table itself
// keeps the 8-bit colours, so that another encoding chosen later starts from
// them rather than from a reduced copy.

// The colours of the layout's Palette item: P x K, or 0 without the item.
int HardwareColourCount(const TileFormat& format);

// Entry `index` of `table` (blue, green, red, 0 per entry) as shown.
Rgb ShownColour(const TileFormat& format, const uint8_t* table, int index);

// The set's whole display colour table as shown, in the table's own form;
// what the views draw with and the picture exports write.
ColourTable ShownColours(const TileSet& set);

} // namespace kesh
