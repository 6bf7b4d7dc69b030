#pragma once

#include <cstdint>

#include "base/Status.h"
#include "image/PictureTiles.h"
#include "image/SubPaletteOptions.h"

namespace kesh {

// Colour 0 of every palette: the colour in the most places of the picture,
// the lowest 0xRRGGBB on a tie; black for a picture of padding alone.
uint32_t SharedColour(const PictureTiles& tiles);

// SubPalettePacker's palettes for the picture, colour 0 SharedColour(),
// per area of `options.area` tiles. Fails with the packer's message naming
// the first tile or area no palette holds.
Status PackPalettes(const PictureTiles& tiles, const SubPaletteOptions& options, SubPalettes& out);

// The one step between the picture's tiles and their palettes:
// `options.assign` when set, else PackPalettes. Whatever gave them, the
// palettes must keep to P x K and name a palette for every place; else this
// fails with a Korean message and `out` is not to be used.
Status AssignPalettes(const PictureTiles& tiles, const SubPaletteOptions& options,
                      SubPalettes& out);

} // namespace kesh
