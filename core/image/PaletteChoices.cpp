#include "image/PaletteChoices.h"

namespace kesh {

PaletteChoices::PaletteChoices(std::span<const uint32_t> colours) : m_size(colours.size()) {
    if (colours.empty())
        return;
    const size_t padded = (colours.size() + kBlock - 1) / kBlock * kBlock;
    for (size_t i = 0; i < padded; ++i) {
        const uint32_t c = colours[i < colours.size() ? i : 0];
        m_r.push_back(int32_t(c >> 16));
        m_g.push_back(int32_t((c >> 8) & 0xFF));
        m_b.push_back(int32_t(c & 0xFF));
    }
}

} // namespace kesh
