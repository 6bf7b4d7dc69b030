#include "map/CellPixels.h"

#include "layout/CellFields.h"

namespace kesh {

uint16_t DrawnAttr(uint16_t attr) {
    return uint16_t(attr & (cellbit::kFlips | cellbit::kPaletteMask));
}

void CellPixels(const uint8_t* tile, int w, int h, uint16_t attr, int coloursPerPalette,
                uint8_t* out) {
    const bool hflip = (attr & cellbit::kHFlip) != 0;
    const bool vflip = (attr & cellbit::kVFlip) != 0;
    const auto shift = uint8_t(unsigned(cellbit::PaletteOf(attr)) * unsigned(coloursPerPalette));
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = tile + size_t(vflip ? h - 1 - y : y) * size_t(w);
        uint8_t* line = out + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            line[x] = uint8_t(in[hflip ? w - 1 - x : x] + shift);
        }
    }
}

} // namespace kesh
