// Damaged tile files, read whole (ReadTileFile) and added to a set
// (AddTileFile): each fails with its message and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include <climits>

#include "TileSetSamples.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "support/ReaderState.h"
#include "tileset/AddTileFile.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

namespace {

constexpr uint8_t kJunk = 3; // bytes before the tile block, as in a map file

// Two 4 x 4 tiles, header "HD", the default items.
TileSet Source() {
    TileSet set = test::MakeTileSet(4, 4);
    set.format().header = "HD";
    test::AddTile(set, 1, 200);
    test::AddTile(set, 50, 5);
    return set;
}

Bytes FileOf(const TileSet& set) {
    ByteWriter out;
    EXPECT_TRUE(set.WriteTileFile(out));
    return out.take();
}

// A set with a tile, colours and a header of its own, to read into.
TileSet Target(const Bytes& items, AttrWidth attrWidth = 0) {
    TileSet set = test::MakeTileSet(4, 4);
    set.format().header = "OLD";
    set.format().items = items;
    set.format().attrWidth = attrWidth;
    test::AddTile(set, 9, 1);
    ColourTable colours;
    colours.fill(0x44);
    set.SetColourTable(colours);
    return set;
}

// Reads `file` after kJunk leading bytes into Target(items); expects the
// failure `message`, the set unchanged and the reader back where it was.
void ExpectReadRefused(const Bytes& items, int headerLength, const Bytes& file,
                       const char* message) {
    TileSet set = Target(items);
    const auto before = test::TileSetState(set);
    Bytes bytes(kJunk + file.size(), 0xEE);
    std::copy(file.begin(), file.end(), bytes.begin() + kJunk);
    ByteReader in(bytes);
    in.seek(kJunk);
    const Status st = set.ReadTileFile(in, headerLength);
    ASSERT_FALSE(st) << file.size() << " bytes";
    EXPECT_EQ(st.message(), message) << file.size() << " bytes";
    EXPECT_EQ(test::TileSetState(set), before);
    EXPECT_EQ(in.pos(), kJunk);
}

void ExpectAddRefused(const Bytes& items, int headerLength, const Bytes& file,
                      const char* message) {
    TileSet set = Target(TileFormat::Default().items);
    const auto before = test::TileSetState(set);
    const AddTileFileResult result = AddTileFile(set, file, TileDescriptor{headerLength, 0, items});
    ASSERT_FALSE(result.status) << file.size() << " bytes";
    EXPECT_EQ(result.status.message(), message);
    EXPECT_EQ(result.added, 0);
    EXPECT_EQ(test::TileSetState(set), before);
}

void ExpectBothRefused(const Bytes& items, const Bytes& file, const char* message) {
    ExpectReadRefused(items, 0, file, message);
    ExpectAddRefused(items, 0, file, message);
}

// Tile files made by hand: values of the given widths, then `tail`.
Bytes File(std::initializer_list<std::pair<int64_t, int>> values, Bytes tail = {}) {
    ByteWriter out;
    for (const auto& [value, bytes] : values)
        out.writeLE(uint32_t(value), bytes);
    out.write(tail);
    return out.take();
}

// 32 pixel bytes, then a count byte.
Bytes TwoTilesThenCount(uint8_t count) {
    Bytes bytes(32, 2);
    bytes.push_back(count);
    return bytes;
}

using namespace TileItem;
const Bytes kSizeCountTiles = {SizeDword, CountDword, TileData};

} // namespace

TEST(MalformedTileFile, TruncatedAtEveryOffset) {
    const TileSet source = Source();
    const Bytes file = FileOf(source);
    ASSERT_EQ(file.size(), 2u + 2 + 2 + 32 + 2 + 768);
    for (size_t n = 0; n < file.size(); ++n) {
        const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
        ExpectReadRefused(source.format().items, 2, cut, msg::kDamagedFile);
        ExpectAddRefused(source.format().items, 2, cut, msg::kDamagedFile);
    }
    TileSet whole = Target(source.format().items);
    ByteReader in(file);
    ASSERT_TRUE(whole.ReadTileFile(in, 2));
    EXPECT_EQ(test::TilesState(whole.tiles()), test::TilesState(source.tiles()));
}

TEST(MalformedTileFile, CountsAndSizesLargerThanTheFile) {
    const Bytes twoTiles(32, 7);
    ExpectBothRefused(kSizeCountTiles, File({{4, 4}, {4, 4}, {3, 4}}, twoTiles), msg::kDamagedFile);
    ExpectBothRefused(kSizeCountTiles, File({{4, 4}, {5, 4}, {2, 4}}, twoTiles), msg::kDamagedFile);
    ExpectBothRefused({SizeByte, CountByte, TileAttrData}, File({{4, 1}, {4, 1}, {2, 1}}, twoTiles),
                      msg::kDamagedFile);
    // A count read after the tiles must still fit the tile block.
    ExpectBothRefused({SizeByte, CountByte, TileData, CountByte},
                      File({{4, 1}, {4, 1}, {2, 1}}, TwoTilesThenCount(3)), msg::kDamagedFile);
    // A header longer than the file.
    ExpectReadRefused({}, 255, Bytes(10, 'x'), msg::kDamagedFile);
    ExpectAddRefused({}, 255, Bytes(10, 'x'), msg::kDamagedFile);
}

TEST(MalformedTileFile, ZeroAndNegativeSizesAndCounts) {
    ExpectBothRefused(kSizeCountTiles, File({{-1, 4}, {4, 4}, {1, 4}}, Bytes(16)),
                      msg::kNoTileSize);
    ExpectBothRefused(kSizeCountTiles, File({{4, 4}, {INT32_MIN, 4}, {1, 4}}, Bytes(16)),
                      msg::kNoTileSize);
    ExpectBothRefused(kSizeCountTiles, File({{4, 4}, {4, 4}, {-1, 4}}), msg::kNoTileCount);
    ExpectBothRefused({SizeDword, CountByte}, File({{-5, 4}, {-5, 4}, {1, 1}}), msg::kNoTileSize);
    // Tiles of no pixels can't have been saved by this program.
    ExpectReadRefused(kSizeCountTiles, 0, File({{0, 4}, {0, 4}, {2, 4}}), msg::kDamagedFile);
    ExpectReadRefused(kSizeCountTiles, 0, File({{0, 4}, {4, 4}, {0, 4}}), msg::kDamagedFile);
    ExpectAddRefused(kSizeCountTiles, 0, File({{0, 4}, {0, 4}, {2, 4}}), msg::kTileSizeMismatch);

    // No tiles at all is a tile file all the same.
    TileSet set = Target(kSizeCountTiles);
    const Bytes none = File({{4, 4}, {4, 4}, {0, 4}});
    ByteReader in(none);
    ASSERT_TRUE(set.ReadTileFile(in, 0));
    EXPECT_EQ(set.count(), 0);
}

TEST(MalformedTileFile, HugeSizesAndCounts) {
    const int64_t huge = INT32_MAX;
    ExpectBothRefused(kSizeCountTiles, File({{huge, 4}, {huge, 4}, {1, 4}}, Bytes(64)),
                      msg::kDamagedFile);
    ExpectBothRefused(kSizeCountTiles, File({{1, 4}, {1, 4}, {huge, 4}}, Bytes(64)),
                      msg::kDamagedFile);
    ExpectBothRefused({SizeByte, CountDword, AttrData},
                      File({{4, 1}, {4, 1}, {huge, 4}}, Bytes(64)), msg::kDamagedFile);
    // No pixel block: the count alone would ask for two billion blank tiles.
    ExpectReadRefused({SizeByte, CountDword}, 0, File({{1, 1}, {1, 1}, {huge, 4}}),
                      msg::kDamagedFile);
    ExpectReadRefused({SizeDword, CountByte}, 0, File({{huge, 4}, {1, 4}, {0, 1}}),
                      msg::kDamagedFile);
    // A blank tile larger than a pool block can't be held either.
    ExpectReadRefused({SizeWord, CountByte}, 0, File({{600, 2}, {600, 2}, {1, 1}}),
                      msg::kDamagedFile);
}

TEST(MalformedTileFile, UnknownCodesAndLongLayouts) {
    // Codes that are no item are skipped: this file reads as two 4 x 4 tiles.
    const Bytes items = {255, 11, SizeByte, 128, CountByte, 99, TileData, 200};
    TileSet set = Target(items);
    const Bytes file = File({{4, 1}, {4, 1}, {2, 1}}, Bytes(32, 3));
    ByteReader in(file);
    ASSERT_TRUE(set.ReadTileFile(in, 0));
    EXPECT_EQ(set.count(), 2);
    EXPECT_TRUE(in.atEnd());

    // Nothing but unknown codes: no size.
    ExpectBothRefused(Bytes(127, 0xFF), file, msg::kNoTileSize);
    // The longest layout, each item asking for more than the last.
    ExpectBothRefused(Bytes(127, Palette1024), Bytes(1024 * 126), msg::kDamagedFile);
}

TEST(MalformedTileFile, EmptyFiles) {
    ExpectBothRefused(TileFormat::Default().items, {}, msg::kDamagedFile);
    ExpectBothRefused({}, {}, msg::kNoTileSize);
    ExpectBothRefused({SizeByte}, File({{4, 1}, {4, 1}}), msg::kNoTileCount);
    ExpectBothRefused({Palette768}, {}, msg::kDamagedFile);
}
