#include "tileset/TileTransform.h"

#include <cstring>

namespace kesh {

namespace {

// The flip bits as the cell fields number them (layout/CellFields.h).
constexpr uint16_t kH = 1u << 0;
constexpr uint16_t kV = 1u << 1;

} // namespace

void MirrorTile(const uint8_t* pixels, int32_t width, int32_t height, uint16_t flips,
                uint8_t* out) {
    const size_t w = size_t(width);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* from = pixels + size_t((flips & kV) ? height - 1 - y : y) * w;
        uint8_t* to = out + size_t(y) * w;
        if (flips & kH)
            for (size_t x = 0; x < w; ++x)
                to[x] = from[w - 1 - x];
        else
            std::memcpy(to, from, w);
    }
}

std::vector<uint8_t> TransformTile(const uint8_t* pixels, int32_t width, int32_t height,
                                   TileTransform how) {
    const size_t w = size_t(width), h = size_t(height);
    std::vector<uint8_t> out(w * h);
    if (out.empty())
        return out;
    const auto at = [&](size_t x, size_t y) { return pixels[y * w + x]; };
    switch (how) {
    case TileTransform::FlipH:
        MirrorTile(pixels, width, height, kH, out.data());
        break;
    case TileTransform::FlipV:
        MirrorTile(pixels, width, height, kV, out.data());
        break;
    case TileTransform::Rotate90:
        if (w != h)
            return {};
        // The left column, read bottom up, becomes the top row.
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x)
                out[y * w + x] = at(y, h - 1 - x);
        break;
    case TileTransform::ShiftLeft:
    case TileTransform::ShiftRight:
    case TileTransform::ShiftUp:
    case TileTransform::ShiftDown: {
        const size_t dx = how == TileTransform::ShiftLeft ? 1 : how == TileTransform::ShiftRight ? w - 1 : 0;
        const size_t dy = how == TileTransform::ShiftUp ? 1 : how == TileTransform::ShiftDown ? h - 1 : 0;
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x)
                out[y * w + x] = at((x + dx) % w, (y + dy) % h);
        break;
    }
    }
    return out;
}

} // namespace kesh
