#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "raster/Palette.h"

namespace kesh {

// What the pixels of a decoded image are.
enum class PixelKind {
    Indexed, // m_pixels: palette indices into m_palette
    Grey,    // m_pixels: grey values 0-255; m_palette is the grey ramp
    Rgb,     // m_rgb: red, green, blue per pixel; no palette, m_pixels empty
};

// A decoded image, rows of m_width pixels, top row first.
struct Image {
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_pixelCount = 0; // m_width x m_height
    Palette m_palette;        // 6-bit components
    std::vector<uint8_t> m_pixels;
    PixelKind m_kind = PixelKind::Indexed;
    std::vector<uint8_t> m_rgb; // 3 x m_pixelCount bytes for PixelKind::Rgb
    // PixelKind::Rgb from a file with transparency (a PNG with alpha or a
    // transparent colour): m_alpha holds one alpha byte a pixel, 0 for
    // transparent. Only palettes built from the picture look at it.
    bool m_hasAlpha = false;
    std::vector<uint8_t> m_alpha;

    // Whether m_pixels holds one palette index (or grey value) per pixel.
    bool hasIndices() const { return m_kind != PixelKind::Rgb; }
    // Whether m_palette is the image's own colour table.
    bool hasPalette() const { return m_kind == PixelKind::Indexed; }
};

// Frees the pixels and clears every field.
void ReleaseImage(Image& image);

// Decodes an 8-bit PCX file. Fails with "256컬러 PCX만을 지원합니다." when the
// file is not one (short header, not 8 bits per pixel, padded scan lines,
// empty or oversized image, no room for the palette); `image` is then unchanged.
// Run-length data that ends early is completed with 0xFF.
Status LoadPcx(std::span<const uint8_t> bytes, Image& image);

// Decodes a 1-, 4- or 8-bit BMP file: OS/2 (12-byte) or Windows (40-, 52-,
// 56-, 64-, 108- or 124-byte) information header, uncompressed or RLE8,
// bottom-up or top-down. The colour table follows the information header and
// holds its colours-used count of entries (0 meaning all); the rest of the
// palette is black. Fails with "256컬러 BMP만을 지원합니다." for anything else
// (short headers, other depths or compressions, empty or oversized images);
// `image` is then unchanged. Uncompressed bytes past the end read as 0xFF.
Status LoadBmp(std::span<const uint8_t> bytes, Image& image);

// Decodes a PNG file of any colour type: palette images (1, 2, 4, 8 bits)
// give indices and their palette, greyscale ones their grey values (scaled
// to 8 bits), true colour ones red, green and blue, with their alpha (or
// transparent colour) apart in m_alpha. Other alpha is dropped and 16-bit
// samples are cut to 8. Fails with "PNG 파일이 손상되었거나 지원하지
// 않는 형식입니다." for a damaged file, or "이미지가 너무 큽니다." for one over
// kMaxImagePixels; `image` is then unchanged.
Status LoadPng(std::span<const uint8_t> bytes, Image& image);

// Decodes an image by its content: PNG, BMP or PCX (first byte 10). Anything
// else fails with "지원하지 않는 이미지 파일입니다.".
Status ReadImage(std::span<const uint8_t> bytes, Image& image);

// For the decoders: sizes `image` and makes its pixel buffer (m_rgb when
// `bytesPerPixel` is 3, else m_pixels) filled with `fill`. False for an empty
// image, one over kMaxImagePixels or no memory.
bool AllocateImagePixels(Image& image, int64_t width, int64_t height, uint8_t fill,
                         int bytesPerPixel = 1);

// Which decoder a chosen file name asks for: its last three characters,
// lower-cased, are "pcx" or "bmp".
enum class ImageKind { Pcx, Bmp, Other };
ImageKind ImageKindOf(std::string_view path);

} // namespace kesh
