#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/ColourEncoding.h"
#include "raster/PixelEncoding.h"

namespace kesh::test {

// Pixels from rows of hex digits ('.' is 0), top row first.
inline std::vector<uint8_t> PixelRows(const std::vector<std::string>& rows) {
    std::vector<uint8_t> out;
    for (const std::string& row : rows)
        for (char c : row)
            out.push_back(c == '.' ? 0 : uint8_t(std::stoi(std::string(1, c), nullptr, 16)));
    return out;
}

// Bytes from hex text, spaces ignored ("41 C2 44").
inline std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

// The 2bpp tile the NESdev wiki's "PPU pattern tables" page draws, with the
// 16 bytes it lists beside it: 41 C2 44 48 10 20 40 80, then 01 02 04 08 16
// 21 42 87.
inline std::vector<uint8_t> NesWikiTile() {
    return PixelRows({".1.....3", "11....3.", ".1...3..", ".1..3...", "...3.22.", "..3....2",
                      ".3....2.", "3....222"});
}

// The 4bpp tile the WonderSwan "Tile Data" page (ws.nesdev.org) draws for its
// row-by-row planar form (each row planes 0, 1, 2, 3, as on the Master
// System), every value 0-15 used. Its rows as that page lists them:
// 54 32 01 00 / 54 32 F1 00 / 54 32 01 F0 / 54 32 F1 F0 / 04 02 01 00 /
// F8 04 02 01 / 00 F8 04 02 / 00 00 F8 04.
inline std::vector<uint8_t> SixteenColourTile() {
    return PixelRows({".123.124", "4567.124", "89AB.124", "CDEF.124", ".....124", "11111248",
                      "2222248.", "444448.."});
}

// A tile per pixel encoding with its bytes worked out by hand from the
// consoles' documentation (the working beside each).
struct HandTile {
    PixelEncoding encoding;
    std::vector<uint8_t> pixels; // 8 wide, but 4 wide for Byte8
    std::string bytes;
};

// The 16-colour tile with each pixel v made v * 17 (v in both nibbles), so
// planes 4-7 repeat planes 0-3.
inline std::vector<uint8_t> DoubledNibbles() {
    std::vector<uint8_t> p = SixteenColourTile();
    for (uint8_t& v : p)
        v = uint8_t(v * 17);
    return p;
}

inline std::vector<HandTile> HandTiles() {
    return {
        // 1bpp, bit 7 leftmost: the NES tile's bit 0, row by row: .1.....1 =
        // 01000001 = 41, 11....1. = C2, .1...1.. = 44, .1..1... = 48, 10, 20, 40, 80.
        {PixelEncoding::Planar1,
         PixelRows({".1.....1", "11....1.", ".1...1..", ".1..1...", "...1....", "..1.....",
                    ".1......", "1......."}),
         "41 C2 44 48 10 20 40 80"},
        // NES: the wiki's own bytes for its tile.
        {PixelEncoding::Planar2Nes, NesWikiTile(),
         "41 C2 44 48 10 20 40 80 01 02 04 08 16 21 42 87"},
        // Game Boy: the same planes, row 0's plane 0 and plane 1, then row 1's.
        {PixelEncoding::Planar2Rows, NesWikiTile(),
         "41 01 C2 02 44 04 48 08 10 16 20 21 40 42 80 87"},
        // Master System: each row planes 0-3, the WonderSwan page's bytes.
        {PixelEncoding::Planar4Sms, SixteenColourTile(),
         "54 32 01 00 54 32 F1 00 54 32 01 F0 54 32 F1 F0 "
         "04 02 01 00 F8 04 02 01 00 F8 04 02 00 00 F8 04"},
        // SNES 4bpp: from those rows, planes 0-1 of rows 0-7 (54 32, 54 32,
        // 54 32, 54 32, 04 02, F8 04, 00 F8, 00 00), then planes 2-3 (01 00,
        // F1 00, 01 F0, F1 F0, 01 00, 02 01, 04 02, F8 04).
        {PixelEncoding::Planar4Snes, SixteenColourTile(),
         "54 32 54 32 54 32 54 32 04 02 F8 04 00 F8 00 00 "
         "01 00 F1 00 01 F0 F1 F0 01 00 02 01 04 02 F8 04"},
        // GBA, low nibble left: row 0 is 0 1 2 3 0 1 2 4, pairs (0,1) = 10,
        // (2,3) = 32, (0,1) = 10, (2,4) = 42; row 5 is 1 1 1 1 1 2 4 8 = 11 11 21 84.
        {PixelEncoding::Packed4Low, SixteenColourTile(),
         "10 32 10 42 54 76 10 42 98 BA 10 42 DC FE 10 42 "
         "00 00 10 42 11 11 21 84 22 22 42 08 44 44 84 00"},
        // Mega Drive, high nibble left: row 0 = 01 23 01 24, row 6 (2 2 2 2 2 4 8 0) = 22 22 24 80.
        {PixelEncoding::Packed4High, SixteenColourTile(),
         "01 23 01 24 45 67 01 24 89 AB 01 24 CD EF 01 24 "
         "00 00 01 24 11 11 12 48 22 22 24 80 44 44 48 00"},
        // SNES 8bpp: with v in both nibbles, planes 0-1 and 2-3 are the 4bpp
        // tile's two halves, and planes 4-5 and 6-7 repeat them.
        {PixelEncoding::Planar8Snes, DoubledNibbles(),
         "54 32 54 32 54 32 54 32 04 02 F8 04 00 F8 00 00 "
         "01 00 F1 00 01 F0 F1 F0 01 00 02 01 04 02 F8 04 "
         "54 32 54 32 54 32 54 32 04 02 F8 04 00 F8 00 00 "
         "01 00 F1 00 01 F0 F1 F0 01 00 02 01 04 02 F8 04"},
        // One byte a pixel: the pixels themselves.
        {PixelEncoding::Byte8, PixelRows({"0123", "4567"}), "00 01 02 03 04 05 06 07"},
    };
}

// A colour per colour encoding, its bytes worked out by hand from the bit
// layouts (levels rounded: a channel c of n bits is round(c * (2^n - 1) /
// 255)), and the colour the hardware shows (the level's bits repeated to
// fill 8 bits).
struct HandColour {
    ColourEncoding encoding;
    Rgb colour;
    std::string bytes;
    Rgb shown;
};

inline std::vector<HandColour> HandColours() {
    return {
        {ColourEncoding::Rgb888, {0x12, 0x34, 0x56}, "12 34 56", {0x12, 0x34, 0x56}},
        // r 255 -> 31, g 128 -> 16.06 -> 16, b 0: 0 00000 10000 11111 =
        // 0x021F, low byte first. Shown g: 10000 -> 10000100 = 132.
        {ColourEncoding::Bgr555, {255, 128, 0}, "1F 02", {255, 132, 0}},
        // r 255 -> 7, g 0, b 146 -> 4.5 -> 4: 0000 100 0 000 0 111 0 = 0x080E,
        // high byte first. Shown b: 100 -> 10010010 = 146.
        {ColourEncoding::MegaDrive, {255, 0, 146}, "08 0E", {255, 0, 146}},
        // r 109 -> 3.49 -> 3, g 7, b 0: GGG RRR BBB = 111 011 000 = 0x1D8,
        // low byte first. Shown r: 011 -> 01101101 = 109.
        {ColourEncoding::PcEngine, {109, 255, 0}, "D8 01", {109, 255, 0}},
        // r 0, g 85 -> 1.49 -> 1, b 3: 00 11 01 00 = 0x34. Shown g: 01 -> 85.
        {ColourEncoding::MasterSystem, {0, 85, 255}, "34", {0, 85, 255}},
        // r 0x11 -> 1.49 -> 1, g 0x88 -> 8.49 -> 8, b 15: 0000 1111 1000 0001
        // = 0x0F81, low byte first.
        {ColourEncoding::GameGear, {0x11, 0x88, 0xFF}, "81 0F", {0x11, 0x88, 0xFF}},
        // NES: $05 is 92 0 48 in the 2C02 table; 90 2 50 is nearest to it.
        {ColourEncoding::Nes, {90, 2, 50}, "05", {92, 0, 48}},
        // Black is $0F, never $0D nor the other repeats of it.
        {ColourEncoding::Nes, {3, 3, 3}, "0F", {0, 0, 0}},
        // White: $20 and $30 are equal in the table, the lower wins; $30 is
        // shown one step bluer so that it saves as itself.
        {ColourEncoding::Nes, {255, 255, 255}, "20", {236, 238, 236}},
        {ColourEncoding::Nes, {236, 238, 237}, "30", {236, 238, 237}},
        // Game Boy, one colour alone: mean of 200, 100, 120 = 140 -> 140 * 3 /
        // 255 = 1.65 -> 2 of 3 levels up from black, so shade 3 - 2 = 1,
        // light grey, shown 170 (https://gbdev.io/pandocs/Palettes.html).
        {ColourEncoding::GameBoy, {200, 100, 120}, "01", {170, 170, 170}},
    };
}

} // namespace kesh::test
