#pragma once

namespace kesh {

// Sub-palettes asked of an image import: P palettes of K colours, colour 0
// shared, each area of `areaTiles` x `areaTiles` tiles taking one of them
// (SubPalettePacker). Filled in by a platform preset (kesh-cli --preset:
// the NES packs per 2 x 2 tiles, 16 x 16 pixels) or by "팔레트 P개 × 색 K개".
struct SubPaletteRequest {
    int palettes = 0; // P; 0: no sub-palettes
    int colours = 0;  // K
    int areaTiles = 1;

    bool asked() const { return palettes > 0; }
    bool operator==(const SubPaletteRequest&) const = default;
};

} // namespace kesh
