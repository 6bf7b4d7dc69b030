// PNG images as imported: ReadImage (which picks LoadPng) on the whole input.
#include "FuzzSupport.h"
#include "base/Messages.h"
#include "support/ReaderState.h"
#include "tileset/ImageDecoders.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    image.m_pixels = {1, 2, 3};
    const auto before = test::ImageState(image);
    const Status status = LoadPng(std::span<const uint8_t>(data, size), image);
    if (!status) {
        FUZZ_CHECK(status.message() == msg::kPngDamaged ||
                   status.message() == msg::kImageTooLarge ||
                   status.message() == msg::kAllocFailed);
        FUZZ_CHECK(test::ImageState(image) == before && image.m_rgb.empty());
        return 0;
    }
    FUZZ_CHECK(image.m_width > 0 && image.m_height > 0);
    FUZZ_CHECK(int64_t(image.m_width) * image.m_height == image.m_pixelCount);
    const size_t pixels = size_t(image.m_pixelCount);
    if (image.hasIndices())
        FUZZ_CHECK(image.m_pixels.size() == pixels && image.m_rgb.empty());
    else
        FUZZ_CHECK(image.m_rgb.size() == 3 * pixels && image.m_pixels.empty());
    for (const uint8_t component : image.m_palette.rgb)
        FUZZ_CHECK(component <= 63);
    return 0;
}
