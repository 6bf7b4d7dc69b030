#include "image/TileCutting.h"

#include <algorithm>

namespace kesh {

namespace {

// One image row's piece of each of `count` tiles N pixels wide; a fixed N
// lets the copies of common tile widths inline.
template <size_t N>
void CopyRowsOf(const uint8_t* src, size_t count, size_t tileBytes, uint8_t* out) {
    for (size_t c = 0; c < count; ++c)
        std::memcpy(out + c * tileBytes, src + c * N, N);
}

} // namespace

void CutStrip(const uint8_t* indices, int64_t width, int64_t height, int64_t y0, size_t tw,
              size_t th, size_t cols, uint8_t* out) {
    const size_t tileBytes = tw * th;
    const size_t whole = std::min(cols, size_t(width) / tw); // tiles not cut by the edge
    for (size_t y = 0; y < th; ++y) {
        uint8_t* dst = out + y * tw;
        if (y0 + int64_t(y) >= height) {
            for (size_t c = 0; c < cols; ++c)
                std::memset(dst + c * tileBytes, 0, tw);
            continue;
        }
        const uint8_t* src = indices + (y0 + int64_t(y)) * width;
        switch (tw) {
        case 8:
            CopyRowsOf<8>(src, whole, tileBytes, dst);
            break;
        case 16:
            CopyRowsOf<16>(src, whole, tileBytes, dst);
            break;
        case 32:
            CopyRowsOf<32>(src, whole, tileBytes, dst);
            break;
        default:
            for (size_t c = 0; c < whole; ++c)
                std::memcpy(dst + c * tileBytes, src + c * tw, tw);
        }
        for (size_t c = whole; c < cols; ++c) { // the tile the right edge cuts
            const size_t have = size_t(width) - c * tw;
            std::memcpy(dst + c * tileBytes, src + c * tw, have);
            std::memset(dst + c * tileBytes + have, 0, tw - have);
        }
    }
}

void Mirror(const uint8_t* pixels, size_t tw, size_t th, bool h, bool v, uint8_t* out) {
    for (size_t y = 0; y < th; ++y) {
        const uint8_t* src = pixels + (v ? th - 1 - y : y) * tw;
        uint8_t* dst = out + y * tw;
        if (h)
            std::reverse_copy(src, src + tw, dst);
        else
            std::memcpy(dst, src, tw);
    }
}

} // namespace kesh
