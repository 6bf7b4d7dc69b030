#include "image/BlockMatcher.h"

#include <utility>

#include "image/TileCutting.h"
#include "layout/CellFields.h"

namespace kesh {

BlockMatcher::BlockMatcher(TileList& list, bool flips)
    : m_list(list), m_flips(flips), m_width(size_t(list.width())), m_height(size_t(list.height())),
      m_index(list), m_memo(m_width * m_height), m_mirrored(flips ? m_width * m_height : 0) {}

bool BlockMatcher::Match(const uint8_t* pixels, int64_t& number, uint16_t& flips) {
    const uint64_t hash = HashTile(pixels, m_width * m_height);
    flips = 0;
    number = m_index.Find(pixels, hash);
    if (number < 0 && m_flips) {
        number = m_memo.Find(pixels, hash, flips);
        if (number < 0) {
            number = FindMirrored(pixels, flips);
            if (number >= 0)
                m_memo.Add(pixels, hash, number, flips);
        }
    }
    if (number >= 0)
        return true;
    if (!m_list.AddUnique(pixels, 0))
        return false;
    number = int64_t(m_list.count()) - 1;
    m_index.Add(hash, number);
    return true;
}

// The stored tile a block shows flipped, and the flips that show it: the
// block mirrored back must be a stored tile.
int64_t BlockMatcher::FindMirrored(const uint8_t* pixels, uint16_t& flips) {
    constexpr std::pair<bool, bool> kOrder[] = {{true, false}, {false, true}, {true, true}};
    for (const auto& [h, v] : kOrder) {
        Mirror(pixels, m_width, m_height, h, v, m_mirrored.data());
        const int64_t number =
            m_index.Find(m_mirrored.data(), HashTile(m_mirrored.data(), m_width * m_height));
        if (number >= 0) {
            flips = uint16_t((h ? cellbit::kHFlip : 0) | (v ? cellbit::kVFlip : 0));
            return number;
        }
    }
    return -1;
}

} // namespace kesh
