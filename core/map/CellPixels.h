#pragma once

#include <cstdint>

namespace kesh {

// The attribute bits that change how a cell looks: its flips and its palette
// number. Priority and the user bits draw nothing.
uint16_t DrawnAttr(uint16_t attr);

// Writes the w x h palette indices a cell with attribute bits `attr` shows of
// `tile` (w x h indices, row by row) to `out`: mirrored left to right with
// the horizontal flip, top to bottom with the vertical one, and each index
// moved to its palette's colours, (palette x coloursPerPalette + index)
// modulo 256. `out` must not overlap `tile`.
void CellPixels(const uint8_t* tile, int w, int h, uint16_t attr, int coloursPerPalette,
                uint8_t* out);

} // namespace kesh
