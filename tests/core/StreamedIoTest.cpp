// Reading files without filling memory first, and saves that stream their
// bytes to the temporary file: the results are exactly those of the plain ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Messages.h"
#include "io/ByteWriter.h"
#include "io/FileSystem.h"
#include "io/InputLimits.h"
#include "map/MapFile.h"
#include "map/MapImageRows.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::WriteBytes;

using Bytes = std::vector<uint8_t>;

namespace {

Bytes Pattern(size_t size, uint32_t seed) {
    Bytes bytes(size);
    for (auto& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = uint8_t(seed >> 24);
    }
    return bytes;
}

Bytes Of(const FileBytes& file) {
    return Bytes(file.data(), file.data() + file.size());
}

TileSet Tiles(int count, int32_t w, int32_t h) {
    TileSet set;
    set.format().width = w;
    set.format().height = h;
    set.InitTileSet();
    for (int i = 0; i < count; ++i) {
        Bytes pixels = Pattern(size_t(w * h), uint32_t(i));
        set.tiles().Append(pixels.data(), uint32_t(i));
    }
    return set;
}

MapModel Map(int32_t w, int32_t h, std::vector<uint8_t> items, std::string header = "") {
    MapModel map;
    map.AllocateCells(w, h);
    map.format().items = std::move(items);
    map.format().header = std::move(header);
    auto& cells = map.cells();
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = i % 13 == 0 ? kEmptyCell : uint16_t((i * 7) % 600);
    return map;
}

} // namespace

TEST(ReadBytes, SmallLargeEmptyAndMissingFilesReadAsTheyAre) {
    TempDir dir;
    FileSystem& fs = FileSystem::Native();
    // Below and above the size from which files are mapped.
    for (size_t size : {size_t(0), size_t(1), size_t(4096), size_t(3) << 20}) {
        const Bytes bytes = Pattern(size, uint32_t(size));
        WriteBytes(dir.file("f.bin"), bytes);
        auto read = fs.readBytes(dir.file("f.bin"), kMaxMapFileBytes);
        ASSERT_TRUE(read) << size;
        EXPECT_EQ(Of(*read), bytes) << size;
        // Letting pages go leaves every byte readable.
        read->Release(0, read->size());
        EXPECT_EQ(Of(*read), bytes) << size;
        // The old whole-file read gives the same, also at exactly its size.
        EXPECT_EQ(fs.readFile(dir.file("f.bin"), kMaxMapFileBytes), bytes) << size;
    }
    EXPECT_FALSE(fs.readBytes(dir.file("missing.bin"), kMaxMapFileBytes));
    EXPECT_FALSE(fs.readFile(dir.file("missing.bin"), kMaxMapFileBytes));
    // A file whose size the system does not know beforehand.
    const auto status = fs.readBytes("/proc/self/status", kMaxMapFileBytes);
    ASSERT_TRUE(status);
    EXPECT_GT(status->size(), 0u);
    EXPECT_EQ(Bytes(status->data(), status->data() + 5), Bytes({'N', 'a', 'm', 'e', ':'}));
}

TEST(ByteWriterSink, PassesEveryByteOnInOrderInPiecesAndKeepsAFailure) {
    Bytes got;
    std::vector<size_t> pieces;
    ByteWriter out(
        [&](const uint8_t* data, size_t size) {
            got.insert(got.end(), data, data + size);
            pieces.push_back(size);
            return true;
        },
        64);
    Bytes expected;
    const Bytes big = Pattern(1000, 1);
    for (int i = 0; i < 50; ++i) {
        out.writeLE(uint32_t(i), 2);
        expected.push_back(uint8_t(i));
        expected.push_back(0);
        out.write(big.data(), size_t(i * 7));
        expected.insert(expected.end(), big.begin(), big.begin() + i * 7);
    }
    EXPECT_EQ(out.size(), expected.size());
    EXPECT_TRUE(out.Flush());
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(std::all_of(pieces.begin(), pieces.end(), [](size_t n) { return n <= 66; }));

    int calls = 0;
    ByteWriter refusing(
        [&](const uint8_t*, size_t) {
            ++calls;
            return false;
        },
        16);
    refusing.write(big.data(), 100);
    refusing.write(big.data(), 100);
    EXPECT_FALSE(refusing.Flush());
    EXPECT_EQ(calls, 1); // nothing more is passed on after a refusal
}

TEST(ByteWriterSink, SmallValuesArePassedOnInWholePieces) {
    // A file made of values alone (attributes, palettes) must not pile up in
    // the writer: every piece but the last is exactly the piece size.
    Bytes got;
    std::vector<size_t> pieces;
    ByteWriter out(
        [&](const uint8_t* data, size_t size) {
            got.insert(got.end(), data, data + size);
            pieces.push_back(size);
            return true;
        },
        16);
    Bytes expected;
    for (uint32_t i = 0; i < 40; ++i) {
        out.writeU8(uint8_t(i));
        out.writeLE(0x01020300u + i, 4);
        out.writeU16(uint16_t(0xAB00 + i));
        expected.insert(expected.end(), {uint8_t(i), uint8_t(i), 3, 2, 1, uint8_t(i), 0xAB});
    }
    EXPECT_LE(out.bytes().size(), 16u);
    EXPECT_TRUE(out.Flush());
    EXPECT_EQ(got, expected);
    ASSERT_EQ(pieces.size(), (expected.size() + 15) / 16);
    EXPECT_TRUE(std::all_of(pieces.begin(), pieces.end() - 1, [](size_t n) { return n == 16; }));
}

TEST(StreamedSave, ASourceThatFailsLeavesTheOldFilesAndGivesItsReason) {
    TempDir dir;
    WriteBytes(dir.file("a.bin"), {1, 2, 3});
    const Status st =
        SaveFiles(FileSystem::Native(),
                  std::vector<FileSource>{{dir.file("a.bin"),
                                           [](ByteWriter& out) {
                                               out.write(Pattern(3 << 20, 5).data(), 3 << 20);
                                               return Status::Ok();
                                           }},
                                          {dir.file("b.bin"), [](ByteWriter& out) {
                                               out.writeU8(9);
                                               return Status::Fail(msg::kNoTilesToEmbed);
                                           }}});
    EXPECT_EQ(st.message(), msg::kNoTilesToEmbed);
    EXPECT_EQ(ReadBytes(dir.file("a.bin")), Bytes({1, 2, 3}));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.bin"});
}

TEST(StreamedSave, ALargeMapSavedAndOpenedThroughFilesIsTheSameAtEveryAlignment) {
    TempDir dir;
    const TileSet tiles = Tiles(600, 8, 8);
    // Headers of odd and even length put the cells at odd and even offsets;
    // 1024 x 1024 cells make the file large enough to be mapped.
    for (const std::string header : {"", "K", "KE"}) {
        for (uint8_t cellsItem : {MapItem::CellsWord, MapItem::CellsByte}) {
            const MapModel map = Map(
                1024, 1024, {MapItem::SizeWord, cellsItem, MapItem::TileFile, cellsItem}, header);
            const std::string path = dir.file("big.map");
            ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), path, map, tiles));
            ByteWriter whole;
            ASSERT_TRUE(WriteMapFile(map, tiles, whole));
            EXPECT_EQ(ReadBytes(path), whole.bytes());

            MapModel back;
            TileSet backTiles;
            bool missing = false;
            ASSERT_TRUE(OpenMapFiles(FileSystem::Native(), path, back, backTiles, missing));
            std::vector<uint16_t> expected = map.cells();
            if (cellsItem == MapItem::CellsByte)
                for (auto& c : expected)
                    c &= 0xFF;
            EXPECT_EQ(back.cells(), expected) << header.size() << " " << int(cellsItem);
            EXPECT_EQ(backTiles.count(), 600);
            EXPECT_EQ(back.format().header, header);
        }
    }
}

TEST(StreamedSave, AWriteThatStopsInTheCellsLeavesTheOldMap) {
    TempDir dir;
    const std::string path = dir.file("town.map");
    const MapModel map = Map(1024, 1024, {MapItem::SizeWord, MapItem::CellsWord});
    const TileSet tiles = Tiles(3, 8, 8);
    WriteBytes(path, {1, 2, 3});
    WriteBytes(dir.file("town.kmf"), {4, 5});
    for (int64_t budget : {int64_t(0), int64_t(3), int64_t(1) << 20, (int64_t(1) << 21) + 2}) {
        FaultyFileSystem fs;
        fs.fault = FaultyFileSystem::Fault::Write;
        fs.writeBudget = budget;
        const Status st = SaveMapFiles(fs, path, map, tiles);
        EXPECT_EQ(st.message(), std::string(msg::kSaveFailed) + "\n" + path) << budget;
        EXPECT_EQ(ReadBytes(path), Bytes({1, 2, 3}));
        EXPECT_EQ(ReadBytes(dir.file("town.kmf")), Bytes({4, 5}));
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"town.kmf", "town.map"}));
    }
}

TEST(MapImageRowsWidths, EveryTileWidthComposesAsTileByTile) {
    for (int32_t w : {1, 3, 8, 16, 32, 33}) {
        const TileSet tiles = Tiles(5, w, 3);
        MapModel map = Map(7, 4, MapFormat::Default().items);
        for (auto& c : map.cells())
            c = c == kEmptyCell ? c : uint16_t(c % 6); // 5 names no tile
        MapImageRows rows(map, tiles);
        Bytes line(size_t(rows.width()));
        for (int64_t y = 0; y < rows.height(); ++y) {
            rows.Compose(y, line.data());
            for (int64_t x = 0; x < rows.width(); ++x) {
                const uint16_t cell = map.cellAt(int32_t(x / w), int32_t(y / 3));
                const uint8_t* pixels = tiles.tiles().PixelsAt(cell);
                const uint8_t expected = pixels ? pixels[(y % 3) * w + x % w] : 0;
                ASSERT_EQ(line[size_t(x)], expected) << w << " " << x << " " << y;
            }
        }
    }
}
