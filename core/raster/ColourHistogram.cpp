#include "raster/ColourHistogram.h"

#include <thread>

namespace kesh {

ColourHistogram::ColourHistogram(ColourPrecision precision)
    : m_precision(precision), m_bins(size_t(1) << (3 * precision.bits)) {
    for (int c = 0; c < 256; ++c)
        m_nearest[c] = uint8_t(m_precision.Nearest(c));
}

void ColourHistogram::Count(const uint8_t* rgb, const uint8_t* alpha, size_t count,
                            std::vector<Bin>& bins, int64_t& transparent) const {
    for (size_t i = 0; i < count; ++i, rgb += 3) {
        if (alpha && alpha[i] == 0) {
            ++transparent;
            continue;
        }
        const int r = rgb[0], g = rgb[1], b = rgb[2];
        Bin& bin = bins[BinOfColour(r, g, b)];
        ++bin.count;
        bin.r += r;
        bin.g += g;
        bin.b += b;
        bin.squares += r * r + g * g + b * b;
    }
}

void ColourHistogram::Add(const uint8_t* rgb, const uint8_t* alpha, size_t count) {
    int64_t transparent = 0;
    // A large picture is counted in two halves at once, the second into
    // bins of its own added in after.
    const size_t half = count >= kTwoThreadPixels ? count / 2 : 0;
    std::vector<Bin> second;
    int64_t secondTransparent = 0;
    std::thread worker;
    if (half > 0) {
        second.resize(m_bins.size());
        worker = std::thread([&] {
            Count(rgb + 3 * half, alpha ? alpha + half : nullptr, count - half, second,
                  secondTransparent);
        });
    }
    Count(rgb, alpha, half > 0 ? half : count, m_bins, transparent);
    if (worker.joinable()) {
        worker.join();
        for (size_t i = 0; i < second.size(); ++i) {
            Bin& to = m_bins[i];
            const Bin& from = second[i];
            to.count += from.count;
            to.r += from.r;
            to.g += from.g;
            to.b += from.b;
            to.squares += from.squares;
        }
        transparent += secondTransparent;
    }
    m_transparent += transparent;
    m_opaque += int64_t(count) - transparent;
}

std::vector<uint32_t> ColourHistogram::Occupied() const {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < m_bins.size(); ++i)
        if (m_bins[i].count > 0)
            out.push_back(uint32_t(i));
    return out;
}

} // namespace kesh
