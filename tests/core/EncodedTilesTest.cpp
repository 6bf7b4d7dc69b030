#include <gtest/gtest.h>

#include "base/Messages.h"
#include "io/ByteWriter.h"
#include "support/HardwareTiles.h"
#include "tileset/EncodedTiles.h"

using namespace kesh;

namespace {

// Three 16 x 8 tiles: the NES wiki tile beside itself mirrored, then two
// variations, every pixel 0-3.
void MakeList(TileList& list) {
    list.Setup(16, 8);
    const std::vector<uint8_t> left = test::NesWikiTile();
    for (uint8_t t = 0; t < 3; ++t) {
        std::vector<uint8_t> pixels(128);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                pixels[size_t(y * 16 + x)] = uint8_t((left[size_t(y * 8 + x)] + t) & 3);
                pixels[size_t(y * 16 + 15 - x)] = left[size_t(y * 8 + x)];
            }
        list.Append(pixels.data(), 0);
    }
}

} // namespace

// The item is the tiles one after another, each its 8 x 8 blocks in turn.
TEST(EncodedTilesTest, WritesEveryTileAndReadsThemBack) {
    for (PixelEncoding e : {PixelEncoding::Planar2Nes, PixelEncoding::Planar4Snes,
                            PixelEncoding::Packed4High, PixelEncoding::Byte8}) {
        SCOPED_TRACE(std::string(PixelEncodingName(e)));
        TileList list;
        MakeList(list);
        ByteWriter out;
        ASSERT_TRUE(WriteEncodedTiles(list, e, out).ok());
        ASSERT_EQ(out.size(), EncodedTilesBytes(e, 16, 8, 3));
        std::vector<uint8_t> first(EncodedTileBytes(e, 16, 8));
        EncodeTile(e, 16, 8, list.PixelsAt(0), first.data());
        EXPECT_TRUE(std::equal(first.begin(), first.end(), out.bytes().begin()));

        TileList back;
        back.Setup(16, 8);
        ASSERT_TRUE(ReadEncodedTiles(out.bytes(), e, 3, back).ok());
        ASSERT_EQ(back.count(), 3u);
        for (int t = 0; t < 3; ++t)
            EXPECT_TRUE(std::equal(list.PixelsAt(t), list.PixelsAt(t) + 128, back.PixelsAt(t)));
    }
}

// A pixel too large is refused before anything is written, naming the
// first tile and pixel with it; it is never masked.
TEST(EncodedTilesTest, RefusesAPixelTooLargeAndWritesNothing) {
    TileList list;
    MakeList(list);
    std::vector<uint8_t> pixels(list.PixelsAt(2), list.PixelsAt(2) + 128);
    pixels[size_t(3 * 16 + 9)] = 4;
    pixels[size_t(5 * 16 + 1)] = 9;
    list.Append(pixels.data(), 0);
    ByteWriter out;
    const Status st = WriteEncodedTiles(list, PixelEncoding::Planar2Nes, out);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.message(), "3번 타일 (9, 3) 픽셀의 값 4 — 픽셀 형식 2bpp-nes에는 0부터 3까지만 "
                            "저장할 수 있습니다.");
    EXPECT_EQ(out.size(), 0u);
    EXPECT_TRUE(WriteEncodedTiles(list, PixelEncoding::Planar4Snes, out).ok());
}

TEST(EncodedTilesTest, RefusalsLeaveTheListAsItWas) {
    struct Case {
        const char* name;
        int32_t width, height;
        size_t bytes;
        int64_t count;
        const char* message;
    };
    const Case cases[] = {
        {"bytes for two tiles of three", 16, 8, 64, 3, msg::kDamagedFile},
        {"a negative count", 16, 8, 64, -1, msg::kDamagedFile},
        {"more tiles than the list holds", 8, 8, 16 * 50000, 50000, msg::kTileSetFull},
        {"a width not a multiple of 8", 12, 8, 1000, 1, "8의 배수"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileList list;
        list.Setup(c.width, c.height);
        const std::vector<uint8_t> one(size_t(c.width * c.height), 1);
        list.Append(one.data(), 7);
        const std::vector<uint8_t> bytes(c.bytes, 0xA5);
        const Status st = ReadEncodedTiles(bytes, PixelEncoding::Planar2Nes, c.count, list);
        ASSERT_FALSE(st.ok());
        EXPECT_NE(st.message().find(c.message), std::string::npos) << st.message();
        EXPECT_EQ(list.count(), 1u);
    }
}
