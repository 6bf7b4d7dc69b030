#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/TileEncodings.h"

namespace kesh {

// The index of the first of `count` pixels too large for the encoding, or -1.
int64_t FirstPixelTooLarge(PixelEncoding encoding, const uint8_t* pixels, size_t count);

// Encodes one tile of `width` x `height` pixels (rows from the top) into
// EncodedTileBytes bytes at `out`. The caller has checked the size and that
// no pixel is too large: a pixel too large is never masked into a smaller
// value silently, that is the caller's refusal to make.
void EncodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* pixels,
                uint8_t* out);

// Decodes EncodedTileBytes bytes at `in` into `width` x `height` pixels.
// Every byte string is a valid tile, so decoding cannot fail.
void DecodeTile(PixelEncoding encoding, int32_t width, int32_t height, const uint8_t* in,
                uint8_t* pixels);

} // namespace kesh
