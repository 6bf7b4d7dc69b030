// Damaged map files and their descriptors: each read fails with its message
// and leaves the map and the tile set exactly as they were.
#include <gtest/gtest.h>

#include <climits>

#include "TileSetSamples.h"
#include "base/Messages.h"
#include "map/MapFile.h"
#include "support/ReaderState.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

namespace {

using namespace MapItem;

// Two 4 x 4 tiles in the default tile layout.
TileSet SourceTiles() {
    TileSet set = test::MakeTileSet(4, 4);
    test::AddTile(set, 1, 200);
    test::AddTile(set, 50, 5);
    return set;
}

// A 4 x 3 map in the default map layout (size, cells, tile block) with header "HDR".
MapModel SourceMap() {
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(4, 3));
    map.format().header = "HDR";
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = uint16_t(i % 2);
    return map;
}

// The map and tile set read into: a map of their own, with editing state.
struct Target {
    Target() : tiles(test::MakeTileSet(4, 4)) {
        EXPECT_TRUE(map.AllocateCells(7, 2));
        map.cells()[3] = 1;
        test::AddTile(tiles, 9, 1);
    }
    MapModel map;
    TileSet tiles;
};

// The kmf with the given map items and the default tile part.
Bytes Kmf(const Bytes& items, int headerLength = 0) {
    MapFormat format;
    format.items = items;
    format.header.assign(size_t(headerLength), 'h');
    return BuildKmf(format, TileFormat::Default());
}

void ExpectRefused(const Bytes& mapBytes, const Bytes& kmf, const char* message) {
    Target target;
    const auto mapBefore = test::MapState(target.map);
    const auto tilesBefore = test::TileSetState(target.tiles);
    const Status st = ReadMapFile(mapBytes, kmf, target.map, target.tiles);
    ASSERT_FALSE(st) << mapBytes.size() << " + " << kmf.size() << " bytes";
    EXPECT_EQ(st.message(), message) << mapBytes.size() << " + " << kmf.size() << " bytes";
    EXPECT_EQ(test::MapState(target.map), mapBefore);
    EXPECT_EQ(test::TileSetState(target.tiles), tilesBefore);
}

// A map file made by hand: values of the given widths, then `tail`.
Bytes File(std::initializer_list<std::pair<int64_t, int>> values, Bytes tail = {}) {
    ByteWriter out;
    for (const auto& [value, bytes] : values)
        out.writeLE(uint32_t(value), bytes);
    out.write(tail);
    return out.take();
}

} // namespace

TEST(MalformedMap, MapAndDescriptorTruncatedAtEveryOffset) {
    const MapModel map = SourceMap();
    const TileSet tiles = SourceTiles();
    ByteWriter out;
    ASSERT_TRUE(WriteMapFile(map, tiles, out));
    const Bytes file = out.take();
    const Bytes kmf = BuildKmf(map.format(), tiles.format());

    for (size_t n = 0; n < file.size(); ++n)
        ExpectRefused(Bytes(file.begin(), file.begin() + std::ptrdiff_t(n)), kmf,
                      msg::kDamagedFile);
    for (size_t n = 0; n < kmf.size(); ++n)
        ExpectRefused(file, Bytes(kmf.begin(), kmf.begin() + std::ptrdiff_t(n)), msg::kDamagedFile);

    Target whole;
    ASSERT_TRUE(ReadMapFile(file, kmf, whole.map, whole.tiles));
    EXPECT_EQ(whole.map.cells(), map.cells());
}

TEST(MalformedMap, SizesLargerThanTheFile) {
    ExpectRefused(File({{1000, 2}, {1000, 2}}, Bytes(10)), Kmf({SizeWord, CellsByte}),
                  msg::kDamagedFile);
    ExpectRefused(File({{3, 1}, {3, 1}}, Bytes(17)), Kmf({SizeByte, CellsWord}), msg::kDamagedFile);
    ExpectRefused(File({{3, 1}, {3, 1}}, Bytes(9)), Kmf({SizeByte, CellsByte, CellsByte}),
                  msg::kDamagedFile);
    ExpectRefused(Bytes(10, 'x'), Kmf({}, 11), msg::kDamagedFile); // header longer than the file
    // A size that changes after the cells were read does not describe them.
    ExpectRefused(File({{3, 1}, {3, 1}}, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 4, 3}),
                  Kmf({SizeByte, CellsByte, SizeByte}), msg::kDamagedFile);
}

TEST(MalformedMap, ZeroNegativeAndHugeSizes) {
    ExpectRefused(File({{0, 1}, {3, 1}}), Kmf({SizeByte, CellsByte}), msg::kBadMapSize);
    ExpectRefused(File({{3, 1}, {0, 1}}), Kmf({SizeByte}), msg::kBadMapSize);
    ExpectRefused(File({{-1, 4}, {5, 4}}), Kmf({SizeDword, CellsByte}), msg::kBadMapSize);
    ExpectRefused(File({{5, 4}, {INT32_MIN, 4}}), Kmf({SizeDword}), msg::kBadMapSize);
    ExpectRefused(File({{INT32_MAX, 4}, {INT32_MAX, 4}}), Kmf({SizeDword, CellsWord}),
                  msg::kBadMapSize);
    ExpectRefused(File({{INT32_MAX, 4}, {1, 4}}), Kmf({SizeDword}), msg::kBadMapSize);
    ExpectRefused(File({{65536, 4}, {1, 4}}), Kmf({SizeDword}), msg::kBadMapSize);
    // Each side fits, the cells together do not.
    ExpectRefused(File({{65535, 2}, {65535, 2}}), Kmf({SizeWord, CellsByte}),
                  "지도가 너무 큽니다 (최대 268,435,456칸).\n65535 x 65535칸");
}

TEST(MalformedMap, NoSizeBeforeTheCellsOrAtAll) {
    ExpectRefused(File({}, Bytes(9)), Kmf({CellsByte, SizeByte}), msg::kNoTileSize);
    ExpectRefused({}, Kmf({}), msg::kNoTileSize);
    ExpectRefused(Bytes(5), Kmf({255, 6, 127}), msg::kNoTileSize);
}

TEST(MalformedMap, DamagedTileBlock) {
    // The tile block's own failures come through, and nothing is taken over.
    ExpectRefused(File({{2, 1}, {2, 1}, {4, 1}, {4, 1}}), Kmf({SizeByte, TileFile}),
                  msg::kDamagedFile);
    MapFormat format;
    format.items = {SizeByte, TileFile};
    TileFormat noCount = TileFormat::Default();
    noCount.items = {TileItem::SizeByte, TileItem::TileData};
    ExpectRefused(File({{2, 1}, {2, 1}, {4, 1}, {4, 1}}), BuildKmf(format, noCount),
                  msg::kNoTileCount);
}

TEST(MalformedMap, ItemCount255AndUnknownCodes) {
    Bytes kmf = {0, 255};
    kmf.insert(kmf.end(), 255, CellsByte);
    kmf.insert(kmf.end(), {0, 0, 0});
    ExpectRefused(File({{2, 1}, {2, 1}}, Bytes(4)), kmf, msg::kDamagedFile);

    // Codes that are no map item are skipped.
    Target target;
    const Bytes file = File({{2, 1}, {2, 1}}, Bytes{1, 2, 3, 4});
    ASSERT_TRUE(
        ReadMapFile(file, Kmf({SizeByte, 255, 6, 100, CellsByte, 128}), target.map, target.tiles));
    EXPECT_EQ(target.map.cells(), (std::vector<uint16_t>{1, 2, 3, 4}));
}

TEST(MalformedMap, EmptyFiles) {
    const Bytes kmf = BuildKmf(MapFormat::Default(), TileFormat::Default());
    ExpectRefused({}, kmf, msg::kDamagedFile);
    ExpectRefused(File({{4, 1}, {3, 1}}, Bytes(12)), {}, msg::kDamagedFile);
    ExpectRefused({}, {}, msg::kDamagedFile);
}
