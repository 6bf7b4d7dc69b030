#include "doc/TileCleanup.h"

#include "tileset/NearDuplicates.h"

namespace kesh {

namespace {

std::vector<TileMatch> Itself(int32_t count) {
    std::vector<TileMatch> into(static_cast<size_t>(count));
    for (int32_t t = 0; t < count; ++t)
        into[size_t(t)] = {t, 0};
    return into;
}

} // namespace

std::optional<TileRemap> TileCleanup::RemoveUnused(const TileUsage& usage) {
    const int32_t count = int32_t(usage.counts.size());
    std::vector<TileMatch> into = Itself(count);
    // A dropped tile points at the nearest kept one before it (after it,
    // for the first ones): no cell shows it, but the current tile may.
    int32_t kept = -1, dropped = 0;
    for (int32_t t = 0; t < count; ++t) {
        if (usage.counts[size_t(t)] == 0) {
            into[size_t(t)].tile = kept;
            ++dropped;
        } else {
            kept = t;
        }
    }
    if (dropped == 0)
        return std::nullopt;
    int32_t first = 0;
    while (first < count && usage.counts[size_t(first)] == 0)
        ++first;
    for (int32_t t = 0; t < first && first < count; ++t)
        into[size_t(t)].tile = first;
    if (first == count) // nothing would stay: the caller refuses
        return TileRemap{};
    return TileRemap::Build(count, into);
}

std::optional<TileRemap> TileCleanup::MergeDuplicates(const TileList& tiles, uint16_t flips,
                                                      int32_t* merged) {
    const TileMatcher matcher(tiles, flips);
    const int32_t count = int32_t(tiles.count());
    if (merged)
        *merged = count - matcher.distinct();
    if (matcher.distinct() == count)
        return std::nullopt;
    return TileRemap::Build(count, matcher.classes());
}

TileRemap TileCleanup::Merge(int32_t count, int32_t from, int32_t into, uint16_t flip) {
    std::vector<TileMatch> to = Itself(count);
    to[size_t(from)] = {into, flip};
    return TileRemap::Build(count, to);
}

std::optional<TileRemap> TileCleanup::MergeNear(const TileList& tiles, const TileUsage& usage,
                                                int32_t most, int32_t* pairs) {
    const int32_t count = int32_t(tiles.count());
    std::vector<TileMatch> into = Itself(count);
    std::vector<uint8_t> taken(size_t(count), 0);
    int32_t done = 0;
    const auto used = [&](int32_t t) {
        return size_t(t) < usage.counts.size() ? usage.counts[size_t(t)] : 0;
    };
    for (const NearPair& p : NearDuplicates::Find(tiles, most, size_t(-1)).pairs) {
        if (taken[size_t(p.a)] || taken[size_t(p.b)])
            continue;
        const bool aStays = used(p.a) >= used(p.b);
        const int32_t keep = aStays ? p.a : p.b, drop = aStays ? p.b : p.a;
        into[size_t(drop)] = {keep, 0};
        taken[size_t(p.a)] = taken[size_t(p.b)] = 1;
        ++done;
    }
    if (pairs)
        *pairs = done;
    if (done == 0)
        return std::nullopt;
    return TileRemap::Build(count, into);
}

TileRemap TileCleanup::Move(int32_t count, int32_t from, int32_t to) {
    TileRemap r;
    for (int32_t t = 0; t < count; ++t)
        if (t != from)
            r.keep.push_back(t);
    r.keep.insert(r.keep.begin() + to, from);
    r.target.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i)
        r.target[size_t(r.keep[size_t(i)])] = {i, 0};
    return r;
}

} // namespace kesh
