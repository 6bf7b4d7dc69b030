#pragma once

#include <cstdint>
#include <vector>

namespace kesh {

// How often each tile shows in the map: one pass over the cells.
struct TileUsage {
    // counts[t]: the cells that show tile t, for each tile of the set.
    std::vector<uint64_t> counts;
    uint64_t empty = 0;   // cells that show nothing (0xFFFF)
    uint64_t outside = 0; // cells whose number names no tile of the set

    // Tiles no cell shows.
    int32_t unused() const;

    // Counts the cells of `cells` against a set of `tiles` tiles.
    static TileUsage Count(const std::vector<uint16_t>& cells, int32_t tiles);
};

} // namespace kesh
