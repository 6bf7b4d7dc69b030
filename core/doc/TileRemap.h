#pragma once

#include <cstdint>
#include <vector>

#include "tileset/TileMatcher.h"

namespace kesh {

// A new numbering of the tile set and of the cells that show it, as the
// clean-ups make it: tiles kept (perhaps in another order), tiles merged
// into others, tiles dropped that no cell shows.
struct TileRemap {
    // New tile i is old tile keep[i].
    std::vector<int32_t> keep;
    // For each old tile: the new number its cells show, with the flip bits
    // toggled in them (a merged mirror image; 0 otherwise).
    std::vector<TileMatch> target;

    // Keeps every one of `count` tiles where it is.
    static TileRemap Identity(int32_t count);
    // Whether old tile `t` can be told back from its new number (kept, and
    // not flipped): the cells of every other tile are recorded for undo.
    bool Reversible(int32_t t) const {
        const TileMatch m = target[size_t(t)];
        return m.flip == 0 && keep[size_t(m.tile)] == t;
    }
    // Keeps the tiles `keep` says, in that order, and points every old
    // tile at its new number; a tile not kept at the new number of `into[t]`
    // with the flip it brings. `into` holds an old number for each old tile
    // (itself for one kept).
    static TileRemap Build(int32_t count, const std::vector<TileMatch>& into);
};

} // namespace kesh
