#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Messages.h"
#include "io/InputLimits.h"
#include "map/MapFile.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::WriteBytes;

using Bytes = std::vector<uint8_t>;

namespace {

// A tile set of `count` tiles of w x h, tile i filled with i + 1, attribute 0x12340000 + 1000 + i.
TileSet MakeTiles(int count, int32_t w = 16, int32_t h = 16) {
    TileSet set;
    set.format().width = w;
    set.format().height = h;
    set.InitTileSet();
    for (int i = 0; i < count; ++i) {
        Bytes pixels(size_t(w * h), uint8_t(i + 1));
        pixels[0] = uint8_t(7 * i); // not all alike
        set.tiles().Append(pixels.data(), uint32_t(0x12340000 + 1000 + i));
    }
    return set;
}

MapModel MakeMap(int32_t w, int32_t h, std::vector<uint8_t> items, std::string header = "") {
    MapModel map;
    EXPECT_TRUE(map.AllocateCells(w, h));
    map.format().items = std::move(items);
    map.format().header = std::move(header);
    return map;
}

Bytes MapBytes(const MapModel& map, const TileSet& tiles) {
    ByteWriter out;
    EXPECT_TRUE(WriteMapFile(map, tiles, out));
    return out.take();
}

// The tile block as far as it goes (an empty set stops before its first size item).
Bytes TileBlock(const TileSet& tiles) {
    ByteWriter out;
    tiles.WriteTileFile(out);
    return out.take();
}

// Everything a failed read must leave alone.
struct Snapshot {
    explicit Snapshot(const MapModel& map, const TileSet& tiles)
        : mapFormat(map.format()), cells(map.cells()), tileFormat(tiles.format()),
          tileBytes(TileBlock(tiles)), colours(tiles.colourTable(), tiles.colourTable() + 1024) {}
    bool operator==(const Snapshot&) const = default;

    MapFormat mapFormat;
    std::vector<uint16_t> cells;
    TileFormat tileFormat;
    Bytes tileBytes;
    Bytes colours;
};

// `b` as read back from a file of `a`, whose attributes kept the bytes under `mask`.
void ExpectSameTiles(const TileSet& a, const TileSet& b, uint32_t mask = 0xFFFFFFFF) {
    ASSERT_EQ(a.count(), b.count());
    EXPECT_EQ(a.tileWidth(), b.tileWidth());
    EXPECT_EQ(a.tileHeight(), b.tileHeight());
    const size_t size = size_t(a.tileWidth() * a.tileHeight());
    for (int i = 0; i < a.count(); ++i) {
        EXPECT_TRUE(
            std::equal(a.tiles().PixelsAt(i), a.tiles().PixelsAt(i) + size, b.tiles().PixelsAt(i)));
        EXPECT_EQ(a.tiles().AttributeAt(i), b.tiles().AttributeAt(i) & mask);
    }
}

} // namespace

TEST(MapFileTest, WriteValueCutsToItsWidth) {
    ByteWriter out;
    WriteValue(out, 0x12345678, 0);
    WriteValue(out, 0x12345678, 1);
    WriteValue(out, 0x12345678, 2);
    WriteValue(out, 0x12345678, 3);
    EXPECT_EQ(out.bytes(), (Bytes{0x78, 0x78, 0x56, 0x78, 0x56, 0x34, 0x12}));
}

TEST(MapFileTest, WritesTheSmallExampleAndItsDescriptor) {
    MapModel map = MapFormat{}.items.empty()
                       ? MakeMap(3, 2, {MapItem::SizeWord, MapItem::CellsWord}, "HDR")
                       : MapModel();
    map.cells() = {0, 1, 2, 3, 4, kEmptyCell};
    const TileSet tiles = MakeTiles(5);
    EXPECT_EQ(MapBytes(map, tiles),
              (Bytes{0x48, 0x44, 0x52, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,
                     0x03, 0x00, 0x04, 0x00, 0xFF, 0xFF}));

    TempDir dir;
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("town.map"), map, tiles));
    EXPECT_EQ(ReadBytes(dir.file("town.map")).size(), 19u);
    Bytes kmf = ReadBytes(dir.file("town.kmf"));
    ASSERT_GE(kmf.size(), 4u);
    EXPECT_EQ(Bytes(kmf.begin(), kmf.begin() + 4), (Bytes{3, 2, 1, 5}));
    EXPECT_EQ(Bytes(kmf.begin() + 4, kmf.end()), BuildKtf(tiles.format()));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));

    MapModel back;
    TileSet backTiles;
    bool missing = true;
    ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), dir.file("town.map"), back, backTiles, missing));
    EXPECT_FALSE(missing);
    EXPECT_EQ(back.format(), map.format());
    EXPECT_EQ(back.cells(), map.cells());
}

TEST(MapFileTest, DefaultLayoutAndEmptyCellsReadBackAs255) {
    MapModel map; // 64 x 64 empty cells, SizeByte, CellsByte, TileFile
    const TileSet tiles = MakeTiles(3, 32, 32);
    map.cells()[1] = 2;
    const Bytes bytes = MapBytes(map, tiles);
    const Bytes block = TileBlock(tiles);
    ASSERT_EQ(bytes.size(), 2 + 4096 + block.size());
    EXPECT_EQ(bytes[0], 0x40);
    EXPECT_EQ(bytes[1], 0x40);
    EXPECT_EQ(bytes[3], 2);
    EXPECT_EQ(std::count(bytes.begin() + 2, bytes.begin() + 2 + 4096, 0xFF), 4095);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), bytes.begin() + 2 + 4096));

    const Bytes kmf = BuildKmf(map.format(), TileFormat::Default());
    EXPECT_EQ(kmf, (Bytes{0, 3, 0, 4, 3, 0, 0, 5, 0, 4, 6, 7, 9}));
    MapModel back;
    TileSet backTiles;
    ASSERT_TRUE(ReadMapFile(bytes, kmf, back, backTiles));
    EXPECT_EQ(back.width(), 64);
    EXPECT_EQ(back.cells()[1], 2);
    EXPECT_EQ(std::count(back.cells().begin(), back.cells().end(), 255), 4095);
    ExpectSameTiles(backTiles, tiles, 0xFF);
}

TEST(MapFileTest, SizeByteCuts300To44) {
    MapModel map = MakeMap(300, 2, {MapItem::SizeByte, MapItem::CellsByte});
    const Bytes bytes = MapBytes(map, TileSet());
    EXPECT_EQ(bytes[0], 44);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes.size(), 2u + 600u);
    MapModel back;
    TileSet tiles;
    ASSERT_TRUE(ReadMapFile(bytes, BuildKmf(map.format(), tiles.format()), back, tiles));
    EXPECT_EQ(back.width(), 44);
    EXPECT_EQ(back.height(), 2);
}

TEST(MapFileTest, EveryItemRoundTrips) {
    for (AttrWidth attrWidth : {0, 1, 2}) {
        for (int sizeItem : {MapItem::SizeByte, MapItem::SizeWord, MapItem::SizeDword}) {
            SCOPED_TRACE(testing::Message() << "attr " << attrWidth << " size " << sizeItem);
            // Duplicates and an unknown code: each occurrence is written and read in turn.
            MapModel map = MakeMap(5, 3,
                                   {uint8_t(sizeItem), MapItem::CellsByte, 77, MapItem::TileFile,
                                    MapItem::CellsWord, uint8_t(sizeItem), MapItem::TileFile},
                                   "Head");
            for (size_t i = 0; i < map.cells().size(); ++i)
                map.cells()[i] = i % 4 == 3 ? kEmptyCell : uint16_t(i);
            map.cells()[2] = 4000; // names no tile, kept as it is
            TileSet tiles = MakeTiles(4, 8, 4);
            tiles.format().header = "TH";
            tiles.format().attrWidth = attrWidth;
            tiles.format().items = {TileItem::SizeWord,
                                    TileItem::CountDword,
                                    TileItem::TileAttrData,
                                    TileItem::Palette1024,
                                    99,
                                    TileItem::Palette768};
            ColourTable colours{};
            for (size_t i = 0; i < colours.size(); ++i)
                colours[i] = i % 4 == 3 ? 0 : uint8_t(i * 4);
            tiles.SetColourTable(colours);

            const Bytes bytes = MapBytes(map, tiles);
            MapModel back;
            TileSet backTiles;
            backTiles.setCurrent(9);
            ASSERT_TRUE(
                ReadMapFile(bytes, BuildKmf(map.format(), tiles.format()), back, backTiles));
            EXPECT_EQ(back.format(), map.format());
            EXPECT_EQ(back.cells(), map.cells());
            EXPECT_EQ(backTiles.format(), tiles.format());
            ExpectSameTiles(backTiles, tiles,
                            attrWidth == 0   ? 0xFF
                            : attrWidth == 1 ? 0xFFFF
                                             : ~0u);
            EXPECT_TRUE(std::equal(colours.begin(), colours.end(), backTiles.colourTable()));
            // What the file does not hold stays.
            EXPECT_EQ(backTiles.current(), 9);
            // And it writes back to the very same bytes.
            EXPECT_EQ(MapBytes(back, backTiles), bytes);
        }
    }
}

TEST(MapFileTest, HeaderEndsAtZeroByteAndLayoutWithoutCellsGivesEmptyGrid) {
    Bytes bytes = {'A', 'B', 0, 'C', 4, 0, 3, 0};
    MapReadLayout layout;
    layout.descriptor.headerLength = 4;
    layout.descriptor.items = {MapItem::SizeWord};
    MapModel map;
    TileSet tiles;
    ASSERT_TRUE(ReadMapFile(bytes, layout, map, tiles));
    EXPECT_EQ(map.format().header, "AB");
    EXPECT_EQ(map.width(), 4);
    EXPECT_EQ(map.height(), 3);
    EXPECT_EQ(map.cells(), std::vector<uint16_t>(12, kEmptyCell));
}

TEST(MapFileTest, LayoutSetByHandGivesTheSizeWithoutSizeItem) {
    MapReadLayout layout;
    layout.descriptor.items = {MapItem::CellsByte};
    layout.hasSize = true;
    layout.width = 2;
    layout.height = 2;
    MapModel map;
    TileSet tiles;
    ASSERT_TRUE(ReadMapFile(Bytes{1, 2, 3, 4}, layout, map, tiles));
    EXPECT_EQ(map.cells(), (std::vector<uint16_t>{1, 2, 3, 4}));

    layout.width = 0; // the dialog lets any number through
    EXPECT_EQ(ReadMapFile(Bytes{1, 2, 3, 4}, layout, map, tiles).message(), msg::kBadMapSize);
}

TEST(MapFileTest, WithoutTileFileTheTileSetKeepsItsTilesButTakesTheLayout) {
    MapModel map = MakeMap(2, 1, {MapItem::SizeByte, MapItem::CellsByte});
    TileFormat tileLayout = TileFormat::Default();
    tileLayout.items = {TileItem::Palette1024};
    tileLayout.attrWidth = 2;
    const Bytes kmf = BuildKmf(map.format(), tileLayout);

    TileSet tiles = MakeTiles(3);
    const TileSet before = MakeTiles(3);
    MapModel back;
    ASSERT_TRUE(ReadMapFile(MapBytes(map, tiles), kmf, back, tiles));
    ExpectSameTiles(tiles, before);
    EXPECT_EQ(tiles.format().items, tileLayout.items);
    EXPECT_EQ(tiles.format().attrWidth, 2);
}

TEST(MapFileTest, RefusedReadsLeaveEverythingAsItWas) {
    MapModel source = MakeMap(4, 4, {MapItem::SizeWord, MapItem::TileFile, MapItem::CellsWord});
    std::fill(source.cells().begin(), source.cells().end(), 1);
    const TileSet sourceTiles = MakeTiles(2);
    const Bytes bytes = MapBytes(source, sourceTiles);
    const Bytes kmf = BuildKmf(source.format(), sourceTiles.format());

    MapModel map = MakeMap(3, 3, {MapItem::CellsByte}, "mine");
    map.cells()[4] = 7;
    TileSet tiles = MakeTiles(5, 8, 8);
    tiles.format().items = {TileItem::SizeByte, TileItem::CountByte, TileItem::TileData};
    const Snapshot before(map, tiles);

    const auto expectRefused = [&](std::span<const uint8_t> data, std::span<const uint8_t> layout,
                                   const char* message) {
        EXPECT_EQ(ReadMapFile(data, layout, map, tiles).message(), message);
        EXPECT_TRUE(Snapshot(map, tiles) == before);
    };
    // Every cut of the .map and of the .kmf.
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        expectRefused(std::span(bytes).first(n), kmf, msg::kDamagedFile);
    }
    for (size_t n = 0; n < kmf.size(); ++n)
        expectRefused(bytes, std::span(kmf).first(n), msg::kDamagedFile);

    // A size item after the cells: saved, but never read.
    MapFormat late = source.format();
    late.items = {MapItem::CellsWord, MapItem::SizeWord};
    expectRefused(bytes, BuildKmf(late, sourceTiles.format()), msg::kNoTileSize);
    // No size at all.
    late.items = {77};
    expectRefused(bytes, BuildKmf(late, sourceTiles.format()), msg::kNoTileSize);
    // A second size that does not match the cells already read.
    late.items = {MapItem::SizeWord, MapItem::CellsByte, MapItem::SizeByte};
    expectRefused(Bytes{2, 0, 1, 0, 9, 9, 3, 1}, BuildKmf(late, sourceTiles.format()),
                  msg::kDamagedFile);
    // The embedded tile file's own failures.
    TileFormat noCount = sourceTiles.format();
    noCount.items = {TileItem::SizeByte, TileItem::TileData};
    expectRefused(bytes, BuildKmf(source.format(), noCount), msg::kNoTileCount);
}

TEST(MapFileTest, SizesTheMapCannotHoldAreRefusedBeforeAnyGrid) {
    MapModel map;
    TileSet tiles;
    const Snapshot before(map, tiles);
    MapFormat layout;
    layout.items = {MapItem::SizeDword, MapItem::CellsByte};
    const Bytes kmf = BuildKmf(layout, tiles.format());
    const auto sizes = [](int32_t w, int32_t h) {
        ByteWriter out;
        out.writeU32(uint32_t(w));
        out.writeU32(uint32_t(h));
        return out.take();
    };
    // Just inside the limit the size is fine and the file is too short for
    // it; just outside, the map is too large, and never called damaged.
    const std::string tooLarge = "지도가 너무 큽니다 (최대 268,435,456칸).\n";
    const struct {
        int32_t w, h;
        std::string message;
    } cases[] = {
        {0, 5, msg::kBadMapSize},
        {5, 0, msg::kBadMapSize},
        {-3, 5, msg::kBadMapSize},
        {65536, 1, msg::kBadMapSize},
        {16384, 16384, msg::kDamagedFile},
        {65535, 4096, msg::kDamagedFile},
        {16385, 16384, tooLarge + "16385 x 16384칸"},
        {16384, 16385, tooLarge + "16384 x 16385칸"},
        {65535, 4097, tooLarge + "65535 x 4097칸"},
        {65535, 65535, tooLarge + "65535 x 65535칸"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadMapFile(sizes(c.w, c.h), kmf, map, tiles).message(), c.message)
            << c.w << " x " << c.h;
        EXPECT_TRUE(Snapshot(map, tiles) == before);
    }
}

TEST(MapFileTest, SavesThatCouldNotBeReadBackAreRefused) {
    TempDir dir;
    const MapModel map; // the default layout holds TileFile
    ByteWriter out;
    EXPECT_EQ(WriteMapFile(map, TileSet(), out).message(), msg::kNoTilesToEmbed);
    EXPECT_FALSE(SaveMapFiles(FileSystem::Native(), dir.file("a.map"), map, TileSet()));
    // A map named like its descriptor would be overwritten by it.
    const Status st = SaveMapFiles(FileSystem::Native(), dir.file("a.kmf"), map, MakeTiles(1));
    EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + dir.file("a.kmf"));
    EXPECT_TRUE(dir.entries().empty());
}

TEST(MapFileTest, FailedSaveLeavesTheOldFiles) {
    TempDir dir;
    const std::string path = dir.file("old.map");
    WriteBytes(path, {1, 2, 3});
    WriteBytes(dir.file("old.kmf"), {4, 5});
    const MapModel map;
    const TileSet tiles = MakeTiles(1);
    using Fault = FaultyFileSystem::Fault;
    for (Fault fault :
         {Fault::Create, Fault::Write, Fault::Sync, Fault::Close, Fault::Rename, Fault::Link}) {
        for (int first = 0; first < 2; ++first) {
            FaultyFileSystem fs;
            fs.fault = fault;
            fs.succeedFirst = first;
            // A disk that fills up in the .map, or in the .kmf after it.
            fs.writeBudget = first == 0 ? 10 : int64_t(MapBytes(map, tiles).size()) + 2;
            const Status st = SaveMapFiles(fs, path, map, tiles);
            ASSERT_FALSE(st);
            EXPECT_EQ(st.message().rfind(msg::kSaveFailed, 0), 0u);
            EXPECT_EQ(ReadBytes(path), (Bytes{1, 2, 3}));
            EXPECT_EQ(ReadBytes(dir.file("old.kmf")), (Bytes{4, 5}));
            EXPECT_EQ(dir.entries(), (std::vector<std::string>{"old.kmf", "old.map"}));
        }
    }
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, tiles));
    EXPECT_EQ(ReadBytes(path), MapBytes(map, tiles));
}

TEST(MapFileTest, OpenTellsAMissingDescriptorFromOtherFailures) {
    TempDir dir;
    MapModel map;
    TileSet tiles;
    bool missing = false;
    WriteBytes(dir.file("a.map"), {1, 1, 0});
    EXPECT_EQ(OpenMapFiles(FileSystem::Native(), dir.file("a.map"), map, tiles, missing).message(),
              msg::kKmfMissing);
    EXPECT_TRUE(missing);

    WriteBytes(dir.file("b.kmf"), BuildKmf(MapFormat::Default(), tiles.format()));
    const Status st = OpenMapFiles(FileSystem::Native(), dir.file("b.map"), map, tiles, missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(st.message(), std::string(msg::kOpenFailed) + "\n" + dir.file("b.map"));

    WriteBytes(dir.file("c.kmf"), {0, 200});
    EXPECT_EQ(OpenMapFiles(FileSystem::Native(), dir.file("c.map"), map, tiles, missing).message(),
              msg::kDamagedFile);
    EXPECT_FALSE(missing);
}

// A file larger than the largest map can be (a sparse one here) holds a map
// too large to open: it is refused as such, before anything is read.
TEST(MapFileTest, AFileLargerThanTheLargestMapIsATooLargeMap) {
    TempDir dir;
    MapModel map;
    TileSet tiles;
    bool missing = false;
    WriteBytes(dir.file("big.kmf"), BuildKmf(MapFormat::Default(), tiles.format()));
    WriteBytes(dir.file("big.map"), {});
    std::filesystem::resize_file(dir.file("big.map"), kMaxMapFileBytes + 1);
    const Status st = OpenMapFiles(FileSystem::Native(), dir.file("big.map"), map, tiles, missing);
    EXPECT_EQ(st.message().rfind(MapModel::TooLargeMessage() + "\n", 0), 0u) << st.message();
    EXPECT_NE(st.message().find(dir.file("big.map")), std::string::npos);
    EXPECT_EQ(map.width(), 64);
}

// The cells are read in pieces of 2^20; a map of several pieces, the last a
// part one, reads back whole with every cell in its place: from memory and
// from a file (mapped at that size), with the words at an even or an odd
// offset, and as the first cell item or one that overwrites an earlier one.
TEST(MapFileTest, AMapOfManyReadPiecesReadsBackWhole) {
    struct Case {
        std::vector<uint8_t> items;
        std::string header;
    };
    const Case cases[] = {
        {{MapItem::SizeWord, MapItem::CellsWord}, ""},
        {{MapItem::SizeWord, MapItem::CellsWord}, "H"},
        {{MapItem::SizeWord, MapItem::CellsByte, MapItem::CellsWord}, "Hd"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        MapModel map = MakeMap(1500, 1500, c.items, c.header);
        for (size_t i = 0; i < map.cells().size(); ++i)
            map.cells()[i] = uint16_t(i % 65521); // 2^20 cells on, a different value
        const TileSet tiles;
        MapModel fromMemory;
        TileSet memoryTiles;
        ASSERT_TRUE(ReadMapFile(MapBytes(map, tiles), BuildKmf(map.format(), tiles.format()),
                                fromMemory, memoryTiles));
        EXPECT_TRUE(fromMemory.cells() == map.cells());

        const std::string path = dir.file("big.map");
        ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, tiles));
        MapModel fromFile;
        TileSet fileTiles;
        bool missing = false;
        ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), path, fromFile, fileTiles, missing));
        EXPECT_TRUE(fromFile.cells() == map.cells());
    }
}
