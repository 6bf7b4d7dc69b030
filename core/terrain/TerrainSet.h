#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"

namespace kesh {

// How a terrain set labels its tiles.
//   Corner: the terrain at each of a tile's four corners. The map's terrain
//           values sit on the cell corners, a (width+1) x (height+1) grid.
//   Blob:   the terrain of the tile's middle, of its four edges and of its four
//           corners (the 47-tile sets). The values sit on the cells.
enum class TerrainKind : uint8_t { Corner, Blob };

inline constexpr int kMaxTerrains = 8;
inline constexpr int kTerrainBits = 3; // one terrain in a label

// A tile's label packs one terrain (0..7) per position, three bits each,
// position 0 lowest.
//   Corner: 0 NW, 1 NE, 2 SE, 3 SW.
//   Blob:   0 N, 1 NE, 2 E, 3 SE, 4 S, 5 SW, 6 W, 7 NW, 8 the middle.
using TerrainLabel = uint32_t;

namespace terrainpos {
inline constexpr int kCornerCount = 4;
inline constexpr int kBlobCount = 9;
inline constexpr int kBlobMiddle = 8;
} // namespace terrainpos

// Positions of a label for `kind`: 4 or 9.
constexpr int LabelPositions(TerrainKind kind) {
    return kind == TerrainKind::Corner ? terrainpos::kCornerCount : terrainpos::kBlobCount;
}
constexpr int TerrainAt(TerrainLabel label, int pos) {
    return int((label >> (pos * kTerrainBits)) & 7u);
}
constexpr TerrainLabel WithTerrain(TerrainLabel label, int pos, int terrain) {
    const int shift = pos * kTerrainBits;
    return (label & ~(TerrainLabel(7) << shift)) | (TerrainLabel(terrain & 7) << shift);
}
// A label with `terrain` at every position of `kind`.
TerrainLabel UniformLabel(TerrainKind kind, int terrain);
// The label a tile shows once drawn mirrored (cellbit::kHFlip, kVFlip).
TerrainLabel FlipLabel(TerrainKind kind, TerrainLabel label, uint16_t flips);
// How far apart two labels are: the positions whose terrain differs, a
// blob label's middle counting as 8, so that a tile of another middle
// terrain is only taken when none of the right one is near.
int LabelDistance(TerrainKind kind, TerrainLabel a, TerrainLabel b);

// A tile of the set and the terrains it shows.
struct TerrainTile {
    uint16_t tile = 0;
    TerrainLabel label = 0;
    bool operator==(const TerrainTile&) const = default;
};

// Named terrains and the tiles that show them. Several tiles with one label
// are variants of each other, in the order listed.
struct TerrainSet {
    TerrainKind kind = TerrainKind::Corner;
    std::vector<std::string> terrains; // 1..8 names, the index is the terrain
    std::vector<TerrainTile> tiles;

    bool empty() const { return terrains.empty(); }
    // The terrain named `name`, -1 when there is none.
    int Find(const std::string& name) const;
    // Fails with a Korean message for no terrain or more than 8, an empty or
    // repeated name, or a label naming a terrain the set lacks.
    Status Check() const;
    bool operator==(const TerrainSet&) const = default;
};

} // namespace kesh
