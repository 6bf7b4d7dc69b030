#pragma once

#include <cstdint>
#include <vector>

#include "image/AreaColours.h"

namespace kesh {

// What areas are compared by when they are first grouped.
enum class AreaFeature {
    // The mean colour: areas of like colouring together, whatever the exact
    // colours (photographs, shaded drawings).
    MeanColour,
    // The share of the area's pixels in each of 256 buckets of shown
    // colours: areas drawn from the same colours together (pixel art).
    ColourSet,
};

// Groups the areas holding opaque pixels into at most `groups` groups by
// k-means over `feature`, seeded farthest first: the area farthest from the
// picture's mean, then each time the one farthest from every seed; no seed
// is taken where every area already lies on one. Gives each area's group
// (0 for areas without opaque pixels) and the number of groups in `found`.
std::vector<uint16_t> GroupAreas(const AreaColours& colours, AreaFeature feature, int groups,
                                 size_t& found);

inline constexpr int kGroupingPasses = 10;

} // namespace kesh
