#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/Status.h"
#include "layout/TileEncodings.h"
#include "raster/Palette.h"

namespace kesh {

// An 8-bit-per-channel colour.
struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Stores `colour` at the encoding's precision, rounding each channel to the
// nearest level (the NES: the nearest master-palette entry).
void EncodeColour(ColourEncoding encoding, Rgb colour, uint8_t* out);

// The colour the hardware shows for the stored bytes, channels widened to 8
// bits by repeating their bits; nullopt when a bit the hardware leaves unused
// is set (or a NES index is above 63), so that what is read can be written
// back byte for byte.
std::optional<Rgb> DecodeColour(ColourEncoding encoding, const uint8_t* in);

// The colour the hardware shows for `colour`: encoded, then decoded.
Rgb ReduceColour(ColourEncoding encoding, Rgb colour);

// Colours `first` .. `first + count - 1` of a display colour table (blue,
// green, red, 0 per entry) stored one after another at `out`
// (PaletteBytes(encoding, count) bytes: Game Boy shades four a byte).
void EncodeColours(ColourEncoding encoding, const ColourTable& table, int first, int count,
                   uint8_t* out);

// The opposite, into the table's entries from `first`; fails with a Korean
// message naming the first colour whose bytes no hardware colour has, and
// leaves the table as it was.
Status DecodeColours(ColourEncoding encoding, const uint8_t* in, int first, int count,
                     ColourTable& table);

// The NES master palette used to show and to choose NES colours: the 2C02
// table of 64 colours as the NESdev wiki's "PPU palettes" page gives it.
// Decoding shows its repeated blacks and white one step apart, so that each
// index saved comes back as itself ($0D, never to be used, is saved as $0F).
const std::array<Rgb, 64>& NesMasterPalette();

} // namespace kesh
