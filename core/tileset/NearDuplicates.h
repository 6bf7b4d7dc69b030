#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tileset/TileList.h"

namespace kesh {

// Two tiles whose pixels differ in a few places (`a` < `b`).
struct NearPair {
    int32_t a = 0;
    int32_t b = 0;
    int32_t differing = 0; // pixels that differ
    bool operator==(const NearPair&) const = default;
};

// Pairs of tiles of `tiles` that differ in at most `most` pixels (attribute
// words aside), fewest differences first, then by number; no more than
// `limit` of them (`truncated` says whether more were left out).
//
// Two tiles within `most` differences agree exactly on at least one of
// `most` + 1 stretches of their pixels, so only tiles sharing a stretch are
// compared, not every pair.
struct NearDuplicates {
    std::vector<NearPair> pairs;
    bool truncated = false;

    static NearDuplicates Find(const TileList& tiles, int32_t most, size_t limit = 100000);
};

} // namespace kesh
