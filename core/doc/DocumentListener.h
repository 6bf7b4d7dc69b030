#pragma once

#include <cstdint>

namespace kesh {

// What a change of the document touched, as flags, so that each view
// repaints only what it shows.
namespace change {
inline constexpr uint32_t kCells = 1u << 0;       // cell values of the map
inline constexpr uint32_t kTiles = 1u << 1;       // tiles added, removed or altered
inline constexpr uint32_t kColours = 1u << 2;     // the display colour table
inline constexpr uint32_t kMapLayout = 1u << 3;   // the map's file layout
inline constexpr uint32_t kTileLayout = 1u << 4;  // the tile set's file layout
inline constexpr uint32_t kCurrentTile = 1u << 5; // which tile is current
inline constexpr uint32_t kHistory = 1u << 6;     // what undo and redo would do
inline constexpr uint32_t kModified = 1u << 7;    // the changed flag flipped
inline constexpr uint32_t kReplaced = 1u << 8;    // a new or opened map replaced the old
inline constexpr uint32_t kTerrain = 1u << 9;     // the terrain set or its options
} // namespace change

// Told by the document after each change, with the flags of what changed.
class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    virtual void DocumentChanged(uint32_t changes) = 0;
};

} // namespace kesh
