// Images made in the tests: PNGs written with libpng, BMPs byte by byte.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

namespace kesh::test {

using ImageBytes = std::vector<uint8_t>;

struct PngRecipe {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_PALETTE;
    int bitDepth = 8;
    bool interlaced = false;
    // One sample per byte (per channel), rows top first: indices or grey
    // values of `bitDepth` bits, 16-bit samples as two bytes, big-endian.
    std::vector<uint8_t> samples;
    std::vector<png_color> palette; // for palette images
    // For true-colour images: the colour that stands for transparent (tRNS).
    bool hasTransparentColour = false;
    png_color_16 transparentColour{};
};

namespace detail {
inline void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<ImageBytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
inline void NoFlush(png_structp) {}

inline bool WritePngRows(png_structp png, png_infop info, const PngRecipe& recipe,
                         png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, uint32_t(recipe.width), uint32_t(recipe.height), recipe.bitDepth,
                 recipe.colourType, recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, recipe.palette.data(), int(recipe.palette.size()));
    if (recipe.hasTransparentColour) {
        png_color_16 colour = recipe.transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    if (recipe.bitDepth < 8)
        png_set_packing(png);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}
} // namespace detail

// The PNG file of `recipe`; empty if libpng refused it.
inline ImageBytes MakePng(const PngRecipe& recipe) {
    ImageBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, detail::AppendBytes, detail::NoFlush);
    const int channels = recipe.colourType == PNG_COLOR_TYPE_RGB          ? 3
                         : recipe.colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : recipe.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                          : 1;
    const size_t rowBytes =
        size_t(recipe.width) * size_t(channels) * (recipe.bitDepth == 16 ? 2 : 1);
    std::vector<uint8_t> samples = recipe.samples;
    samples.resize(rowBytes * size_t(recipe.height));
    std::vector<png_bytep> rows(size_t(recipe.height));
    for (size_t y = 0; y < rows.size(); ++y)
        rows[y] = samples.data() + y * rowBytes;
    if (!detail::WritePngRows(png, info, recipe, rows.data()))
        out.clear();
    png_destroy_write_struct(&png, &info);
    return out;
}

inline void PutLE(ImageBytes& b, size_t at, uint32_t v, int n) {
    if (b.size() < at + size_t(n))
        b.resize(at + size_t(n));
    for (int i = 0; i < n; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A BMP with information header of `infoSize` bytes (12 for OS/2), the
// colour table `table` (bytes as stored: blue, green, red[, 0] per entry),
// and `pixels` stored as given. The file size field is left 0 unless `fileSize`.
inline ImageBytes MakeBmp(uint32_t infoSize, int32_t width, int32_t height, int bits,
                          uint32_t compression, uint32_t coloursUsed,
                          const std::vector<uint8_t>& table, const std::vector<uint8_t>& pixels,
                          uint32_t fileSize = 0) {
    ImageBytes b(14 + infoSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    const uint32_t offset = 14 + infoSize + uint32_t(table.size());
    PutLE(b, 2, fileSize, 4);
    PutLE(b, 10, offset, 4);
    PutLE(b, 14, infoSize, 4);
    if (infoSize == 12) {
        PutLE(b, 18, uint32_t(width), 2);
        PutLE(b, 20, uint32_t(height), 2);
        PutLE(b, 22, 1, 2);
        PutLE(b, 24, uint32_t(bits), 2);
    } else {
        PutLE(b, 18, uint32_t(width), 4);
        PutLE(b, 22, uint32_t(height), 4);
        PutLE(b, 26, 1, 2);
        PutLE(b, 28, uint32_t(bits), 2);
        PutLE(b, 30, compression, 4);
        PutLE(b, 46, coloursUsed, 4);
    }
    b.insert(b.end(), table.begin(), table.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

} // namespace kesh::test
