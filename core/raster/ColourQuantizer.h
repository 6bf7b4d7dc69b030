#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "raster/ColourHistogram.h"

namespace kesh {

// The colours chosen for a set of pixels, as palette levels.
struct QuantizedColours {
    // Red, green, blue levels of each entry, in the histogram's precision.
    // With a reserved entry 0 the first one is left black for the caller.
    std::vector<std::array<uint8_t, 3>> levels;
    bool reserveZero = false; // entry 0 is not one of the pixels' colours
    bool exact = false;       // every colour of the pixels has its own entry
    // The histogram's occupied bins and the entry nearest to each one's
    // mean, as the last pass found them (empty when exact).
    std::vector<uint32_t> bins;
    std::vector<uint8_t> entryOfBin;
};

// Chooses at most `colours` palette entries (2 to 256) for the opaque pixels
// of a histogram. When the pixels have no more colours (in the palette's
// precision) than the entries available, those colours are the palette.
// Otherwise Wu's quantizer gives the first palette and a few passes of
// k-means refine it: each colour to its nearest entry as shown on screen,
// each entry to the mean of its colours. With `reserveZero` entry 0 is kept
// out (transparent pixels, or a colour shared by several palettes), so the
// pixels get `colours` - 1 entries of their own.
class ColourQuantizer {
public:
    static QuantizedColours Quantize(const ColourHistogram& histogram, int colours,
                                     bool reserveZero);

    // The largest number of k-means passes; they stop early once no
    // colour moves to another entry.
    static constexpr int kRefinePasses = 8;
};

} // namespace kesh
