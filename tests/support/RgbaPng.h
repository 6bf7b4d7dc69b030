// PNG files read as plain 8-bit red, green, blue and alpha, through libpng's
// simplified interface: the tests' own view of a picture, independent of
// kesh's decoders.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kesh::test {

struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba; // 4 bytes a pixel, rows top first

    bool empty() const { return rgba.empty(); }
    // The red, green, blue of every pixel, and the alpha apart.
    std::vector<uint8_t> Rgb() const {
        std::vector<uint8_t> out;
        for (size_t i = 0; i < rgba.size(); i += 4)
            out.insert(out.end(), rgba.begin() + long(i), rgba.begin() + long(i) + 3);
        return out;
    }
    std::vector<uint8_t> Alpha() const {
        std::vector<uint8_t> out;
        for (size_t i = 3; i < rgba.size(); i += 4)
            out.push_back(rgba[i]);
        return out;
    }
};

// The picture in `path`; empty when it cannot be read.
inline RgbaPicture ReadRgbaPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    RgbaPicture out;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return out;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return out;
    }
    out.width = int(image.width);
    out.height = int(image.height);
    out.rgba = std::move(pixels);
    return out;
}

} // namespace kesh::test
