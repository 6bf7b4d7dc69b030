#include "tileset/NearDuplicates.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>

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

    std::vector<uint64_t> hashes(size_t(count) * stretches);
    for (int32_t t = 0; t < count; ++t)
        for (size_t s = 0; s < stretches; ++s)
            hashes[size_t(t) * stretches + s] =
                HashOf(tiles.PixelsAt(t) + from(s), from(s + 1) - from(s), s);
    const auto hashAt = [&](int32_t t, size_t s) { return hashes[size_t(t) * stretches + s]; };

    // A pair is compared once, at the first stretch whose hashes the two
    // share; the comparison itself is of the pixels, so a hash that happens
    // to match only costs a comparison. Equal stretches always hash alike,
    // so no pair within `most` is missed.
    std::vector<NearPair> pairs;
    std::vector<std::pair<uint64_t, int32_t>> byHash(static_cast<size_t>(count));
    for (size_t s = 0; s < stretches; ++s) {
        for (int32_t t = 0; t < count; ++t)
            byHash[size_t(t)] = {hashAt(t, s), t};
        std::sort(byHash.begin(), byHash.end());
        for (size_t first = 0; first < byHash.size();) {
            size_t end = first + 1;
            while (end < byHash.size() && byHash[end].first == byHash[first].first)
                ++end;
            for (size_t i = first; i < end; ++i)
                for (size_t j = i + 1; j < end; ++j) {
                    const int32_t a = byHash[i].second, b = byHash[j].second;
                    bool earlier = false;
                    for (size_t e = 0; e < s && !earlier; ++e)
                        earlier = hashAt(a, e) == hashAt(b, e);
                    if (earlier)
                        continue;
                    const int32_t d = Differing(tiles.PixelsAt(a), tiles.PixelsAt(b), size, most);
                    if (d <= most)
                        pairs.push_back({a, b, d}); // a < b: the sort keeps numbers in order
                }
            first = end;
        }
    }
    const auto fewer = [](const NearPair& x, const NearPair& y) {
        return std::tie(x.differing, x.a, x.b) < std::tie(y.differing, y.a, y.b);
    };
    if (pairs.size() > limit) {
        // Only the first `limit` are kept: chosen, then put in order.
        std::nth_element(pairs.begin(), pairs.begin() + std::ptrdiff_t(limit), pairs.end(), fewer);
        pairs.resize(limit);
        found.truncated = true;
    }
    std::sort(pairs.begin(), pairs.end(), fewer);
    found.pairs = std::move(pairs);
    return found;
}

} // namespace kesh
