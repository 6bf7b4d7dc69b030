#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tileset/TileList.h"

namespace kesh {

// The tiles of a list with attribute 0, by hash of their pixels (HashTile),
// so that each cut tile finds its number: the ones already there and the
// ones added. An open table of hash and number, probed in order, twice as
// large as the tiles.
class TileIndex {
public:
    explicit TileIndex(const TileList& tiles);

    // The number of the first tile with attribute 0 and these pixels, or -1.
    int64_t Find(const uint8_t* pixels, uint64_t hash) const;
    void Add(uint64_t hash, int64_t number);

private:
    struct Slot {
        uint64_t hash = 0;
        int64_t number = -1; // -1: empty
    };
    void Place(const Slot& slot);
    void Grow(size_t least);

    const TileList& m_tiles;
    size_t m_bytes;
    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    size_t m_used = 0;
};

} // namespace kesh
