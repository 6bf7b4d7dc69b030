#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "image/AreaColours.h"
#include "image/PaletteChoices.h"
#include "raster/ColourReduction.h"

namespace kesh {

// Palettes found for the areas of a picture: each palette's own colours
// (shown, packed, increasing; colour 0 apart), each area's palette, and the
// squared error of every opaque pixel against the nearest colour it may take.
struct AreaPalettes {
    std::vector<std::vector<uint32_t>> own;
    std::vector<uint16_t> paletteOfArea;
    int64_t squaredError = 0;
};

// Looks for at most P palettes of K colours that leave the least error when
// each area takes one of them, colour 0 shared by all. The areas are first
// grouped by their mean colour: k-means, seeded farthest first (the area
// farthest from the picture's mean, then each time the one farthest from
// every seed). Then, round after round, each group's colours make its
// palette (ClusterPalette) and each area moves to the palette that gives it
// the least error; a group left empty takes the area worst served. The
// rounds stop when no area moves, and the best round is kept. Nothing
// depends on chance or on timing: the same picture gives the same palettes.
class TilePaletteSearch {
public:
    // With `shared`, colour 0 is that colour and the pixels may take it;
    // without, it is kept for transparent pixels.
    TilePaletteSearch(const AreaColours& colours, int palettes, int coloursPerPalette,
                      std::optional<uint32_t> shared, ColourReduction& reduction);

    AreaPalettes Run();

    static constexpr int kRounds = 8;
    // From this many areas on, the areas are weighed on two threads.
    static constexpr size_t kTwoThreadAreas = 2048;
    // From this many colours (of all areas together) on, the groups'
    // palettes are made on two threads.
    static constexpr size_t kTwoThreadColours = 65536;

private:
    // The rounds from a first grouping into `groups` groups; `best` keeps
    // the best round so far.
    void Rounds(std::vector<uint16_t> paletteOfArea, size_t groups, AreaPalettes& best);
    // The squared error of area `a` under `choices`, given up once over `limit`.
    int64_t AreaError(size_t a, const PaletteChoices& choices, int64_t limit) const;
    // Moves each area to its best palette; fills each area's error and
    // returns how many areas moved.
    size_t Assign(const std::vector<PaletteChoices>& choices, std::vector<uint16_t>& paletteOfArea,
                  std::vector<int64_t>& errorOfArea) const;
    void AssignRange(size_t from, size_t to, const std::vector<PaletteChoices>& choices,
                     std::vector<uint16_t>& paletteOfArea, std::vector<int64_t>& errorOfArea,
                     size_t& moved) const;

    const AreaColours& m_colours;
    int m_palettes;
    int m_own; // colours of a palette besides colour 0
    std::optional<uint32_t> m_shared;
    ColourReduction& m_reduction;
    std::vector<int32_t> m_r, m_g, m_b; // each colour of m_colours, unpacked
};

} // namespace kesh
