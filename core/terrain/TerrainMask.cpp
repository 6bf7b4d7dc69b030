#include "terrain/TerrainMask.h"

#include <algorithm>
#include <array>

#include "terrain/TerrainMessages.h"
#include "terrain/TerrainSet.h"

namespace kesh {

namespace {

uint32_t PixelValue(const Image& mask, size_t i) {
    if (mask.hasIndices())
        return mask.m_pixels[i];
    const uint8_t* rgb = &mask.m_rgb[i * 3];
    return uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
}

} // namespace

Status MaskValues(const Image& mask, const std::vector<int>& order, int terrains,
                  std::vector<uint8_t>& values, std::vector<int64_t>& counts) {
    const size_t allowed = order.empty() ? size_t(terrains) : order.size();
    const size_t n = size_t(mask.m_width) * size_t(mask.m_height);
    std::vector<uint8_t> read(n);
    // Each pixel first gets the colour's place in the order first seen.
    std::array<uint32_t, kMaxTerrains> seen{};
    size_t colours = 0;
    uint32_t last = 0;
    uint8_t lastIndex = 0;
    bool any = false;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t v = PixelValue(mask, i);
        if (!any || v != last) {
            const auto at = std::find(seen.begin(), seen.begin() + ptrdiff_t(colours), v);
            if (at == seen.begin() + ptrdiff_t(colours)) {
                if (colours == allowed)
                    return Status::Fail(terrainmsg::kMaskColours);
                seen[colours++] = v;
            }
            last = v;
            lastIndex = uint8_t(at - seen.begin());
            any = true;
        }
        read[i] = lastIndex;
    }
    // Then the terrain of its place in ascending order.
    std::array<uint8_t, kMaxTerrains> byRank{};
    for (size_t c = 0; c < colours; ++c) {
        // The colour's rank: how many seen colours are lower.
        const size_t rank = size_t(std::count_if(seen.begin(), seen.begin() + ptrdiff_t(colours),
                                                  [&](uint32_t v) { return v < seen[c]; }));
        byRank[c] = uint8_t(order.empty() ? int(rank) : order[rank]);
    }
    std::vector<int64_t> counted(size_t(terrains), 0);
    for (uint8_t& v : read) {
        v = byRank[v];
        ++counted[v];
    }
    values = std::move(read);
    counts = std::move(counted);
    return Status::Ok();
}

} // namespace kesh
