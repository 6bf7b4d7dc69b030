// The check shared by the PCX and BMP targets: a decoder run on the whole input.
#pragma once

#include "FuzzSupport.h"
#include "raster/ImageDecoders.h"
#include "support/ReaderState.h"

namespace kesh::fuzz {

// Runs `load` over the input into an image that already holds something. A
// refusal must carry `refusedMessage` and leave the image as it was; a
// success must give a consistent image with 6-bit palette values.
template <typename Load>
int FuzzImageDecoder(Load load, const char* refusedMessage, const uint8_t* data, size_t size) {
    Image image;
    image.m_width = 3;
    image.m_height = 1;
    image.m_pixelCount = 3;
    image.m_palette.rgb[5] = 17;
    image.m_pixels = {1, 2, 3};
    const auto before = test::ImageState(image);

    const Status status = load(std::span<const uint8_t>(data, size), image);
    if (!status) {
        FUZZ_CHECK(status.message() == refusedMessage);
        FUZZ_CHECK(test::ImageState(image) == before);
        return 0;
    }
    FUZZ_CHECK(image.m_width > 0 && image.m_height > 0);
    FUZZ_CHECK(int64_t(image.m_width) * image.m_height == image.m_pixelCount);
    FUZZ_CHECK(image.m_pixels.size() == size_t(image.m_pixelCount));
    for (const uint8_t component : image.m_palette.rgb)
        FUZZ_CHECK(component <= 63);
    ReleaseImage(image);
    FUZZ_CHECK(image.m_pixels.empty() && image.m_width == 0 && image.m_pixelCount == 0);
    return 0;
}

} // namespace kesh::fuzz
