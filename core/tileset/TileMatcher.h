#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "tileset/TileList.h"

namespace kesh {

// A tile that another equals: cells showing the other can show `tile`
// with the flip bits `flip` (cellbit::kHFlip, kVFlip; 0 for an exact copy).
struct TileMatch {
    int32_t tile = 0;
    uint16_t flip = 0;
    bool operator==(const TileMatch&) const = default;
};

// Finds tiles equal to one another: the same pixels and attribute word, or,
// when `flips` allows, one the mirror image of the other (the hardware then
// stores one of them). Lower numbers come first: a tile is matched to the
// lowest-numbered tile it equals.
class TileMatcher {
public:
    TileMatcher(const TileList& tiles, uint16_t flips);

    // For each tile, the tile it is stored as: itself (flip 0) when no
    // lower-numbered tile equals it.
    const std::vector<TileMatch>& classes() const { return m_classes; }
    // Tiles left once every equal tile is stored once.
    int32_t distinct() const { return m_distinct; }

    // A tile other than `number` that tile `number` of `tiles` equals: the
    // lowest-numbered exact copy, else the lowest-numbered mirror image the
    // flips `flips` allow (none, H, V, then both).
    static std::optional<TileMatch> FindEqual(const TileList& tiles, int32_t number,
                                              uint16_t flips);
    // The mirror images to try for `flips`: none first, then each one allowed.
    static std::vector<uint16_t> Mirrors(uint16_t flips);

private:
    std::vector<TileMatch> m_classes;
    int32_t m_distinct = 0;
};

} // namespace kesh
