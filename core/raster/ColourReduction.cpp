#include "raster/ColourReduction.h"

#include "raster/ColourHistogram.h"

namespace kesh {

ColourReduction::ColourReduction() {
    const ColourPrecision vga{6};
    for (int c = 0; c < 256; ++c)
        m_channel[size_t(c)] = uint8_t(vga.Shown(vga.Nearest(c)));
}

ColourReduction::ColourReduction(ColourEncoding encoding)
    : m_master(encoding == ColourEncoding::Nes) {
    if (m_master)
        return;
    // The channel encodings narrow and widen each channel on its own, so a
    // grey level gives each channel's table.
    for (int c = 0; c < 256; ++c)
        m_channel[size_t(c)] = ReduceColour(encoding, Rgb{uint8_t(c), uint8_t(c), uint8_t(c)}).r;
}

Rgb ColourReduction::Reduce(Rgb colour) {
    if (!m_master)
        return {m_channel[colour.r], m_channel[colour.g], m_channel[colour.b]};
    const auto [at, fresh] = m_known.try_emplace(PackRgb(colour));
    if (fresh)
        at->second = ReduceColour(ColourEncoding::Nes, colour);
    return at->second;
}

} // namespace kesh
