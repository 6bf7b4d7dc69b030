#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/Status.h"
#include "raster/ImageDecoders.h"

namespace kesh {

class PngRows;

// An image handed out in bands of rows, top to bottom. A PNG without
// interlacing is decoded band by band as the bands are asked for, so a large
// picture never lies in memory whole; every other image is decoded at once.
class ImageSource {
public:
    ImageSource();
    // Over an image already decoded, which must outlive the source.
    explicit ImageSource(const Image& image);
    ~ImageSource();
    ImageSource(const ImageSource&) = delete;
    ImageSource& operator=(const ImageSource&) = delete;

    // Opens an image file by its content, as ReadImage does, and fails with
    // the same messages. The bytes must outlive the source. A PNG's pixel
    // data is checked only as it is read: NextRows may still fail.
    Status Open(std::span<const uint8_t> bytes);

    // The image's size, kind and palette; its pixel buffers are empty while
    // the image is read band by band.
    const Image& header() const { return *m_image; }
    int32_t width() const { return m_image->m_width; }
    int32_t height() const { return m_image->m_height; }
    // Bytes per pixel: 1 for indices and grey values, 3 for red, green, blue.
    int bytesPerPixel() const { return m_image->hasIndices() ? 1 : 3; }

    // The next `count` rows (fewer at the bottom), each width x
    // bytesPerPixel() bytes, valid until the next call. After the last row
    // the rest of the file is checked too. Fails with the decoder's message
    // for damaged data; nothing more is read then. With `alpha`, a true-colour
    // image's alpha rows (width bytes each), or null when it has none.
    Status NextRows(int32_t count, const uint8_t*& rows, int32_t& got,
                    const uint8_t** alpha = nullptr);

private:
    Image m_owned;
    const Image* m_image = &m_owned;
    std::unique_ptr<PngRows> m_png; // while reading band by band
    std::vector<uint8_t> m_band;
    std::vector<uint8_t> m_alphaBand;
    int32_t m_nextRow = 0;
    bool m_failed = false;
};

} // namespace kesh
