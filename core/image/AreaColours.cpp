#include "image/AreaColours.h"

#include <algorithm>

namespace kesh {

AreaColours GatherAreaColours(const uint8_t* rgb, const uint8_t* alpha, int32_t width,
                              int32_t height, int32_t tileWidth, int32_t tileHeight,
                              int32_t areaAcross, int32_t areaDown, ColourReduction& reduction) {
    AreaColours out;
    out.tilesAcross = (width + tileWidth - 1) / tileWidth;
    out.tilesDown = (height + tileHeight - 1) / tileHeight;
    out.areasAcross = (out.tilesAcross + areaAcross - 1) / areaAcross;
    out.areasDown = (out.tilesDown + areaDown - 1) / areaDown;
    const int32_t areaWidth = tileWidth * areaAcross, areaHeight = tileHeight * areaDown;
    const size_t areaCount = size_t(out.areasAcross) * size_t(out.areasDown);
    out.start.reserve(areaCount + 1);
    out.colour.reserve(size_t(width) * size_t(height));
    out.count.reserve(out.colour.capacity());
    std::vector<uint32_t> pixels;
    for (size_t a = 0; a < areaCount; ++a) {
        out.start.push_back(uint32_t(out.colour.size()));
        const int32_t x0 = int32_t(a % size_t(out.areasAcross)) * areaWidth;
        const int32_t y0 = int32_t(a / size_t(out.areasAcross)) * areaHeight;
        const int32_t x1 = std::min(x0 + areaWidth, width), y1 = std::min(y0 + areaHeight, height);
        pixels.clear();
        for (int32_t y = y0; y < y1; ++y) {
            const size_t row = size_t(y) * size_t(width);
            for (int32_t x = x0; x < x1; ++x) {
                if (alpha && alpha[row + size_t(x)] == 0) {
                    out.transparency = true;
                    continue;
                }
                const uint8_t* p = rgb + 3 * (row + size_t(x));
                pixels.push_back(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
            }
        }
        out.opaque += int64_t(pixels.size());
        std::sort(pixels.begin(), pixels.end());
        for (size_t i = 0; i < pixels.size();) {
            size_t j = i + 1;
            while (j < pixels.size() && pixels[j] == pixels[i])
                ++j;
            out.colour.push_back(pixels[i]);
            out.count.push_back(uint32_t(j - i));
            i = j;
        }
    }
    out.start.push_back(uint32_t(out.colour.size()));
    out.reduced.resize(out.colour.size());
    for (size_t i = 0; i < out.colour.size(); ++i)
        out.reduced[i] = PackRgb(reduction.Reduce(UnpackRgb(out.colour[i])));
    return out;
}

} // namespace kesh
