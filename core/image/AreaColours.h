#pragma once

#include <cstdint>
#include <vector>

#include "raster/ColourReduction.h"

namespace kesh {

// The opaque colours of each area of a picture (the tiles that share one
// palette: a tile, or 2 x 2 tiles on the NES), each colour once with its
// pixel count and the colour it shows as at the palette's precision. Areas
// run in reading order; tiles at the right and bottom edges may be cut
// short by the picture's size and hold only the pixels it has.
struct AreaColours {
    int32_t tilesAcross = 0, tilesDown = 0;
    int32_t areasAcross = 0, areasDown = 0;
    // Area a's colours are entries start[a] .. start[a + 1] - 1, in
    // increasing order of `colour`.
    std::vector<uint32_t> start;
    std::vector<uint32_t> colour;  // packed 0xRRGGBB, as in the picture
    std::vector<uint32_t> count;   // pixels of that colour in the area
    std::vector<uint32_t> reduced; // packed, as the palette would show it
    bool transparency = false;     // some pixel has alpha 0
    int64_t opaque = 0;            // pixels not transparent

    size_t areas() const { return start.empty() ? 0 : start.size() - 1; }
    size_t Size(size_t a) const { return start[a + 1] - start[a]; }
};

// Tiles of `tileWidth` x `tileHeight` pixels, `areaAcross` x `areaDown`
// tiles an area; `alpha` (a byte a pixel, 0 transparent) may be null.
AreaColours GatherAreaColours(const uint8_t* rgb, const uint8_t* alpha, int32_t width,
                              int32_t height, int32_t tileWidth, int32_t tileHeight,
                              int32_t areaAcross, int32_t areaDown, ColourReduction& reduction);

} // namespace kesh
