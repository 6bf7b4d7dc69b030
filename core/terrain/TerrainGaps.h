#pragma once

#include <cstdint>
#include <vector>

#include "terrain/TerrainSet.h"

namespace kesh {

// A combination of two terrains that a set has no tile for.
struct TerrainGap {
    int low = 0;  // the lower terrain of the pair
    int high = 0; // the higher (equal to low for a set of one terrain)
    TerrainLabel label = 0;
    bool operator==(const TerrainGap&) const = default;
};

// The combinations the terrain panel lists as missing. For each pair of the
// set's terrains, low below high, every label of the set's kind of template
// (the 16 corner labels, or the 47 blob cells of high over low and plain
// low) with terrain 0 read as low and 1 as high; a label counts as present
// when a tile shows it, or, within `flipMask` (cellbit::kHFlip, kVFlip), a
// tile mirrored. Each label is listed once, by its first pair, pairs in
// order (0 1, 0 2, ..., 1 2, ...). A set of one terrain is checked for its
// plain tile only. Combinations of three terrains in one tile are not
// asked for: the templates know two.
std::vector<TerrainGap> TerrainGaps(const TerrainSet& set, uint16_t flipMask);

// The first tile of the set showing `terrain` at every position, its sample
// in the panel; -1 when it has none.
int SampleTile(const TerrainSet& set, int terrain);

} // namespace kesh
