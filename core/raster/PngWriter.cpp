// The PNG writer: the chunks are written here, the pixel data compressed on
// every core (ParallelDeflate) in blocks of whole rows, each row as filter
// type 0 (none) and its indices.
#include "raster/PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <vector>

#include "base/Messages.h"
#include "io/StreamedFile.h"
#include "raster/ParallelDeflate.h"

namespace kesh {

namespace {

constexpr int64_t kPngMaxSide = 0x7FFFFFFF;
// Rows go to the compressor in blocks of about this many bytes: large enough
// that a block's cold start costs little, small enough to keep every core
// busy and memory low.
constexpr size_t kBlockBytes = size_t(1) << 20;
// The longest chunk written; a PNG chunk may hold up to 2^31 - 1 bytes.
constexpr size_t kMaxChunk = size_t(1) << 30;

using Out = std::function<bool(const uint8_t* data, size_t size)>;

void PutU32(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value >> 24);
    at[1] = uint8_t(value >> 16);
    at[2] = uint8_t(value >> 8);
    at[3] = uint8_t(value);
}

bool WriteChunk(const Out& out, const char type[4], const uint8_t* data, size_t size) {
    uint8_t head[8];
    PutU32(head, uint32_t(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0) // crc32_z of no buffer is the starting value, not the crc so far
        crc = crc32_z(crc, data, size);
    uint8_t tail[4];
    PutU32(tail, uint32_t(crc));
    return out(head, 8) && (size == 0 || out(data, size)) && out(tail, 4);
}

// The whole PNG, passed to `out` in order; false when `out` refused bytes or
// memory ran out.
bool WritePng(const Out& out, int64_t width, int64_t height, const uint8_t* colourTable,
              const std::function<void(int64_t y, uint8_t* out)>& row, int compression) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    PutU32(header, uint32_t(width));
    PutU32(header + 4, uint32_t(height));
    header[8] = 8; // bits per index
    header[9] = 3; // palette colour; compression, filter and interlace methods 0
    uint8_t palette[768];
    for (size_t i = 0; i < 256; ++i) {
        palette[3 * i] = colourTable[4 * i + 2];
        palette[3 * i + 1] = colourTable[4 * i + 1];
        palette[3 * i + 2] = colourTable[4 * i];
    }
    if (!out(kSignature, 8) || !WriteChunk(out, "IHDR", header, 13) ||
        !WriteChunk(out, "PLTE", palette, 768))
        return false;

    const size_t stride = size_t(width) + 1;
    const int64_t rowsPerBlock = int64_t(std::max<size_t>(1, kBlockBytes / stride));
    const size_t blocks = size_t((height + rowsPerBlock - 1) / rowsPerBlock);
    ParallelDeflate deflate(
        compression, ParallelDeflate::ThreadsFor(blocks), [&out](const uint8_t* data, size_t size) {
            for (size_t at = 0; at < size; at += kMaxChunk)
                if (!WriteChunk(out, "IDAT", data + at, std::min(kMaxChunk, size - at)))
                    return false;
            return true;
        });
    for (int64_t y = 0; y < height;) {
        const int64_t end = std::min(height, y + rowsPerBlock);
        std::vector<uint8_t>& block = deflate.Buffer();
        block.resize(size_t(end - y) * stride);
        for (uint8_t* at = block.data(); y < end; ++y, at += stride) {
            at[0] = 0; // filter: none
            row(y, at + 1);
        }
        if (!deflate.Submit(y == height))
            return false;
    }
    return deflate.Finish() && WriteChunk(out, "IEND", nullptr, 0);
}

} // namespace

bool FitsPng(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kPngMaxSide && height <= kPngMaxSide;
}

bool EndsWithPng(std::string_view path) {
    if (path.size() < 4)
        return false;
    std::string tail(path.substr(path.size() - 4));
    for (char& c : tail)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}

Status WriteIndexedPng(FileSystem& fs, const std::string& path, int64_t width, int64_t height,
                       const uint8_t* colourTable,
                       const std::function<void(int64_t y, uint8_t* out)>& row, int compression) {
    const Status failed = Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    if (!FitsPng(width, height))
        return failed;
    StreamedFile file(fs, path);
    if (!file.Open())
        return file.Finish();
    try {
        const Out toFile = [&file](const uint8_t* data, size_t size) {
            file.Write(data, size);
            return true;
        };
        if (!WritePng(toFile, width, height, colourTable, row, compression))
            return failed; // the unfinished file is removed with `file`
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return file.Finish();
}

std::optional<std::vector<uint8_t>>
EncodeIndexedPng(int64_t width, int64_t height, const uint8_t* colourTable,
                 const std::function<void(int64_t y, uint8_t* out)>& row, int compression) {
    if (!FitsPng(width, height))
        return std::nullopt;
    std::vector<uint8_t> bytes;
    try {
        const Out toMemory = [&bytes](const uint8_t* data, size_t size) {
            bytes.insert(bytes.end(), data, data + size);
            return true;
        };
        if (!WritePng(toMemory, width, height, colourTable, row, compression))
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace kesh
