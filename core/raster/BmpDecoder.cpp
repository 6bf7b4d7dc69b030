// The BMP reader: 1-, 4- and 8-bit device-independent bitmaps with the
// OS/2 (12-byte) or Windows (40- to 124-byte) information header,
// uncompressed or RLE8, bottom-up or top-down.
#include <algorithm>
#include <cstring>

#include "base/Messages.h"
#include "io/InputLimits.h"
#include "raster/ImageDecoders.h"

namespace kesh {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kOs2HeaderBytes = 12;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;

uint32_t U32At(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
uint16_t U16At(std::span<const uint8_t> b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

bool KnownHeaderSize(uint32_t size) {
    return size == kOs2HeaderBytes || size == 40 || size == 52 || size == 56 || size == 64 ||
           size == 108 || size == 124;
}

struct BmpHeader {
    uint32_t infoSize = 0;
    int64_t width = 0;
    int64_t height = 0; // always positive; topDown says which way rows run
    bool topDown = false;
    int bits = 0;
    uint32_t compression = kBiRgb;
    uint32_t colours = 0; // entries in the colour table
    size_t tableAt = 0;
    size_t entryBytes = 4;
    uint64_t pixelOffset = 0;
};

bool ReadHeader(std::span<const uint8_t> bytes, BmpHeader& h) {
    constexpr size_t info = kFileHeaderBytes;
    if (bytes.size() < info + 4 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    h.infoSize = U32At(bytes, info);
    if (!KnownHeaderSize(h.infoSize) || bytes.size() < info + h.infoSize)
        return false;
    h.pixelOffset = U32At(bytes, 10);
    h.tableAt = info + h.infoSize;
    if (h.infoSize == kOs2HeaderBytes) {
        h.width = U16At(bytes, info + 4);
        h.height = U16At(bytes, info + 6);
        h.bits = U16At(bytes, info + 10);
        h.entryBytes = 3;
    } else {
        h.width = int32_t(U32At(bytes, info + 4));
        const int64_t height = int32_t(U32At(bytes, info + 8));
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bits = U16At(bytes, info + 14);
        h.compression = U32At(bytes, info + 16);
        h.colours = U32At(bytes, info + 32);
    }
    if (h.bits != 1 && h.bits != 4 && h.bits != 8)
        return false;
    if (h.compression != kBiRgb && !(h.compression == kBiRle8 && h.bits == 8 && !h.topDown))
        return false;
    // The colour table holds the colours-used count of entries, 0 meaning all
    // 2^bits. An OS/2 header has no such count: its table fills the space
    // up to the pixels, at most 2^bits entries.
    const uint32_t full = 1u << h.bits;
    if (h.infoSize == kOs2HeaderBytes) {
        const uint64_t room =
            h.pixelOffset > h.tableAt ? (h.pixelOffset - h.tableAt) / h.entryBytes : full;
        h.colours = uint32_t(std::min<uint64_t>(room, full));
    } else if (h.colours == 0 || h.colours > 256) {
        // More than 256 entries would name colours no index can reach.
        h.colours = h.colours == 0 ? full : 256;
    }
    return bytes.size() >= h.tableAt + size_t(h.colours) * h.entryBytes;
}

// The stride of an uncompressed image: rows padded to 4 bytes. The 8-bit
// bottom-up bitmaps with a 40-byte header, which is what this program writes,
// take the stride from the file size field as they always have, unless that
// field cannot describe the rows (smaller than the offset or than a row).
uint64_t StrideOf(std::span<const uint8_t> bytes, const BmpHeader& h) {
    const uint64_t standard = (uint64_t(h.width) * uint64_t(h.bits) + 31) / 32 * 4;
    if (h.infoSize != 40 || h.bits != 8 || h.topDown)
        return standard;
    const uint32_t fileSize = U32At(bytes, 2);
    const uint64_t stride = uint32_t(fileSize - uint32_t(h.pixelOffset)) / uint32_t(h.height);
    if (fileSize <= h.pixelOffset || stride < uint64_t(h.width))
        return standard;
    return stride;
}

// Rows as stored; bytes past the end of the file read as 0xFF.
void DecodeRows(std::span<const uint8_t> bytes, const BmpHeader& h, Image& image) {
    const uint64_t stride = StrideOf(bytes, h);
    const auto width = size_t(h.width);
    const int perByte = 8 / h.bits;
    const int mask = (1 << h.bits) - 1;
    std::vector<uint8_t> packed;
    for (int64_t stored = 0; stored < h.height; ++stored) {
        const int64_t y = h.topDown ? stored : h.height - 1 - stored;
        uint8_t* row = image.m_pixels.data() + size_t(y) * width;
        const uint64_t rowStart = h.pixelOffset + uint64_t(stored) * stride;
        if (h.bits == 8) {
            const size_t used = size_t(std::min<uint64_t>(stride, width));
            const size_t have =
                rowStart < bytes.size() ? std::min<uint64_t>(used, bytes.size() - rowStart) : 0;
            if (have > 0)
                std::memcpy(row, bytes.data() + rowStart, have);
            std::memset(row + have, 0xFF, used - have);
            continue;
        }
        for (size_t x = 0; x < width; ++x) {
            const uint64_t at = rowStart + x / size_t(perByte);
            const uint8_t byte = at < bytes.size() ? bytes[size_t(at)] : 0xFF;
            const int shift = 8 - h.bits * int(x % size_t(perByte) + 1);
            row[x] = uint8_t((byte >> shift) & mask);
        }
    }
}

// RLE8: a count and a value make a run; 0 and 0 ends the line, 0 and 1 the
// bitmap, 0 and 2 moves right and up by the next two bytes, 0 and n >= 3 are
// n literal bytes padded to an even count. Pixels never set stay index 0;
// runs past the end of a line are cut, data ending early ends the bitmap.
void DecodeRle8(std::span<const uint8_t> bytes, const BmpHeader& h, Image& image) {
    size_t at = size_t(std::min<uint64_t>(h.pixelOffset, bytes.size()));
    const int64_t width = h.width;
    int64_t x = 0;
    int64_t stored = 0; // rows from the bottom
    auto put = [&](uint8_t value) {
        if (x < width && stored < h.height)
            image.m_pixels[size_t(h.height - 1 - stored) * size_t(width) + size_t(x)] = value;
        ++x;
    };
    while (at + 1 < bytes.size() && stored < h.height) {
        const uint8_t count = bytes[at];
        const uint8_t value = bytes[at + 1];
        at += 2;
        if (count > 0) {
            const int64_t run = std::min<int64_t>(count, std::max<int64_t>(width - x, 0));
            if (run > 0)
                std::memset(
                    &image.m_pixels[size_t(h.height - 1 - stored) * size_t(width) + size_t(x)],
                    value, size_t(run));
            x += count;
        } else if (value == 0) {
            x = 0;
            ++stored;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 1 >= bytes.size())
                break;
            x += bytes[at];
            stored += bytes[at + 1];
            at += 2;
        } else {
            for (int i = 0; i < value && at < bytes.size(); ++i)
                put(bytes[at++]);
            at += value & 1;
        }
    }
}

} // namespace

Status LoadBmp(std::span<const uint8_t> bytes, Image& image) {
    const Status refused = Status::Fail(msg::kBmpOnly);
    BmpHeader h;
    if (!ReadHeader(bytes, h))
        return refused;
    Image result;
    if (!AllocateImagePixels(result, h.width, h.height, 0))
        return refused;
    // Entries past the colours-used count are black.
    for (size_t i = 0; i < h.colours; ++i) {
        const uint8_t* entry = bytes.data() + h.tableAt + h.entryBytes * i;
        result.m_palette.rgb[3 * i] = uint8_t(entry[2] / 4);
        result.m_palette.rgb[3 * i + 1] = uint8_t(entry[1] / 4);
        result.m_palette.rgb[3 * i + 2] = uint8_t(entry[0] / 4);
    }
    if (h.compression == kBiRle8)
        DecodeRle8(bytes, h, result);
    else
        DecodeRows(bytes, h, result);
    image = std::move(result);
    return Status::Ok();
}

} // namespace kesh
