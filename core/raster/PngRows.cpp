// The PNG reader, on libpng. libpng reports errors by longjmp, so every
// function below that calls setjmp keeps only plain data in its frame.
#include "raster/PngRows.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "base/Messages.h"
#include "io/InputLimits.h"

namespace kesh {

namespace {

struct MemoryInput {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > in->size - in->at)
        png_error(png, "unexpected end of file");
    std::memcpy(out, in->data + in->at, length);
    in->at += length;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Whether every chunk up to IEND lies within the file. libpng allocates some
// chunks at the size their length field claims; with the whole file in
// memory no honest chunk claims more than what follows it.
bool ChunksFit(std::span<const uint8_t> bytes) {
    size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const uint32_t length = uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 |
                                uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (length > bytes.size() - at - 12)
            return false;
        if (std::memcmp(bytes.data() + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + size_t(length);
    }
    return false;
}

// Chunks of text, colour profiles and the like: dropped unread, since only
// the pixels and the palette are used.
constexpr png_byte kIgnoredChunks[] = {'t', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0',
                                       'i', 'T', 'X', 't', '\0', 'i', 'C', 'C', 'P', '\0',
                                       's', 'P', 'L', 'T', '\0', 'e', 'X', 'I', 'f', '\0'};

// What the header says once the transforms below are set.
struct PngInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    PixelKind kind = PixelKind::Indexed;
    int channels = 0;    // bytes per pixel after the transforms
    bool alpha = false;  // true colour whose fourth byte is alpha
    size_t rowBytes = 0; // likewise
    int passes = 1;
    int paletteCount = 0;
    png_color palette[256];
};

// Reads up to the first image data and sets the transforms that give 8-bit
// indices, grey values or RGB. False on any libpng error.
bool ReadHeader(png_structp png, png_infop info, PngInfo& out) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &out.width, &out.height, &bitDepth, &colourType, &interlace, nullptr,
                 nullptr);
    if (bitDepth == 16)
        png_set_strip_16(png);
    // True colour keeps its transparency, as alpha; other kinds drop it.
    if (colourType == PNG_COLOR_TYPE_RGB_ALPHA) {
        out.alpha = true;
    } else if (colourType == PNG_COLOR_TYPE_RGB && png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
        out.alpha = true;
    } else if (colourType & PNG_COLOR_MASK_ALPHA) {
        png_set_strip_alpha(png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        out.kind = PixelKind::Indexed;
        png_set_packing(png);
        png_colorp colours = nullptr;
        if (png_get_PLTE(png, info, &colours, &out.paletteCount) != PNG_INFO_PLTE)
            out.paletteCount = 0;
        out.paletteCount = std::clamp(out.paletteCount, 0, 256);
        std::copy_n(colours, out.paletteCount, out.palette);
    } else if (colourType & PNG_COLOR_MASK_COLOR) {
        out.kind = PixelKind::Rgb;
    } else {
        out.kind = PixelKind::Grey;
        if (bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
    }
    out.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.channels = png_get_channels(png, info);
    out.rowBytes = png_get_rowbytes(png, info);
    return true;
}

// The next `count` rows, `rowBytes` apart, into `out`. False on any libpng
// error.
bool ReadRowRange(png_structp png, size_t rowBytes, uint32_t count, uint8_t* out) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (uint32_t y = 0; y < count; ++y)
        png_read_row(png, out + size_t(y) * rowBytes, nullptr);
    return true;
}

// Every row of every pass into `pixels`. False on any libpng error.
bool ReadPasses(png_structp png, const PngInfo& header, uint8_t* pixels) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    for (int pass = 0; pass < header.passes; ++pass)
        for (uint32_t y = 0; y < header.height; ++y)
            png_read_row(png, pixels + size_t(y) * header.rowBytes, nullptr);
    return true;
}

bool ReadEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_end(png, info);
    return true;
}

// Owns the libpng structures for one read.
class PngReader {
public:
    explicit PngReader(MemoryInput* input) {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_info)
            return;
        png_set_read_fn(m_png, input, ReadFromMemory);
        // Image size is checked against our own limit; chunks other than the
        // image data are few and small in any picture we read.
        png_set_user_limits(m_png, uint32_t(std::min<int64_t>(kMaxImagePixels, 0x7FFFFFFF)),
                            uint32_t(std::min<int64_t>(kMaxImagePixels, 0x7FFFFFFF)));
        png_set_chunk_cache_max(m_png, kMaxPngAncillaryChunks);
        png_set_chunk_malloc_max(m_png, kMaxPngChunkBytes);
        png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
        png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                                    int(sizeof kIgnoredChunks / 5));
#ifdef KESH_FUZZ_LIMITS
        // Let the fuzzer get past the checksums to the decoding behind them.
        png_set_crc_action(m_png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    }
    ~PngReader() {
        if (m_png)
            png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
    }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    bool ok() const {
        return m_info != nullptr;
    }
    png_structp png() const {
        return m_png;
    }
    png_infop info() const {
        return m_info;
    }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

} // namespace

struct PngRows::State {
    std::span<const uint8_t> bytes;
    MemoryInput input{nullptr, 0, 0};
    std::unique_ptr<PngReader> reader;
    PngInfo info;
    uint32_t rowsRead = 0;
    bool opened = false;
    std::vector<uint8_t> withAlpha; // rows as libpng gives them, alpha in each pixel
};

namespace {

// Rows of red, green, blue and alpha parted into `rgb` and `alpha` (which may be null).
void PartAlpha(const uint8_t* rgba, size_t pixels, uint8_t* rgb, uint8_t* alpha) {
    for (size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3) {
        rgb[0] = rgba[0];
        rgb[1] = rgba[1];
        rgb[2] = rgba[2];
        if (alpha)
            alpha[i] = rgba[3];
    }
}

} // namespace

PngRows::PngRows(std::span<const uint8_t> bytes) : m_state(std::make_unique<State>()) {
    m_state->bytes = bytes;
    m_state->input = {bytes.data(), bytes.size(), 0};
}

PngRows::~PngRows() = default;

Status PngRows::Open(Image& header) {
    const Status damaged = Status::Fail(msg::kPngDamaged);
    State& s = *m_state;
    if (s.opened || m_failed)
        return damaged;
    m_failed = true; // until the header is read
    if (s.bytes.size() < 8 || png_sig_cmp(s.bytes.data(), 0, 8) != 0 || !ChunksFit(s.bytes))
        return damaged;
    s.reader = std::make_unique<PngReader>(&s.input);
    if (!s.reader->ok())
        return Status::Fail(msg::kAllocFailed);
    PngInfo& info = s.info;
    if (!ReadHeader(s.reader->png(), s.reader->info(), info))
        return damaged;
    const int64_t width = info.width;
    const int64_t height = info.height;
    if (width * height > kMaxImagePixels)
        return Status::Fail(msg::kImageTooLarge);
    const int bytesPerPixel = info.kind == PixelKind::Rgb ? 3 + info.alpha : 1;
    if (info.channels != bytesPerPixel || info.rowBytes != size_t(width) * size_t(bytesPerPixel))
        return damaged;

    Image result;
    result.m_width = int32_t(width);
    result.m_height = int32_t(height);
    result.m_pixelCount = int32_t(width * height);
    result.m_kind = info.kind;
    result.m_hasAlpha = info.alpha;
    if (info.kind == PixelKind::Indexed) {
        for (int i = 0; i < info.paletteCount; ++i) {
            result.m_palette.rgb[size_t(3 * i)] = uint8_t(info.palette[i].red >> 2);
            result.m_palette.rgb[size_t(3 * i + 1)] = uint8_t(info.palette[i].green >> 2);
            result.m_palette.rgb[size_t(3 * i + 2)] = uint8_t(info.palette[i].blue >> 2);
        }
    } else if (info.kind == PixelKind::Grey) {
        for (size_t i = 0; i < 256; ++i)
            result.m_palette.rgb[3 * i] = result.m_palette.rgb[3 * i + 1] =
                result.m_palette.rgb[3 * i + 2] = uint8_t(i >> 2);
    }
    header = std::move(result);
    s.opened = true;
    m_failed = false;
    return Status::Ok();
}

bool PngRows::interlaced() const {
    return m_state->info.passes > 1;
}

bool PngRows::hasAlpha() const {
    return m_state->info.alpha;
}

bool PngRows::Read(uint8_t* out, uint32_t count, uint8_t* alpha) {
    State& s = *m_state;
    if (m_failed || !s.opened || interlaced() || count > s.info.height - s.rowsRead) {
        m_failed = true;
        return false;
    }
    const size_t width = s.info.width;
    for (uint32_t y = 0; y < count && s.info.alpha; ++y) {
        try {
            s.withAlpha.resize(s.info.rowBytes);
        } catch (const std::bad_alloc&) {
            m_failed = true;
            return false;
        }
        if (!ReadRowRange(s.reader->png(), s.info.rowBytes, 1, s.withAlpha.data())) {
            m_failed = true;
            return false;
        }
        PartAlpha(s.withAlpha.data(), width, out + y * width * 3,
                  alpha ? alpha + y * width : nullptr);
    }
    if (!s.info.alpha && !ReadRowRange(s.reader->png(), s.info.rowBytes, count, out)) {
        m_failed = true;
        return false;
    }
    s.rowsRead += count;
    return true;
}

bool PngRows::ReadAll(uint8_t* pixels, uint8_t* alpha) {
    State& s = *m_state;
    if (m_failed || !s.opened || s.rowsRead != 0) {
        m_failed = true;
        return false;
    }
    if (s.info.alpha && !interlaced()) // row by row, parted as they come
        return Read(pixels, s.info.height, alpha);
    uint8_t* into = pixels;
    if (s.info.alpha) { // the passes fill in whole rows: hold them all
        try {
            s.withAlpha.resize(s.info.rowBytes * s.info.height);
        } catch (const std::bad_alloc&) {
            m_failed = true;
            return false;
        }
        into = s.withAlpha.data();
    }
    if (!ReadPasses(s.reader->png(), s.info, into)) {
        m_failed = true;
        return false;
    }
    if (s.info.alpha) {
        PartAlpha(into, size_t(s.info.width) * s.info.height, pixels, alpha);
        std::vector<uint8_t>().swap(s.withAlpha);
    }
    s.rowsRead = s.info.height;
    return true;
}

bool PngRows::Finish() {
    State& s = *m_state;
    if (m_failed || !s.opened || s.rowsRead != s.info.height ||
        !ReadEnd(s.reader->png(), s.reader->info())) {
        m_failed = true;
        return false;
    }
    return true;
}

} // namespace kesh
