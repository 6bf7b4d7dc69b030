#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "image/AreaColours.h"
#include "raster/ColourReduction.h"

namespace kesh {

// The colours of one palette for a group of areas: at most `own` colours
// (shown, packed 0xRRGGBB, increasing, no repeats) beside colour 0. With
// `shared`, colour 0 is a colour the pixels may take too; without it,
// colour 0 is transparent and the opaque pixels take only the palette's
// own colours.
//
// When the areas show no more than `own` colours (other than `shared`),
// those are the palette. Otherwise Wu's quantizer over their colours gives
// the first palette, refined by a few passes of k-means in which colour 0
// stays put and every other colour is reduced to what it shows as.
std::vector<uint32_t> ClusterPalette(const AreaColours& colours, std::span<const uint32_t> areas,
                                     int own, std::optional<uint32_t> shared,
                                     ColourReduction& reduction);

// The passes of k-means after Wu's quantizer.
inline constexpr int kClusterRefinePasses = 3;

} // namespace kesh
