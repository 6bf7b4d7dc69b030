#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "layout/TileEncodings.h"
#include "raster/ColourEncoding.h"

namespace kesh {

// The colour a palette entry shows once stored: a tile file's 6-bit palette
// item (each channel to its nearest level, shown as the level times 4) or a
// console's colour encoding (ReduceColour). Colours chosen for a palette go
// through it before their error is measured.
class ColourReduction {
public:
    // The 6-bit palette of the tile file's own palette items.
    ColourReduction();
    explicit ColourReduction(ColourEncoding encoding);
    // nullopt: the 6-bit palette.
    static ColourReduction Of(std::optional<ColourEncoding> encoding) {
        return encoding ? ColourReduction(*encoding) : ColourReduction();
    }

    // The colour `colour` shows as. Every encoding but the NES's treats
    // each channel alone, through a table; NES colours are looked up in the
    // master palette once each and remembered.
    Rgb Reduce(Rgb colour);

private:
    bool m_master = false; // the NES: not channel by channel
    std::array<uint8_t, 256> m_channel{};
    std::unordered_map<uint32_t, Rgb> m_known;
};

// A colour as one number, 0xRRGGBB: the form palettes of sub-palettes hold.
inline uint32_t PackRgb(Rgb c) {
    return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}
inline Rgb UnpackRgb(uint32_t v) {
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

} // namespace kesh
