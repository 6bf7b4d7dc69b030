#include "map/TileUsage.h"

#include <algorithm>
#include <array>
#include <memory>

#include "map/MapModel.h"

namespace kesh {

int32_t TileUsage::unused() const {
    return int32_t(std::count(counts.begin(), counts.end(), uint64_t(0)));
}

TileUsage TileUsage::Count(const std::vector<uint16_t>& cells, int32_t tiles) {
    // A count for every value a cell can hold, in two tables taken by turns:
    // a run of equal cells then does not wait on its own last increment.
    // 32 bits are enough: a map holds at most 2^28 cells.
    auto table = std::make_unique<std::array<std::array<uint32_t, 65536>, 2>>();
    auto& a = (*table)[0];
    auto& b = (*table)[1];
    const uint16_t* p = cells.data();
    const size_t n = cells.size();
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        ++a[p[i]];
        ++b[p[i + 1]];
        ++a[p[i + 2]];
        ++b[p[i + 3]];
    }
    for (; i < n; ++i)
        ++a[p[i]];

    TileUsage usage;
    const int32_t known = std::clamp(tiles, 0, int32_t(kEmptyCell));
    usage.counts.resize(size_t(known));
    for (int32_t t = 0; t < known; ++t)
        usage.counts[size_t(t)] = uint64_t(a[size_t(t)]) + b[size_t(t)];
    usage.empty = uint64_t(a[kEmptyCell]) + b[kEmptyCell];
    uint64_t shown = usage.empty;
    for (const uint64_t c : usage.counts)
        shown += c;
    usage.outside = n - shown;
    return usage;
}

} // namespace kesh
