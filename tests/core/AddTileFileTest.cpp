#include <gtest/gtest.h>

#include "TileSetSamples.h"
#include "base/Messages.h"
#include "tileset/AddTileFile.h"

using namespace kesh;
using namespace kesh::test;

namespace {

std::vector<uint8_t> Write(const TileSet& set) {
    ByteWriter out;
    set.WriteTileFile(out);
    return out.take();
}

TileDescriptor LayoutOf(const TileSet& set) {
    return {int(set.format().header.size()), set.format().attrWidth, set.format().items};
}

// A 16 x 16 file with tiles of the given seeds (attribute = seed) in `colour` at entry 0.
TileSet Source(std::initializer_list<int> seeds, uint8_t colour = 200) {
    TileSet set = MakeTileSet(16, 16);
    for (int seed : seeds)
        AddTile(set, seed, uint32_t(seed));
    ColourTable colours{};
    colours[2] = colour;
    set.SetColourTable(colours);
    return set;
}

} // namespace

TEST(AddTileFile, AddsNewTilesAfterTheOldOnesAndSkipsIdenticalOnes) {
    TileSet set = Source({1, 2});
    set.format().header = "OLD";
    TileSet other = Source({2, 3, 3, 4}, 100);     // 3 twice: the file itself holds a duplicate
    set.tiles().Append(Pixels(set, 4).data(), 99); // same pixels as 4, other attribute
    other.format().header = "NEWHDR";
    const auto file = Write(other);

    const AddTileFileResult r = AddTileFile(set, file, LayoutOf(other));
    ASSERT_TRUE(r.status);
    EXPECT_EQ(r.added, 2);
    EXPECT_FALSE(r.setFull);
    ASSERT_EQ(set.count(), 5);
    EXPECT_EQ(set.tiles().AttributeAt(3), 3u);
    EXPECT_EQ(set.tiles().AttributeAt(4), 4u);
    EXPECT_EQ(set.colourTable()[2], 100) << "the file's palette";
    EXPECT_EQ(set.format().header, "NEWHDR");
    EXPECT_EQ(set.format().items, TileFormat::Default().items);
}

TEST(AddTileFile, TheFileJustSavedAddsNothingButItsPalette) {
    TileSet set = Source({1, 2, 3});
    const auto file = Write(set);
    ColourTable other{};
    set.SetColourTable(other);
    const AddTileFileResult r = AddTileFile(set, file, LayoutOf(set));
    ASSERT_TRUE(r.status);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(set.count(), 3);
    EXPECT_EQ(set.colourTable()[2], 200);
}

TEST(AddTileFile, LayoutSetByHandGivesTheSizeAndKeepsTheSetsOwnLayout) {
    TileSet other = Source({5});
    other.format().items = {TileItem::CountByte, TileItem::TileAttrData};
    other.format().attrWidth = 2;
    const auto file = Write(other);

    TileSet set = Source({1});
    const ColourTable before = [&] {
        ColourTable t;
        std::copy_n(set.colourTable(), 1024, t.begin());
        return t;
    }();
    EXPECT_EQ(AddTileFile(set, file, LayoutOf(other)).status.message(), msg::kNoTileSize);
    const AddTileFileResult r = AddTileFile(set, file, LayoutOf(other), 16, 16);
    ASSERT_TRUE(r.status);
    EXPECT_EQ(set.count(), 2);
    EXPECT_EQ(set.tiles().AttributeAt(1), 5u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), set.colourTable())) << "no palette item";
    EXPECT_EQ(set.format().attrWidth, 0);
    EXPECT_EQ(set.format().items, TileFormat::Default().items);
}

TEST(AddTileFile, FailuresLeaveTheSetExactlyAsItWas) {
    TileSet big = MakeTileSet(32, 32);
    AddTile(big, 0, 0);
    big.format().header = "BIG";
    const auto bigFile = Write(big);
    const auto good = Write(Source({7, 8}));

    TileSet set = Source({1});
    set.format().header = "MINE";
    const Snapshot before(set);
    const AddTileFileResult mismatch = AddTileFile(set, bigFile, LayoutOf(big));
    EXPECT_EQ(mismatch.status.message(), msg::kTileSizeMismatch);
    EXPECT_EQ(Snapshot(set), before) << "header included";

    const TileDescriptor layout{0, 0, TileFormat::Default().items};
    for (size_t n = 0; n < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_EQ(AddTileFile(set, cut, layout).status.message(), msg::kDamagedFile);
    }
    EXPECT_EQ(Snapshot(set), before);
}

TEST(AddTileFile, AFullSetTakesWhatFitsAndSaysSo) {
    TileSet set = MakeTileSet(128, 128); // holds 190 tiles
    for (int i = 0; i < 188; ++i)
        AddTile(set, i, 0);
    TileSet other = MakeTileSet(128, 128);
    for (int seed : {0, 500, 501, 1, 502})
        AddTile(other, seed, 0);
    const AddTileFileResult r = AddTileFile(set, Write(other), LayoutOf(other));
    ASSERT_TRUE(r.status);
    EXPECT_TRUE(r.setFull);
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(set.count(), 190);
}

TEST(AddTileFile, CountWithoutBlocksAddsOneBlankTile) {
    TileSet set = Source({1});
    const std::vector<uint8_t> file{16, 16, 0xFF, 0xFF, 0xFF, 0x7F};
    const TileDescriptor layout{0, 0, {TileItem::SizeByte, TileItem::CountDword}};
    const AddTileFileResult r = AddTileFile(set, file, layout);
    ASSERT_TRUE(r.status);
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(set.tiles().PixelsAt(1)[255], 0);
}
