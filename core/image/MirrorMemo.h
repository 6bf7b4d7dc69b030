#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace kesh {

// Blocks already found to be mirror images, by hash of their own pixels, so
// that a block met again costs one lookup rather than three mirrorings.
class MirrorMemo {
public:
    explicit MirrorMemo(size_t bytes) : m_bytes(bytes) {}

    int64_t Find(const uint8_t* pixels, uint64_t hash, uint16_t& flips) const {
        const auto [first, last] = m_byHash.equal_range(hash);
        for (auto it = first; it != last; ++it)
            if (std::memcmp(m_pixels.data() + it->second.offset, pixels, m_bytes) == 0) {
                flips = it->second.flips;
                return it->second.number;
            }
        return -1;
    }

    void Add(const uint8_t* pixels, uint64_t hash, int64_t number, uint16_t flips) {
        m_byHash.emplace(hash, Entry{number, m_pixels.size(), flips});
        m_pixels.insert(m_pixels.end(), pixels, pixels + m_bytes);
    }

private:
    struct Entry {
        int64_t number;
        size_t offset;
        uint16_t flips;
    };
    size_t m_bytes;
    std::vector<uint8_t> m_pixels;
    std::unordered_multimap<uint64_t, Entry> m_byHash;
};

} // namespace kesh
