#pragma once

#include <cstdint>
#include <vector>

#include "image/MirrorMemo.h"
#include "image/TileIndex.h"
#include "tileset/TileList.h"

namespace kesh {

// Gives each tile cut from a picture its number in a tile list: the first
// tile with attribute 0 and the same pixels, with `flips` a stored tile the
// block shows mirrored (horizontally, vertically, then both), else a tile
// added at the end.
class BlockMatcher {
public:
    BlockMatcher(TileList& list, bool flips);

    // The number of the tile for `pixels` and the flip bits (cellbit) that
    // show it; false when it had to be added and the list is full.
    bool Match(const uint8_t* pixels, int64_t& number, uint16_t& flips);

private:
    int64_t FindMirrored(const uint8_t* pixels, uint16_t& flips);

    TileList& m_list;
    bool m_flips;
    size_t m_width, m_height;
    TileIndex m_index;
    MirrorMemo m_memo;
    std::vector<uint8_t> m_mirrored;
};

} // namespace kesh
