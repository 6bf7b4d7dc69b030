#include "tileset/ImageDecoders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "app/Messages.h"
#include "io/InputLimits.h"

namespace kesh {

namespace {

constexpr size_t kPcxHeaderBytes = 128;
constexpr size_t kPcxPaletteBytes = 768;
constexpr size_t kBmpFileHeaderBytes = 14;
constexpr size_t kBmpInfoHeaderBytes = 40;
constexpr size_t kBmpColourTableBytes = 1024;

uint32_t U32At(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
int16_t S16At(std::span<const uint8_t> b, size_t at) {
    return int16_t(uint16_t(b[at] | b[at + 1] << 8));
}

// Sets the size of `image` and makes its pixel buffer, filled with `fill`.
// False for an empty image, one over kMaxImagePixels or no memory.
bool AllocatePixels(Image& image, int64_t width, int64_t height, uint8_t fill) {
    if (width <= 0 || height <= 0 || width * height > kMaxImagePixels)
        return false;
    try {
        image.m_pixels.assign(size_t(width * height), fill);
    } catch (const std::bad_alloc&) {
        return false;
    }
    image.m_width = int32_t(width);
    image.m_height = int32_t(height);
    image.m_pixelCount = int32_t(width * height);
    return true;
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
    if (!AllocatePixels(result, width, height, 0xFF))
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

Status LoadBmp(std::span<const uint8_t> bytes, Image& image) {
    const Status refused = Status::Fail(msg::kBmpOnly);
    constexpr size_t info = kBmpFileHeaderBytes;
    constexpr size_t table = info + kBmpInfoHeaderBytes;
    if (bytes.size() < table + kBmpColourTableBytes)
        return refused;
    const uint16_t bitsPerPixel = uint16_t(bytes[info + 14] | bytes[info + 15] << 8);
    if (bytes[0] != 'B' || bytes[1] != 'M' || bitsPerPixel != 8 || U32At(bytes, info + 16) != 0)
        return refused;

    Image result;
    for (size_t i = 0; i < 256; ++i) {
        const uint8_t* entry = bytes.data() + table + 4 * i;
        result.m_palette.rgb[3 * i] = uint8_t(entry[2] / 4);
        result.m_palette.rgb[3 * i + 1] = uint8_t(entry[1] / 4);
        result.m_palette.rgb[3 * i + 2] = uint8_t(entry[0] / 4);
    }
    // A negative height is a top-down bitmap, which the rows below don't describe.
    const int32_t width = int32_t(U32At(bytes, info + 4));
    const int32_t height = int32_t(U32At(bytes, info + 8));
    if (!AllocatePixels(result, width, height, 0))
        return refused;

    // The stride comes from the file size field, not from the width: each file
    // row is that long and its bytes past the width are skipped. Rows are
    // stored bottom first; bytes past the end of the file read as 0xFF.
    const uint32_t fileSize = U32At(bytes, 2);
    const uint64_t offset = U32At(bytes, 10);
    const uint64_t stride = uint32_t(fileSize - uint32_t(offset)) / uint32_t(height);
    const size_t used = size_t(std::min<uint64_t>(stride, uint64_t(width)));
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint64_t rowStart = offset + uint64_t(height - 1 - y) * stride;
        uint8_t* row = result.m_pixels.data() + size_t(y) * size_t(width);
        const size_t have =
            rowStart < bytes.size() ? std::min<uint64_t>(used, bytes.size() - rowStart) : 0;
        if (have > 0)
            std::memcpy(row, bytes.data() + rowStart, have);
        std::memset(row + have, 0xFF, used - have);
    }
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
