// True-colour pictures made in the tests, for the palettes built from them.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/ImageDecoders.h"

namespace kesh::test {

// A true-colour image of w x h from red, green, blue bytes; with `alpha`
// (one byte a pixel) it has transparency.
inline Image TrueColourImage(int32_t w, int32_t h, std::vector<uint8_t> rgb,
                             std::vector<uint8_t> alpha = {}) {
    Image image;
    image.m_width = w;
    image.m_height = h;
    image.m_pixelCount = w * h;
    image.m_kind = PixelKind::Rgb;
    image.m_rgb = std::move(rgb);
    image.m_hasAlpha = !alpha.empty();
    image.m_alpha = std::move(alpha);
    return image;
}

// w x h pixels of many colours: red across, green down, blue from a
// scrambled counter; far more colours than any palette holds.
inline std::vector<uint8_t> ManyColours(int32_t w, int32_t h) {
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            rgb.push_back(uint8_t(x * 255 / (w > 1 ? w - 1 : 1)));
            rgb.push_back(uint8_t(y * 255 / (h > 1 ? h - 1 : 1)));
            rgb.push_back(uint8_t((x * 37 + y * 91) * 7));
        }
    return rgb;
}

} // namespace kesh::test
