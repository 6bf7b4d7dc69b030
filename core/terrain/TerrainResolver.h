#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "terrain/TerrainSet.h"

namespace kesh {

// How variants are picked. Without random variants every cell takes the
// first tile listed for its label. With them, a cell takes one of the
// variants by a hash of its position and the seed, so that painting again,
// in any order, gives the same map; with random flips too, mirror images of
// the variants that show the same label are among them.
struct TerrainOptions {
    bool randomVariants = false;
    bool randomFlips = false;
    uint32_t seed = 0x6b657368;
    bool operator==(const TerrainOptions&) const = default;
};

// The tile a cell gets: its number, its flip bits (cellbit), and whether its
// label was in the set (false: the nearest label was taken).
struct TerrainChoice {
    uint16_t tile = 0;
    uint16_t flips = 0;
    bool exact = true;
};

// The tiles of a terrain set by label, with the mirror images the map's flip
// fields allow (`flipMask`, cellbit::kHFlip and kVFlip): a tile drawn
// mirrored shows the mirrored label. A label the set lacks takes the nearest
// one it has (LabelDistance), the first of them in the set's order on a tie;
// the answer is kept, so a resolver is not for two threads at once.
class TerrainResolver {
public:
    TerrainResolver() = default;
    TerrainResolver(const TerrainSet& set, uint16_t flipMask);

    bool empty() const { return m_labels.empty(); }
    uint16_t flipMask() const { return m_flipMask; }
    TerrainChoice Choose(TerrainLabel label, int32_t col, int32_t row,
                         const TerrainOptions& options) const;
    // The label `tile` drawn with `flips` shows; false when the set has no
    // such tile (or the map cannot draw it so).
    bool LabelOf(uint16_t tile, uint16_t flips, TerrainLabel& label) const;
    // Labels the set can draw, each once, in the set's order.
    const std::vector<TerrainLabel>& labels() const { return m_labels; }

private:
    struct Option {
        uint16_t tile;
        uint16_t flips;
    };
    // Its options: `plain` tiles as drawn, then `mirrored` ones.
    struct Entry {
        uint32_t first = 0;
        uint16_t plain = 0;
        uint16_t mirrored = 0;
    };
    const Entry& entryFor(TerrainLabel label, bool& exact) const;

    TerrainKind m_kind = TerrainKind::Corner;
    uint16_t m_flipMask = 0;
    std::vector<Option> m_options;
    std::vector<TerrainLabel> m_labels;
    std::unordered_map<TerrainLabel, Entry> m_entries;
    std::unordered_map<uint32_t, TerrainLabel> m_drawn; // tile << 2 | flips
    mutable std::unordered_map<TerrainLabel, TerrainLabel> m_nearest;
};

// A well-mixed number from a cell position and a seed.
uint32_t CellHash(int32_t col, int32_t row, uint32_t seed);

} // namespace kesh
