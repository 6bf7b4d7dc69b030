#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kesh {

// How many bits per channel a palette keeps, and the 8-bit intensity each
// level shows as. The palette items of tile files keep 6 bits, shown as the
// level times 4, as the colour table holds them.
struct ColourPrecision {
    int bits = 6; // 1 to 8

    int levels() const { return 1 << bits; }
    // The 8-bit intensity level `v` shows as.
    int Shown(int v) const { return v << (8 - bits); }
    // The level whose shown intensity is nearest to `c` (0-255), the lower on a tie.
    int Nearest(int c) const {
        const int step = 1 << (8 - bits);
        const int v = (c + step / 2 - (step > 1 ? 1 : 0)) >> (8 - bits);
        return v < levels() ? v : levels() - 1;
    }
};

// The colours of a set of pixels, counted by the palette level nearest to
// each channel: every colour of a bin shows as the same palette colour. Each
// bin also sums the pixels' own 8-bit values, so that its mean and spread are
// exact. Pixels whose alpha is 0 are counted apart, as transparent.
class ColourHistogram {
public:
    struct Bin {
        int64_t count = 0;
        int64_t r = 0, g = 0, b = 0; // sums of the 8-bit values
        int64_t squares = 0;         // sum of r² + g² + b²
    };

    explicit ColourHistogram(ColourPrecision precision = {});

    // Counts `count` pixels of red, green, blue; `alpha` (one byte a pixel)
    // may be null for pixels all opaque.
    void Add(const uint8_t* rgb, const uint8_t* alpha, size_t count);
    // Counts `count` opaque pixels of one colour.
    void AddColour(int r, int g, int b, int64_t count) {
        Bin& bin = m_bins[BinOfColour(r, g, b)];
        bin.count += count;
        bin.r += count * r;
        bin.g += count * g;
        bin.b += count * b;
        bin.squares += count * (r * r + g * g + b * b);
        m_opaque += count;
    }

    const ColourPrecision& precision() const { return m_precision; }
    // The bin of levels (r, g, b), each 0 to levels() - 1.
    size_t BinOf(int r, int g, int b) const {
        return (size_t(r) << (2 * m_precision.bits)) | (size_t(g) << m_precision.bits) | size_t(b);
    }
    // The bin an 8-bit colour falls in.
    size_t BinOfColour(int r, int g, int b) const {
        return BinOf(m_nearest[size_t(r)], m_nearest[size_t(g)], m_nearest[size_t(b)]);
    }
    const std::vector<Bin>& bins() const { return m_bins; }
    // The bins holding any pixel, in bin order.
    std::vector<uint32_t> Occupied() const;
    int64_t opaque() const { return m_opaque; }
    int64_t transparent() const { return m_transparent; }

    // From this many pixels on, Add counts on two threads.
    static constexpr size_t kTwoThreadPixels = size_t(1) << 20;

private:
    void Count(const uint8_t* rgb, const uint8_t* alpha, size_t count, std::vector<Bin>& bins,
               int64_t& transparent) const;

    ColourPrecision m_precision;
    uint8_t m_nearest[256];
    std::vector<Bin> m_bins;
    int64_t m_opaque = 0;
    int64_t m_transparent = 0;
};

} // namespace kesh
