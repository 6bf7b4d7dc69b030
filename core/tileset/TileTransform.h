#pragma once

#include <cstdint>
#include <vector>

namespace kesh {

// Changes of a whole tile's pixels (rows top first, no padding), each made
// into a new buffer of the same size.
enum class TileTransform : uint8_t {
    FlipH,      // mirror left to right
    FlipV,      // mirror top to bottom
    Rotate90,   // a quarter turn clockwise; square tiles only
    ShiftLeft,  // one pixel, the column that leaves comes in at the other side
    ShiftRight,
    ShiftUp,
    ShiftDown,
};

// `pixels` (`width` x `height`) changed by `how`; empty for a quarter turn
// of a tile that is not square.
std::vector<uint8_t> TransformTile(const uint8_t* pixels, int32_t width, int32_t height,
                                   TileTransform how);

// The mirror image of `pixels` that cells show with the flip bits `flips`
// (cellbit::kHFlip, cellbit::kVFlip) set, written to `out`.
void MirrorTile(const uint8_t* pixels, int32_t width, int32_t height, uint16_t flips,
                uint8_t* out);

} // namespace kesh
