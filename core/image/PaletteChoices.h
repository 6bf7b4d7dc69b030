#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace kesh {

// The colours an opaque pixel may take from one palette, as shown, kept
// channel by channel in blocks of 8 (the last block filled with the first
// colour) so that the search for the nearest runs over whole blocks.
class PaletteChoices {
public:
    PaletteChoices() = default;
    // Choice i is `colours[i]`, packed 0xRRGGBB.
    explicit PaletteChoices(std::span<const uint32_t> colours);

    size_t size() const { return m_size; }

    // The least squared distance from (r, g, b) to a choice; the largest
    // int32_t when there is none.
    int32_t Least(int32_t r, int32_t g, int32_t b) const {
        int32_t best = std::numeric_limits<int32_t>::max();
        for (size_t i = 0; i < m_r.size(); i += kBlock) {
            int32_t d[kBlock];
            for (size_t j = 0; j < kBlock; ++j) {
                const int32_t dr = r - m_r[i + j], dg = g - m_g[i + j], db = b - m_b[i + j];
                d[j] = dr * dr + dg * dg + db * db;
            }
            for (size_t j = 0; j < kBlock; ++j)
                best = d[j] < best ? d[j] : best;
        }
        return best;
    }

    // The nearest choice, the lowest on a tie, and its squared distance;
    // each lane of a block keeps its own best, then the lanes are compared.
    size_t Nearest(int32_t r, int32_t g, int32_t b, int32_t& distance) const {
        int32_t least[kBlock], which[kBlock];
        for (size_t j = 0; j < kBlock; ++j) {
            least[j] = std::numeric_limits<int32_t>::max();
            which[j] = 0;
        }
        for (size_t i = 0; i < m_r.size(); i += kBlock)
            for (size_t j = 0; j < kBlock; ++j) {
                const int32_t dr = r - m_r[i + j], dg = g - m_g[i + j], db = b - m_b[i + j];
                const int32_t d = dr * dr + dg * dg + db * db;
                which[j] = d < least[j] ? int32_t(i + j) : which[j];
                least[j] = d < least[j] ? d : least[j];
            }
        size_t best = 0;
        distance = std::numeric_limits<int32_t>::max();
        for (size_t j = 0; j < kBlock; ++j)
            if (least[j] < distance || (least[j] == distance && size_t(which[j]) < best)) {
                distance = least[j];
                best = size_t(which[j]);
            }
        return best;
    }

private:
    static constexpr size_t kBlock = 8;
    size_t m_size = 0;
    std::vector<int32_t> m_r, m_g, m_b;
};

} // namespace kesh
