#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "app/Status.h"
#include "tileset/Palette.h"

namespace kesh {

// A decoded 256-colour image: one palette index per pixel, rows of m_width
// bytes, top row first. Only the palette is used by the editor.
struct Image {
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_pixelCount = 0; // m_width x m_height
    Palette m_palette;        // 6-bit components
    std::vector<uint8_t> m_pixels;
};

// Frees the pixels and clears every field.
void ReleaseImage(Image& image);

// Decodes an 8-bit PCX file. Fails with "256컬러 PCX만을 지원합니다." when the
// file is not one (short header, not 8 bits per pixel, padded scan lines,
// empty or oversized image, no room for the palette); `image` is then unchanged.
// Run-length data that ends early is completed with 0xFF.
Status LoadPcx(std::span<const uint8_t> bytes, Image& image);

// Decodes an 8-bit uncompressed BMP file. Fails with "256컬러 BMP만을 지원합니다."
// for anything else (short headers, other depths, compression, top-down or
// empty images); `image` is then unchanged. Bytes past the end read as 0xFF.
Status LoadBmp(std::span<const uint8_t> bytes, Image& image);

// Which decoder a chosen file name asks for: its last three characters,
// lower-cased, are "pcx" or "bmp".
enum class ImageKind { Pcx, Bmp, Other };
ImageKind ImageKindOf(std::string_view path);

} // namespace kesh
