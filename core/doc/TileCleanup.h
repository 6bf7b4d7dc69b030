#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "doc/TileRemap.h"
#include "map/MapModel.h"
#include "map/TileUsage.h"
#include "tileset/TileSet.h"

namespace kesh {

// What a clean-up changed, for its summary.
struct CleanupSummary {
    int32_t tilesBefore = 0;
    int32_t tilesAfter = 0;
    uint64_t cellsChanged = 0;
    int32_t tilesMerged = 0;  // tiles whose cells now show another tile
    int32_t tilesRemoved = 0; // tiles dropped that no cell showed
};

// The plans of the clean-ups, each a TileRemap of the whole set, made from
// the tiles and the map as they are; the document runs them (Document.h).
class TileCleanup {
public:
    // Drops every tile `usage` counts no cell for; nullopt when none is, a
    // remap that keeps nothing when no cell shows any tile.
    static std::optional<TileRemap> RemoveUnused(const TileUsage& usage);
    // Merges each tile into the lowest-numbered tile equal to it, or to a
    // mirror image of it the flips `flips` allow; nullopt when none is.
    static std::optional<TileRemap> MergeDuplicates(const TileList& tiles, uint16_t flips,
                                                    int32_t* merged = nullptr);
    // Merges tile `from` into tile `into`, its cells toggling `flip`.
    static TileRemap Merge(int32_t count, int32_t from, int32_t into, uint16_t flip);
    // Merges pairs that differ in at most `most` pixels, closest first: the
    // less used tile of a pair goes into the more used one (the lower number
    // when equal), a tile taking part in one merge only, so that no tile
    // ends up further than `most` pixels from the one that stands for it.
    static std::optional<TileRemap> MergeNear(const TileList& tiles, const TileUsage& usage,
                                              int32_t most, int32_t* pairs = nullptr);
    // Moves tile `from` to number `to`, the tiles between moving one place.
    static TileRemap Move(int32_t count, int32_t from, int32_t to);
};

} // namespace kesh
