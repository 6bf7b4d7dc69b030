// PCX images read for their palette: LoadPcx on the whole input.
#include "FuzzSupport.h"
#include "app/Messages.h"
#include "support/ReaderState.h"
#include "tileset/ImageDecoders.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    image.m_width = 3;
    image.m_height = 1;
    image.m_pixelCount = 3;
    image.m_palette.rgb[5] = 17;
    image.m_pixels = {1, 2, 3};
    const auto before = test::ImageState(image);

    const Status status = LoadPcx(std::span<const uint8_t>(data, size), image);
    if (!status) {
        FUZZ_CHECK(status.message() == msg::kPcxOnly);
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
