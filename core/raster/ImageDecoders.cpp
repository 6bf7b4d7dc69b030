#include "raster/ImageDecoders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "base/Messages.h"
#include "io/InputLimits.h"

namespace kesh {

namespace {

constexpr size_t kPcxHeaderBytes = 128;
constexpr size_t kPcxPaletteBytes = 768;
constexpr uint8_t kPcxManufacturer = 0x0A;

int16_t S16At(std::span<const uint8_t> b, size_t at) {
    return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

// Run-length data from `at`: a byte with both top bits set gives a run of
// (byte & 0x3F) copies of the next byte, any other byte is one pixel. Runs
// cross scan lines; the end of the file reads as 0xFF.
void DecodePcxRuns(std::span<const uint8_t> bytes, size_t at, std::vector<uint8_t>& pixels) {
    auto next = [&]() -> uint8_t { return at < bytes.size() ? bytes[at++] : 0xFF; };
    size_t out = 0;
    while (out < pixels.size()) {
        uint8_t value = next();
        size_t run = 1;
        if ((value & 0xC0) == 0xC0) {
            run = value & 0x3F;
            value = next();
        }
        run = std::min(run, pixels.size() - out);
        std::memset(pixels.data() + out, value, run);
        out += run;
    }
}

} // namespace

bool AllocateImagePixels(Image& image, int64_t width, int64_t height, uint8_t fill,
                         int bytesPerPixel) {
    if (width <= 0 || height <= 0 || width > kMaxImagePixels || height > kMaxImagePixels ||
        width * height > kMaxImagePixels)
        return false;
    try {
        auto& buffer = bytesPerPixel == 3 ? image.m_rgb : image.m_pixels;
        buffer.assign(size_t(width * height) * size_t(bytesPerPixel), fill);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.m_width = int32_t(width);
    image.m_height = int32_t(height);
    image.m_pixelCount = int32_t(width * height);
    return true;
}

Status ReadImage(std::span<const uint8_t> bytes, Image& image) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0)
        return LoadPng(bytes, image);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return LoadBmp(bytes, image);
    if (bytes.size() >= 1 && bytes[0] == kPcxManufacturer)
        return LoadPcx(bytes, image);
    return Status::Fail(msg::kImageUnsupported);
}

void ReleaseImage(Image& image) {
    image = Image{};
}

Status LoadPcx(std::span<const uint8_t> bytes, Image& image) {
    const Status refused = Status::Fail(msg::kPcxOnly);
    if (bytes.size() < kPcxHeaderBytes || bytes.size() < kPcxPaletteBytes)
        return refused;
    const int encoding = int8_t(bytes[2]);
    const int bitsPerPixel = int8_t(bytes[3]);
    const int64_t width = int64_t(S16At(bytes, 8)) - S16At(bytes, 4) + 1;
    const int64_t height = int64_t(S16At(bytes, 10)) - S16At(bytes, 6) + 1;
    const int64_t bytesPerLine = S16At(bytes, 66);
    if (bitsPerPixel != 8 || bytesPerLine != width)
        return refused;

    Image result;
    if (!AllocateImagePixels(result, width, height, 0xFF))
        return refused;
    if (encoding != 0) {
        DecodePcxRuns(bytes, kPcxHeaderBytes, result.m_pixels);
    } else {
        // Rows straight after the header; what the file lacks stays 0xFF.
        const size_t have = std::min(result.m_pixels.size(), bytes.size() - kPcxHeaderBytes);
        std::memcpy(result.m_pixels.data(), bytes.data() + kPcxHeaderBytes, have);
    }
    const uint8_t* palette = bytes.data() + bytes.size() - kPcxPaletteBytes;
    for (size_t i = 0; i < kPcxPaletteBytes; ++i)
        result.m_palette.rgb[i] = uint8_t(palette[i] >> 2);
    image = std::move(result);
    return Status::Ok();
}

ImageKind ImageKindOf(std::string_view path) {
    if (path.size() < 3)
        return ImageKind::Other;
    std::string tail(path.substr(path.size() - 3));
    for (char& c : tail)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (tail == "pcx")
        return ImageKind::Pcx;
    if (tail == "bmp")
        return ImageKind::Bmp;
    return ImageKind::Other;
}

} // namespace kesh
