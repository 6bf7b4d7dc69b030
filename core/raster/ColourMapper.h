#pragma once

#include <cstdint>
#include <vector>

#include "raster/ColourHistogram.h"
#include "raster/ColourQuantizer.h"
#include "raster/Palette.h"

namespace kesh {

// Gives pixels the index of their entry in quantized colours, and measures
// the error of the colours as shown. Each colour of the histogram goes to the
// entry nearest to its mean (as the quantizer's last pass found it), each
// colour of the pixels to its own entry when the colours are exact; colours
// dithering makes to the entry nearest to them, the lowest index on a tie. Transparent pixels
// (alpha 0) take index 0 and count for nothing.
class ColourMapper {
public:
    ColourMapper(const ColourHistogram& histogram, const QuantizedColours& colours);

    // Indices for `width` x `height` pixels of red, green, blue (rows top
    // first) into `out`; `alpha` may be null. With `dither` the error of each
    // pixel is spread to its neighbours still to come (Floyd and Steinberg,
    // rows in alternating directions).
    void Map(const uint8_t* rgb, const uint8_t* alpha, int64_t width, int64_t height, bool dither,
             uint8_t* out);

    // The sum of squared channel errors of the opaque pixels mapped so far,
    // and how many they were.
    double squaredError() const { return m_squaredError; }
    int64_t pixels() const { return m_pixels; }

    // The entries as a palette of 6-bit levels; entries past the colours are black.
    Palette ToPalette() const { return PaletteOf(m_colours); }
    static Palette PaletteOf(const QuantizedColours& colours);

    // Peak signal-to-noise ratio in dB of a mean squared error over
    // `pixels` x 3 channels of 0-255; infinite when there is no error.
    static double Psnr(double squaredError, int64_t pixels);

    // From this many pixels on, mapping without dithering runs on two threads.
    static constexpr int64_t kTwoThreadPixels = int64_t(1) << 20;

private:
    uint8_t Nearest(int r, int g, int b) const;
    uint8_t IndexOfBin(size_t bin);
    // Without dithering, once every colour of the histogram has its entry.
    void MapRows(const uint8_t* rgb, const uint8_t* alpha, int64_t width, int64_t rows,
                 uint8_t* out, int64_t& squaredError, int64_t& pixels) const;
    void DitherRow(const uint8_t* rgb, const uint8_t* alpha, int64_t width, bool backwards,
                   std::vector<int>& here, std::vector<int>& next, uint8_t* out);
    void Count(const uint8_t* p, uint8_t index);
    void FillOccupied();

    const ColourHistogram& m_histogram;
    const QuantizedColours& m_colours;
    std::vector<int> m_shown;          // red, green, blue as shown, per entry
    int m_first = 0;                   // the first entry pixels may take
    std::vector<int16_t> m_indexOfBin; // -1 until asked
    bool m_complete = false;           // every occupied bin has its index
    double m_squaredError = 0;
    int64_t m_pixels = 0;
};

} // namespace kesh
