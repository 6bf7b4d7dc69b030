#include "image/ImageSource.h"

#include <algorithm>
#include <new>

#include "base/Messages.h"
#include "raster/PngRows.h"

namespace kesh {

ImageSource::ImageSource() = default;

ImageSource::ImageSource(const Image& image) : m_image(&image) {}

ImageSource::~ImageSource() = default;

Status ImageSource::Open(std::span<const uint8_t> bytes) {
    m_png.reset();
    m_band.clear();
    m_owned = Image{};
    m_image = &m_owned;
    m_nextRow = 0;
    m_failed = false;
    auto png = std::make_unique<PngRows>(bytes);
    Image header;
    if (Status st = png->Open(header); !st || png->interlaced()) {
        // Not a PNG, or one whose rows come in passes: decode it whole.
        return ReadImage(bytes, m_owned);
    }
    m_owned = std::move(header);
    m_png = std::move(png);
    return Status::Ok();
}

Status ImageSource::NextRows(int32_t count, const uint8_t*& rows, int32_t& got,
                             const uint8_t** alpha) {
    const Status damaged = Status::Fail(msg::kPngDamaged);
    got = std::clamp(height() - m_nextRow, 0, std::max(count, 0));
    const size_t rowBytes = size_t(width()) * size_t(bytesPerPixel());
    const bool withAlpha = m_image->m_hasAlpha && !m_image->hasIndices();
    if (alpha)
        *alpha = nullptr;
    if (m_failed)
        return damaged;
    if (!m_png) {
        rows = (m_image->hasIndices() ? m_image->m_pixels.data() : m_image->m_rgb.data()) +
               size_t(m_nextRow) * rowBytes;
        if (alpha && withAlpha && !m_image->m_alpha.empty())
            *alpha = m_image->m_alpha.data() + size_t(m_nextRow) * size_t(width());
        m_nextRow += got;
        return Status::Ok();
    }
    try {
        if (m_band.size() < size_t(got) * rowBytes)
            m_band.resize(size_t(got) * rowBytes);
        if (withAlpha && m_alphaBand.size() < size_t(got) * size_t(width()))
            m_alphaBand.resize(size_t(got) * size_t(width()));
    } catch (const std::bad_alloc&) {
        m_failed = true;
        return Status::Fail(msg::kAllocFailed);
    }
    m_nextRow += got;
    if (alpha && withAlpha)
        *alpha = m_alphaBand.data();
    if (!m_png->Read(m_band.data(), uint32_t(got), withAlpha ? m_alphaBand.data() : nullptr) ||
        (got > 0 && m_nextRow == height() && !m_png->Finish())) {
        m_failed = true;
        return damaged;
    }
    rows = m_band.data();
    return Status::Ok();
}

} // namespace kesh
