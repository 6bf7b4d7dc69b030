// PNG files decoded whole, for the callers that want the image at once.
#include <new>

#include "base/Messages.h"
#include "raster/ImageDecoders.h"
#include "raster/PngRows.h"

namespace kesh {

Status LoadPng(std::span<const uint8_t> bytes, Image& image) {
    PngRows rows(bytes);
    Image result;
    if (Status st = rows.Open(result); !st)
        return st;
    const int bytesPerPixel = result.hasIndices() ? 1 : 3;
    if (!AllocateImagePixels(result, result.m_width, result.m_height, 0, bytesPerPixel))
        return Status::Fail(msg::kImageTooLarge);
    uint8_t* pixels = bytesPerPixel == 3 ? result.m_rgb.data() : result.m_pixels.data();
    try {
        if (result.m_hasAlpha)
            result.m_alpha.resize(size_t(result.m_pixelCount));
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kImageTooLarge);
    }
    if (!rows.ReadAll(pixels, result.m_hasAlpha ? result.m_alpha.data() : nullptr) ||
        !rows.Finish())
        return Status::Fail(msg::kPngDamaged);
    image = std::move(result);
    return Status::Ok();
}

} // namespace kesh
