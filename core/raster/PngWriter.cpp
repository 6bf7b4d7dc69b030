// The PNG writer, on libpng. libpng reports errors by longjmp, so the
// functions that call setjmp keep only plain data in their frames.
#include "raster/PngWriter.h"

#include <png.h>

#include <cctype>
#include <csetjmp>
#include <new>
#include <vector>

#include "base/Messages.h"
#include "io/StreamedFile.h"

namespace kesh {

namespace {

constexpr int64_t kPngMaxSide = 0x7FFFFFFF;

void WriteToFile(png_structp png, png_bytep data, png_size_t length) {
    static_cast<StreamedFile*>(png_get_io_ptr(png))->Write(data, length);
}
void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}
void FlushNothing(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

using RowFn = void (*)(void* context, int64_t y, uint8_t* out);

// Everything libpng does, in one frame of plain data.
bool WriteAll(png_structp png, png_infop info, uint32_t width, uint32_t height,
              const png_color* palette, int compression, uint8_t* rowBuffer, RowFn row,
              void* context) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, uint32_t(kPngMaxSide), uint32_t(kPngMaxSide));
    png_set_compression_level(png, compression);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette, 256);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y) {
        row(context, y, rowBuffer);
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, info);
    return true;
}

class PngWriteStruct {
public:
    PngWriteStruct() {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
    }
    ~PngWriteStruct() {
        if (m_png)
            png_destroy_write_struct(&m_png, m_info ? &m_info : nullptr);
    }
    PngWriteStruct(const PngWriteStruct&) = delete;
    PngWriteStruct& operator=(const PngWriteStruct&) = delete;
    bool ok() const { return m_info != nullptr; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

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
    png_color palette[256];
    for (size_t i = 0; i < 256; ++i)
        palette[i] = {colourTable[4 * i + 2], colourTable[4 * i + 1], colourTable[4 * i]};

    StreamedFile file(fs, path);
    if (!file.Open())
        return file.Finish();
    PngWriteStruct png;
    std::vector<uint8_t> buffer(size_t(width), 0);
    if (!png.ok())
        return Status::Fail(msg::kAllocFailed);
    png_set_write_fn(png.png(), &file, WriteToFile, FlushNothing);
    const RowFn call = [](void* context, int64_t y, uint8_t* out) {
        (*static_cast<const std::function<void(int64_t, uint8_t*)>*>(context))(y, out);
    };
    if (!WriteAll(png.png(), png.info(), uint32_t(width), uint32_t(height), palette, compression,
                  buffer.data(), call, const_cast<void*>(static_cast<const void*>(&row))))
        return failed; // the unfinished file is removed with `file`
    return file.Finish();
}

std::optional<std::vector<uint8_t>>
EncodeIndexedPng(int64_t width, int64_t height, const uint8_t* colourTable,
                 const std::function<void(int64_t y, uint8_t* out)>& row, int compression) {
    if (!FitsPng(width, height))
        return std::nullopt;
    png_color palette[256];
    for (size_t i = 0; i < 256; ++i)
        palette[i] = {colourTable[4 * i + 2], colourTable[4 * i + 1], colourTable[4 * i]};
    std::vector<uint8_t> bytes;
    PngWriteStruct png;
    if (!png.ok())
        return std::nullopt;
    try {
        std::vector<uint8_t> buffer(size_t(width), 0);
        png_set_write_fn(png.png(), &bytes, WriteToVector, FlushNothing);
        const RowFn call = [](void* context, int64_t y, uint8_t* out) {
            (*static_cast<const std::function<void(int64_t, uint8_t*)>*>(context))(y, out);
        };
        if (!WriteAll(png.png(), png.info(), uint32_t(width), uint32_t(height), palette,
                      compression, buffer.data(), call,
                      const_cast<void*>(static_cast<const void*>(&row))))
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace kesh
