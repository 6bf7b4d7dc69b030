#include "raster/ColourHistogram.h"

namespace kesh {

ColourHistogram::ColourHistogram(ColourPrecision precision)
    : m_precision(precision), m_bins(size_t(1) << (3 * precision.bits)) {
    for (int c = 0; c < 256; ++c)
        m_nearest[c] = uint8_t(m_precision.Nearest(c));
}

void ColourHistogram::Add(const uint8_t* rgb, const uint8_t* alpha, size_t count) {
    for (size_t i = 0; i < count; ++i, rgb += 3) {
        if (alpha && alpha[i] == 0) {
            ++m_transparent;
            continue;
        }
        const int r = rgb[0], g = rgb[1], b = rgb[2];
        Bin& bin = m_bins[BinOfColour(r, g, b)];
        ++bin.count;
        bin.r += r;
        bin.g += g;
        bin.b += b;
        bin.squares += r * r + g * g + b * b;
        ++m_opaque;
    }
}

std::vector<uint32_t> ColourHistogram::Occupied() const {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < m_bins.size(); ++i)
        if (m_bins[i].count > 0)
            out.push_back(uint32_t(i));
    return out;
}

} // namespace kesh
