#include <gtest/gtest.h>

#include <random>

#include "raster/PixelEncoding.h"
#include "support/HardwareTiles.h"

using namespace kesh;
using kesh::test::HandTile;
using kesh::test::HandTiles;
using kesh::test::HexBytes;

namespace {

constexpr PixelEncoding kAll[] = {
    PixelEncoding::Byte8,      PixelEncoding::Planar1,     PixelEncoding::Planar2Rows,
    PixelEncoding::Planar2Nes, PixelEncoding::Planar4Snes, PixelEncoding::Planar4Sms,
    PixelEncoding::Packed4Low, PixelEncoding::Packed4High, PixelEncoding::Planar8Snes};

} // namespace

// Each encoding against bytes worked out by hand from the documentation,
// both ways.
TEST(PixelEncodingTest, TilesMatchBytesWorkedOutByHand) {
    for (const HandTile& c : HandTiles()) {
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
