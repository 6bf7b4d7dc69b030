#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "base/Status.h"
#include "raster/ImageDecoders.h"

namespace kesh {

// A PNG file read through libpng as 8-bit indices, grey values or red, green
// and blue, row by row, so that a caller may use each band of rows while it
// is still in the cache. The file's bytes must outlive the reader. Once a
// read fails the reader gives nothing more.
class PngRows {
public:
    explicit PngRows(std::span<const uint8_t> bytes);
    ~PngRows();
    PngRows(const PngRows&) = delete;
    PngRows& operator=(const PngRows&) = delete;

    // Reads up to the image data and gives its size, kind and palette in
    // `header` (6-bit components; the grey ramp for grey images), its pixel
    // buffers left empty. Fails with "PNG 파일이 손상되었거나 지원하지 않는
    // 형식입니다." or "이미지가 너무 큽니다." (over kMaxImagePixels).
    Status Open(Image& header);
    // Whether rows come in several passes, so only ReadAll can read them.
    bool interlaced() const;
    // Whether a true-colour image comes with alpha (header.m_hasAlpha).
    bool hasAlpha() const;

    // The next `count` rows of an image without interlacing, into `out`,
    // their alpha into `alpha` (width bytes a row) when the image has it.
    bool Read(uint8_t* out, uint32_t count, uint8_t* alpha = nullptr);
    // Every row, pass after pass, into `pixels`, and likewise the alpha.
    bool ReadAll(uint8_t* pixels, uint8_t* alpha = nullptr);
    // The chunks after the image data, with their checksums, once every row
    // has been read.
    bool Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
    bool m_failed = false;
};

} // namespace kesh
