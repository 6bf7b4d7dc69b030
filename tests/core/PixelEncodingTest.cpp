#include <gtest/gtest.h>

#include <random>

#include "raster/PixelEncoding.h"
#include "support/HardwareTiles.h"

using namespace kesh;
using kesh::test::HexBytes;
using kesh::test::NesWikiTile;
using kesh::test::PixelRows;
using kesh::test::SixteenColourTile;

namespace {

struct HandTile {
    PixelEncoding encoding;
    std::vector<uint8_t> pixels;
    std::string bytes;
};

constexpr PixelEncoding kAll[] = {
    PixelEncoding::Byte8,      PixelEncoding::Planar1,     PixelEncoding::Planar2Rows,
    PixelEncoding::Planar2Nes, PixelEncoding::Planar4Snes, PixelEncoding::Planar4Sms,
    PixelEncoding::Packed4Low, PixelEncoding::Packed4High, PixelEncoding::Planar8Snes};

// The 16-colour tile with each pixel v made v * 17 (v in both nibbles), so
// planes 4-7 repeat planes 0-3.
std::vector<uint8_t> DoubledNibbles() {
    std::vector<uint8_t> p = SixteenColourTile();
    for (uint8_t& v : p)
        v = uint8_t(v * 17);
    return p;
}

} // namespace

// Each encoding against bytes worked out by hand from the documentation,
// both ways.
TEST(PixelEncodingTest, TilesMatchBytesWorkedOutByHand) {
    const HandTile cases[] = {
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
    for (const HandTile& c : cases) {
        SCOPED_TRACE(std::string(PixelEncodingName(c.encoding)));
        const int32_t w = c.encoding == PixelEncoding::Byte8 ? 4 : 8;
        const int32_t h = int32_t(c.pixels.size()) / w;
        std::vector<uint8_t> out(EncodedTileBytes(c.encoding, w, h));
        EncodeTile(c.encoding, w, h, c.pixels.data(), out.data());
        EXPECT_EQ(out, HexBytes(c.bytes));
        std::vector<uint8_t> back(c.pixels.size());
        DecodeTile(c.encoding, w, h, out.data(), back.data());
        EXPECT_EQ(back, c.pixels);
    }
}

// A 16 x 16 tile is four 8 x 8 blocks: top left, top right, bottom left,
// bottom right. With each block one colour (0, 1, 2, 3) in Game Boy 2bpp, a
// block of colour 1 is 8 rows of FF 00, colour 2 of 00 FF, colour 3 of FF FF.
TEST(PixelEncodingTest, LargeTilesAreEightByEightBlocksInReadingOrder) {
    std::vector<uint8_t> pixels(256);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[size_t(y * 16 + x)] = uint8_t((y / 8) * 2 + x / 8);
    std::string expected;
    for (const char* row : {"00 00 ", "FF 00 ", "00 FF ", "FF FF "})
        for (int r = 0; r < 8; ++r)
            expected += row;
    std::vector<uint8_t> out(EncodedTileBytes(PixelEncoding::Planar2Rows, 16, 16));
    EncodeTile(PixelEncoding::Planar2Rows, 16, 16, pixels.data(), out.data());
    EXPECT_EQ(out, HexBytes(expected));
}

// Every tile of values the encoding holds comes back as it was, on tiles of
// one block and of several.
TEST(PixelEncodingTest, RandomTilesRoundTrip) {
    std::mt19937 random(28);
    for (PixelEncoding e : kAll) {
        SCOPED_TRACE(std::string(PixelEncodingName(e)));
        for (auto [w, h] : {std::pair{8, 8}, std::pair{16, 24}, std::pair{32, 8}}) {
            std::vector<uint8_t> pixels(size_t(w * h));
            for (uint8_t& p : pixels)
                p = uint8_t(random() & LargestPixel(e));
            std::vector<uint8_t> bytes(EncodedTileBytes(e, w, h)), back(pixels.size());
            EncodeTile(e, w, h, pixels.data(), bytes.data());
            DecodeTile(e, w, h, bytes.data(), back.data());
            EXPECT_EQ(back, pixels) << w << "x" << h;
        }
    }
}

TEST(PixelEncodingTest, FindsTheFirstPixelTooLarge) {
    struct Case {
        PixelEncoding encoding;
        size_t count;
        std::vector<std::pair<size_t, uint8_t>> set;
        int64_t first;
    };
    const Case cases[] = {
        {PixelEncoding::Planar2Nes, 64, {{13, 4}, {40, 200}}, 13},
        {PixelEncoding::Planar2Nes, 64, {{13, 3}, {63, 3}}, -1},
        {PixelEncoding::Planar1, 64, {{63, 2}}, 63},
        {PixelEncoding::Packed4Low, 70, {{69, 16}}, 69}, // past the last whole 8 bytes
        {PixelEncoding::Planar4Snes, 64, {{0, 15}, {9, 0x10}}, 9},
        {PixelEncoding::Planar8Snes, 64, {{5, 255}}, -1},
        {PixelEncoding::Byte8, 64, {{5, 255}}, -1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> pixels(c.count, 1);
        for (auto [at, v] : c.set)
            pixels[at] = v;
        EXPECT_EQ(FirstPixelTooLarge(c.encoding, pixels.data(), pixels.size()), c.first)
            << PixelEncodingName(c.encoding);
    }
}

TEST(PixelEncodingTest, SizesNamesAndTheTileSizeCheck) {
    for (PixelEncoding e : kAll) {
        EXPECT_EQ(PixelEncodingFromName(PixelEncodingName(e)), e);
        EXPECT_EQ(EncodedTileBytes(e, 8, 8), size_t(8 * BitsPerPixel(e)));
        EXPECT_TRUE(CheckTileSize(e, 16, 8).ok());
        EXPECT_EQ(CheckTileSize(e, 12, 8).ok(), e == PixelEncoding::Byte8);
        EXPECT_EQ(CheckTileSize(e, 8, 4).ok(), e == PixelEncoding::Byte8);
        EXPECT_FALSE(CheckTileSize(e, 0, 8).ok());
    }
    EXPECT_EQ(EncodedTileBytes(PixelEncoding::Planar4Snes, 16, 16), 128u);
    EXPECT_FALSE(PixelEncodingFromName("4bpp").has_value());
    EXPECT_NE(CheckTileSize(PixelEncoding::Planar2Nes, 12, 8).message().find("2bpp-nes"),
              std::string::npos);
}
