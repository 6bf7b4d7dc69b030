// PNG images as imported: LoadPng on the whole input, and the same file read
// band by band through ImageSource, which must give the same pixels (and
// alpha) or fail with the same message; a small picture is imported with
// sub-palettes too (SubPaletteChecks.h).
#include <cstring>

#include "FuzzSupport.h"
#include "SubPaletteChecks.h"
#include "base/Messages.h"
#include "image/ImageSource.h"
#include "raster/ImageDecoders.h"
#include "support/ReaderState.h"

using namespace kesh;

namespace {

// Reads `source` in bands of `band` rows; the status of the first failure.
Status ReadInBands(ImageSource& source, int32_t band, std::vector<uint8_t>& all,
                   std::vector<uint8_t>& alphas) {
    for (;;) {
        const uint8_t* rows = nullptr;
        const uint8_t* alpha = nullptr;
        int32_t got = 0;
        if (Status st = source.NextRows(band, rows, got, &alpha); !st)
            return st;
        if (got == 0)
            return Status::Ok();
        all.insert(all.end(), rows,
                   rows + size_t(got) * size_t(source.width()) * size_t(source.bytesPerPixel()));
        if (alpha)
            alphas.insert(alphas.end(), alpha, alpha + size_t(got) * size_t(source.width()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    Image image;
    image.m_pixels = {1, 2, 3};
    const auto before = test::ImageState(image);
    const Status status = LoadPng(bytes, image);

    // Anything without the signature is not a PNG to ImageSource, which
    // then picks another decoder.
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const bool isPng = size >= 8 && std::memcmp(data, kSignature, 8) == 0;
    ImageSource source;
    Status banded = isPng ? source.Open(bytes) : status;
    std::vector<uint8_t> pixels, alphas;
    if (isPng && banded)
        banded = ReadInBands(source, int32_t(data[size - 1] % 7) + 1, pixels, alphas);
    FUZZ_CHECK(bool(banded) == bool(status));

    if (!status) {
        FUZZ_CHECK(status.message() == msg::kPngDamaged ||
                   status.message() == msg::kImageTooLarge ||
                   status.message() == msg::kAllocFailed);
        FUZZ_CHECK(banded.message() == status.message());
        FUZZ_CHECK(test::ImageState(image) == before && image.m_rgb.empty());
        return 0;
    }
    FUZZ_CHECK(image.m_width > 0 && image.m_height > 0);
    FUZZ_CHECK(int64_t(image.m_width) * image.m_height == image.m_pixelCount);
    const size_t count = size_t(image.m_pixelCount);
    if (image.hasIndices())
        FUZZ_CHECK(image.m_pixels.size() == count && image.m_rgb.empty());
    else
        FUZZ_CHECK(image.m_rgb.size() == 3 * count && image.m_pixels.empty());
    for (const uint8_t component : image.m_palette.rgb)
        FUZZ_CHECK(component <= 63);
    FUZZ_CHECK(pixels == (image.hasIndices() ? image.m_pixels : image.m_rgb));
    // Alpha comes only with true colour, one byte a pixel, the same both ways.
    FUZZ_CHECK(image.m_hasAlpha == !image.m_alpha.empty());
    FUZZ_CHECK(!image.m_hasAlpha || (!image.hasIndices() && image.m_alpha.size() == count));
    FUZZ_CHECK(alphas == image.m_alpha);
    FUZZ_CHECK(source.header().m_kind == image.m_kind &&
               source.header().m_palette.rgb == image.m_palette.rgb);
    fuzz::CheckSubPaletteImport(image, data[size - 1]);
    return 0;
}
