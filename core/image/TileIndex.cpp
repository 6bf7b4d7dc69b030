#include "image/TileIndex.h"

#include <cstring>
#include <utility>

#include "image/TileCutting.h"

namespace kesh {

TileIndex::TileIndex(const TileList& tiles)
    : m_tiles(tiles), m_bytes(size_t(tiles.width()) * size_t(tiles.height())) {
    Grow(tiles.count() + 1024);
    for (uint32_t t = 0; t < tiles.count(); ++t)
        if (tiles.AttributeAt(t) == 0)
            Add(HashTile(tiles.PixelsAt(t), m_bytes), t);
}

int64_t TileIndex::Find(const uint8_t* pixels, uint64_t hash) const {
    int64_t found = -1;
    for (size_t i = hash & m_mask; m_slots[i].number >= 0; i = (i + 1) & m_mask) {
        const Slot& slot = m_slots[i];
        if (slot.hash == hash && (found < 0 || slot.number < found) &&
            std::memcmp(m_tiles.PixelsAt(uint32_t(slot.number)), pixels, m_bytes) == 0)
            found = slot.number;
    }
    return found;
}

void TileIndex::Add(uint64_t hash, int64_t number) {
    if (2 * (m_used + 1) > m_slots.size())
        Grow(2 * m_used + 2);
    Place({hash, number});
    ++m_used;
}

void TileIndex::Place(const Slot& slot) {
    size_t i = slot.hash & m_mask;
    while (m_slots[i].number >= 0)
        i = (i + 1) & m_mask;
    m_slots[i] = slot;
}

void TileIndex::Grow(size_t least) {
    size_t size = 16;
    while (size < 2 * least)
        size *= 2;
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(size));
    m_mask = size - 1;
    for (const Slot& slot : old)
        if (slot.number >= 0)
            Place(slot);
}

} // namespace kesh
