#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "layout/TileFormat.h"
#include "support/HardwareTiles.h"
#include "tileset/TileSet.h"

namespace kesh::test {

// A tile layout with the console items and their parameters, 8 x 8 tiles.
inline TileFormat ConsoleFormat(std::vector<uint8_t> items, TileItemParams params) {
    TileFormat format;
    format.width = 8;
    format.height = 8;
    format.items = std::move(items);
    format.params = params;
    return format;
}

// The SNES mode-1 background form: 16 BGR555 colours, then the size, the
// count and the 4bpp planar tiles.
inline TileFormat SnesFormat() {
    return ConsoleFormat(
        {TileItem::Palette, TileItem::SizeByte, TileItem::CountByte, TileItem::Pixels},
        {PixelEncoding::Planar4Snes, ColourEncoding::Bgr555, 16, 1});
}

// Two tiles, the 16-colour tile then the NES wiki's tile, and colours 0-2
// set (orange, white, blue), the rest of the first 16 black.
inline TileSet SnesSet() {
    TileSet set;
    set.format() = SnesFormat();
    set.InitTileSet();
    for (const auto& pixels : {SixteenColourTile(), NesWikiTile()})
        set.tiles().Append(pixels.data(), 0);
    ColourTable table{};
    std::copy_n(set.colourTable(), table.size(), table.begin());
    const Rgb colours[3] = {{255, 128, 0}, {255, 255, 255}, {0, 0, 255}};
    for (int i = 0; i < 16; ++i) {
        const Rgb c = i < 3 ? colours[i] : Rgb{};
        table[size_t(4 * i)] = c.b;
        table[size_t(4 * i + 1)] = c.g;
        table[size_t(4 * i + 2)] = c.r;
        table[size_t(4 * i + 3)] = 0;
    }
    set.SetColourTable(table);
    return set;
}

// SnesSet's file, worked out by hand. Colours, 0BBBBBGGGGGRRRRR low byte
// first: orange r 31, g 128 -> 16, b 0 = 0x021F; white 0x7FFF; blue b 31 =
// 0x7C00; black 0. Then size 8 x 8, count 2. The 16-colour tile is the
// SNES 4bpp bytes of HandTiles(); the NES tile's planes 0-1 by rows are its
// Game Boy bytes, and planes 2-3 are all 0.
inline std::string SnesSetBytes() {
    return "1F 02 FF 7F 00 7C 00 00 00 00 00 00 00 00 00 00 "
           "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
           "08 08 02 "
           "54 32 54 32 54 32 54 32 04 02 F8 04 00 F8 00 00 "
           "01 00 F1 00 01 F0 F1 F0 01 00 02 01 04 02 F8 04 "
           "41 01 C2 02 44 04 48 08 10 16 20 21 40 42 80 87 "
           "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
}

// A set in `format` (its size and console items) with `count` tiles of
// random pixels the pixel encoding holds, and the first P x K colours all
// different, most of them more precise than the colour encoding keeps.
inline TileSet ConsoleSet(const TileFormat& format, int count, uint32_t seed) {
    TileSet set;
    set.format() = format;
    set.InitTileSet();
    std::mt19937 random(seed);
    const uint8_t largest = LargestPixel(format.params.pixels);
    std::vector<uint8_t> pixels(size_t(format.width * format.height));
    for (int t = 0; t < count; ++t) {
        for (uint8_t& p : pixels)
            p = uint8_t(random() % (unsigned(largest) + 1));
        set.tiles().Append(pixels.data(), 0);
    }
    ColourTable table{};
    std::copy_n(set.colourTable(), table.size(), table.begin());
    for (size_t i = 0; i < size_t(format.params.paletteCount * format.params.coloursPerPalette);
         ++i) {
        table[4 * i] = uint8_t(i * 29 + 201);
        table[4 * i + 1] = uint8_t(i * 101 + 30);
        table[4 * i + 2] = uint8_t(i * 53 + 7);
    }
    set.SetColourTable(table);
    return set;
}

} // namespace kesh::test
