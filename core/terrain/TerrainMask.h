#pragma once

#include <cstdint>
#include <vector>

#include "base/Status.h"
#include "raster/ImageDecoders.h"

namespace kesh {

// A picture read as terrain values, one pixel per value. The picture's
// distinct colours, taken in ascending order of their value (the palette
// index of a palette picture, the grey level of a grey one, 0xRRGGBB of a
// colour one), stand for `order`'s terrains: the lowest colour for
// order[0], the next for order[1], and so on (an empty `order` stands for
// 0, 1, 2...; `terrains` of the set). More colours than that fails with
// "마스크 그림의 색이 지형보다 많습니다.", leaving `values` as it was.
// `colours` gets how many pixels each terrain got.
Status MaskValues(const Image& mask, const std::vector<int>& order, int terrains,
                  std::vector<uint8_t>& values, std::vector<int64_t>& counts);

} // namespace kesh
