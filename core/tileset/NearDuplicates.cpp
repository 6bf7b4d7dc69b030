#include "tileset/NearDuplicates.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <unordered_map>

namespace kesh {

namespace {

uint64_t HashOf(const uint8_t* p, size_t n, uint64_t seed) {
    uint64_t h = 0xCBF29CE484222325ull ^ (seed * 0x9E3779B97F4A7C15ull);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        h = (h ^ v) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    for (; i < n; ++i)
        h = (h ^ p[i]) * 0x100000001B3ull;
    return h;
}

// Pixels that differ between `a` and `b`, stopping once past `most`.
int32_t Differing(const uint8_t* a, const uint8_t* b, size_t n, int32_t most) {
    int32_t d = 0;
    constexpr size_t kRun = 32;
    for (size_t at = 0; at < n; at += kRun) {
        const size_t end = std::min(n, at + kRun);
        for (size_t i = at; i < end; ++i)
            d += a[i] != b[i];
        if (d > most)
            break;
    }
    return d;
}

} // namespace

NearDuplicates NearDuplicates::Find(const TileList& tiles, int32_t most, size_t limit) {
    NearDuplicates found;
    const int32_t count = int32_t(tiles.count());
    const size_t size = size_t(tiles.tileSize());
    if (most < 0 || count < 2)
        return found;
    // `most` + 1 stretches, none empty; a tile of fewer pixels than that
    // has every pair within `most` and is compared whole.
    const size_t stretches = std::min(size, size_t(most) + 1);
    const auto from = [&](size_t s) { return s * size / stretches; };

    std::vector<NearPair> pairs;
    std::unordered_multimap<uint64_t, int32_t> bucket;
    bucket.reserve(size_t(count));
    std::vector<uint64_t> hashes(size_t(count) * stretches);
    for (int32_t t = 0; t < count; ++t)
        for (size_t s = 0; s < stretches; ++s)
            hashes[size_t(t) * stretches + s] =
                HashOf(tiles.PixelsAt(t) + from(s), from(s + 1) - from(s), s);
    const auto sameStretch = [&](int32_t a, int32_t b, size_t s) {
        return hashes[size_t(a) * stretches + s] == hashes[size_t(b) * stretches + s] &&
               std::memcmp(tiles.PixelsAt(a) + from(s), tiles.PixelsAt(b) + from(s),
                           from(s + 1) - from(s)) == 0;
    };
    for (size_t s = 0; s < stretches; ++s) {
        bucket.clear();
        for (int32_t t = 0; t < count; ++t) {
            const auto [first, last] = bucket.equal_range(hashes[size_t(t) * stretches + s]);
            for (auto it = first; it != last; ++it) {
                const int32_t a = it->second;
                if (!sameStretch(a, t, s))
                    continue;
                // The pair is taken at the first stretch the two share.
                bool earlier = false;
                for (size_t e = 0; e < s && !earlier; ++e)
                    earlier = sameStretch(a, t, e);
                if (earlier)
                    continue;
                const int32_t d = Differing(tiles.PixelsAt(a), tiles.PixelsAt(t), size, most);
                if (d <= most)
                    pairs.push_back({a, t, d});
            }
            bucket.emplace(hashes[size_t(t) * stretches + s], t);
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const NearPair& x, const NearPair& y) {
        return std::tie(x.differing, x.a, x.b) < std::tie(y.differing, y.a, y.b);
    });
    if (pairs.size() > limit) {
        pairs.resize(limit);
        found.truncated = true;
    }
    found.pairs = std::move(pairs);
    return found;
}

} // namespace kesh
