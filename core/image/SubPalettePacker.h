#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/Status.h"

namespace kesh {

// What the packer found: the palettes, each beginning with the shared
// colour 0 and then its own colours in increasing order, and each tile's
// palette, tiles in reading order.
struct SubPalettes {
    std::vector<std::vector<uint32_t>> palettes;
    std::vector<uint8_t> paletteOfTile;
};

// Packs a picture's colours into at most P palettes of K colours, colour 0
// shared by all of them, so that every tile's colours lie in one palette.
// Colours are any 32-bit values the caller chooses (packed RGB, say).
//
// Tiles are grouped into areas that share one palette: 1 x 1 tile normally,
// 2 x 2 tiles (16 x 16 pixels) on the NES, whose attribute table gives a
// palette per such area. The areas' colour sets are grouped greedily, the
// largest first, each into the group it shares the most colours with; more
// groups than P are then packed together, the largest first, as bins are
// filled. When no packing is found the packer fails, naming by its position
// in the picture the first area in reading order that no palette holds.
class SubPalettePacker {
public:
    // `palettes` P (1 to 256) of `colours` K (2 to 256, colour 0 included).
    SubPalettePacker(int palettes, int colours);

    // Areas of `across` x `down` tiles share a palette (1 x 1 unless set).
    void SetArea(int across, int down);

    // `tileColours` holds each tile's colours (in any order, repeats
    // allowed), `tilesAcross` tiles a row, tiles of `tileWidth` x
    // `tileHeight` pixels (for the message); `sharedColour` is colour 0.
    Status Pack(const std::vector<std::vector<uint32_t>>& tileColours, int32_t tilesAcross,
                int32_t tileWidth, int32_t tileHeight, uint32_t sharedColour,
                SubPalettes& out) const;
    // The same with each tile's colours seen where they are kept.
    Status Pack(std::span<const std::span<const uint32_t>> tileColours, int32_t tilesAcross,
                int32_t tileWidth, int32_t tileHeight, uint32_t sharedColour,
                SubPalettes& out) const;
    // The same for tiles the caller has grouped: tile t shows group
    // `groupOfTile[t]`, whose colours are `groupColours[g]`, so that a
    // picture of few different tiles sorts each group's colours once.
    Status Pack(std::span<const std::span<const uint32_t>> groupColours,
                std::span<const uint32_t> groupOfTile, int32_t tilesAcross, int32_t tileWidth,
                int32_t tileHeight, uint32_t sharedColour, SubPalettes& out) const;

private:
    int m_palettes;
    int m_colours;
    int m_areaAcross = 1;
    int m_areaDown = 1;
};

} // namespace kesh
