// Tiled maps: export, import, and the two together.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "map/MapBitmapExport.h"
#include "raster/ImageDecoders.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "support/TmxSamples.h"
#include "tmx/Base64.h"
#include "tmx/TmxExport.h"
#include "tmx/TmxImport.h"
#include "tmx/TmxMessages.h"

using namespace kesh;
using kesh::test::MakeTmx;
using kesh::test::MemoryLoader;
using kesh::test::ReadBytes;
using kesh::test::TempDir;
using kesh::test::TileSetState;
using kesh::test::TmxEncoding;
using kesh::test::TmxSampleOptions;
using Bytes = std::vector<uint8_t>;

namespace {

// Eight distinct 4 x 3 tiles (attributes 100 + n, one of them negative as a
// signed word) and a 5 x 4 map of them with empty cells.
struct Sample {
    TileSet tiles;
    MapModel map;
    Sample() {
        kesh::test::MakeTiles(tiles, 4, 3, 8);
        tiles.tiles().SetAttributeAt(2, 0);
        tiles.tiles().SetAttributeAt(5, 0xFFFFFFF0u);
        EXPECT_TRUE(map.AllocateCells(6, 4));
        for (size_t i = 0; i < map.cells().size(); ++i)
            map.cells()[i] = i % 5 == 4 ? kEmptyCell : uint16_t(i * 3 % 8);
    }
};

Bytes AsBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

TmxImportResult Import(const std::string& tmx, MemoryLoader& files, TmxImportOptions options = {}) {
    return ImportTmx(AsBytes(tmx), files, options);
}

// The cells as the tiles they show: pixels and attribute, or nothing.
std::vector<std::pair<Bytes, uint32_t>> Shown(const TileSet& set,
                                              const std::vector<uint16_t>& cells) {
    std::vector<std::pair<Bytes, uint32_t>> shown;
    const size_t size = size_t(set.tiles().tileSize());
    for (uint16_t c : cells) {
        const uint8_t* p = set.tiles().PixelsAt(c);
        shown.emplace_back(p ? Bytes(p, p + size) : Bytes(), set.tiles().AttributeAt(c));
    }
    return shown;
}

void ExpectFailure(const TmxImportResult& r, const std::string& start) {
    EXPECT_FALSE(r.status);
    EXPECT_EQ(r.status.message().substr(0, start.size()), start) << r.status.message();
    EXPECT_TRUE(r.cells.empty());
    EXPECT_EQ(r.tiles.count(), 0);
}

} // namespace

TEST(TmxRoundTrip, ExportThenImportGivesTheSameCellsAndTiles) {
    TempDir dir;
    Sample s;
    auto& fs = FileSystem::Native();
    ASSERT_TRUE(ExportTmx(fs, dir.file("town.tmx"), s.map, s.tiles));
    ASSERT_TRUE(fs.exists(dir.file("town-tiles.png")));
    FolderLoader loader(fs, dir.file(""));
    const TmxImportResult r = ImportTmx(ReadBytes(dir.file("town.tmx")), loader, {});
    ASSERT_TRUE(r.status) << r.status.message();
    EXPECT_EQ(r.width, 6);
    EXPECT_EQ(r.height, 4);
    EXPECT_EQ(r.cells, s.map.cells());
    EXPECT_EQ(TileSetState(r.tiles).pixels, TileSetState(s.tiles).pixels);
    EXPECT_EQ(TileSetState(r.tiles).attributes, TileSetState(s.tiles).attributes);
    EXPECT_TRUE(r.warnings.empty());
}

TEST(TmxExport, RendersAsTheBitmapExportWhereCellsHoldTiles) {
    TempDir dir;
    Sample s;
    s.map.cells()[3] = 40; // a number naming no tile: gid 0
    Palette palette;
    for (size_t i = 0; i < palette.rgb.size(); ++i)
        palette.rgb[i] = uint8_t(i * 7 % 64);
    s.tiles.SetPalette(palette);
    auto& fs = FileSystem::Native();
    ASSERT_TRUE(ExportTmx(fs, dir.file("m.tmx"), s.map, s.tiles));
    ASSERT_TRUE(ExportMapBitmap(fs, dir.file("m.bmp"), s.map, s.tiles));
    Image sheet, bmp;
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("m-tiles.png")), sheet));
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("m.bmp")), bmp));
    EXPECT_EQ(sheet.m_palette, bmp.m_palette);
    EXPECT_EQ(sheet.m_width, 40);

    // Compose the map the way Tiled does from the .tmx's gids.
    const std::string tmx = [&] {
        const Bytes b = ReadBytes(dir.file("m.tmx"));
        return std::string(b.begin(), b.end());
    }();
    EXPECT_NE(tmx.find("columns=\"10\""), std::string::npos);
    EXPECT_NE(tmx.find("tilecount=\"8\""), std::string::npos);
    EXPECT_NE(tmx.find("source=\"m-tiles.png\""), std::string::npos);
    EXPECT_NE(tmx.find("name=\"attribute\" type=\"int\" value=\"-16\""), std::string::npos);
    const size_t at = tmx.find("encoding=\"csv\">") + 15;
    std::vector<uint32_t> gids;
    for (size_t i = at; tmx[i] != '<';) {
        size_t end = 0;
        gids.push_back(uint32_t(std::stoul(tmx.substr(i), &end)));
        i += end;
        while (tmx[i] == ',' || tmx[i] == '\n')
            ++i;
    }
    ASSERT_EQ(gids.size(), s.map.cells().size());
    int compared = 0;
    for (int32_t y = 0; y < 4 * 3; ++y)
        for (int32_t x = 0; x < 6 * 4; ++x) {
            const uint32_t gid = gids[size_t(y / 3 * 6 + x / 4)];
            const uint16_t cell = s.map.cellAt(x / 4, y / 3);
            EXPECT_EQ(gid, cell < 8 ? cell + 1u : 0u);
            if (gid == 0)
                continue; // transparent in Tiled
            const uint32_t t = gid - 1;
            const int32_t sx = int32_t(t % 10) * 4 + x % 4;
            const int32_t sy = int32_t(t / 10) * 3 + y % 3;
            ASSERT_EQ(sheet.m_pixels[size_t(sy * sheet.m_width + sx)],
                      bmp.m_pixels[size_t(y * bmp.m_width + x)]);
            ++compared;
        }
    EXPECT_GT(compared, 200);
}

TEST(TmxExport, FailureWritesNeitherFile) {
    Sample s;
    using Fault = kesh::test::FaultyFileSystem::Fault;
    for (Fault fault : {Fault::Create, Fault::Write, Fault::Rename}) {
        TempDir dir;
        kesh::test::FaultyFileSystem fs;
        fs.fault = fault;
        fs.succeedFirst = 1;
        fs.writeBudget = 100;
        const Status st = ExportTmx(fs, dir.file("m.tmx"), s.map, s.tiles);
        EXPECT_FALSE(st);
        EXPECT_EQ(st.message().rfind(msg::kSaveFailed, 0), 0u);
        EXPECT_FALSE(fs.exists(dir.file("m.tmx")));
        EXPECT_FALSE(fs.exists(dir.file("m-tiles.png")));
    }
    MapModel none;
    none.cells().clear();
    TempDir dir;
    EXPECT_FALSE(ExportTmx(FileSystem::Native(), dir.file("m.tmx"), none, s.tiles));
}

TEST(TmxImport, EveryEncodingAndTilesetKind) {
    Sample s;
    for (TmxEncoding enc : {TmxEncoding::Xml, TmxEncoding::Csv, TmxEncoding::Base64,
                            TmxEncoding::Zlib, TmxEncoding::Gzip})
        for (int sheets : {1, 3})
            for (bool external : {false, true})
                for (int chunk : {0, 2}) {
                    SCOPED_TRACE(testing::Message()
                                 << int(enc) << " " << sheets << " " << external << " " << chunk);
                    MemoryLoader files;
                    TmxSampleOptions o{enc, sheets, 3, external, chunk};
                    const std::string tmx = MakeTmx(s.tiles, 6, 4, s.map.cells(), o, files);
                    const TmxImportResult r = Import(tmx, files);
                    ASSERT_TRUE(r.status) << r.status.message();
                    ASSERT_EQ(r.width, 6);
                    ASSERT_EQ(r.height, 4);
                    EXPECT_EQ(Shown(r.tiles, r.cells), Shown(s.tiles, s.map.cells()));
                    EXPECT_EQ(r.tiles.count(), 8); // blank sheet slots are no tiles
                }
}

TEST(TmxImport, InfiniteMapTakesTheSmallestRectangleOfItsChunks) {
    Sample s;
    MemoryLoader files;
    TmxSampleOptions o;
    o.encoding = TmxEncoding::Zlib;
    o.chunk = 4; // chunks 4 x 4: the 6 x 4 map becomes 8 x 4
    const TmxImportResult r = Import(MakeTmx(s.tiles, 6, 4, s.map.cells(), o, files), files);
    ASSERT_TRUE(r.status) << r.status.message();
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 4);
    EXPECT_EQ(r.cells[7], kEmptyCell);
    EXPECT_EQ(r.cells[8 + 1], s.map.cellAt(1, 1));
}

TEST(TmxImport, IdenticalTilesOnceAndPaletteChoices) {
    TileSet set;
    kesh::test::MakeTiles(set, 2, 2, 3);
    set.tiles().SetAttributeAt(0, 0);
    set.tiles().SetAttributeAt(1, 0);
    set.tiles().SetAttributeAt(2, 0);
    // A fourth tile equal to tile 0, and a palette of its own.
    set.tiles().Append(set.tiles().PixelsAt(0), 0);
    Palette palette;
    for (size_t i = 0; i < palette.rgb.size(); ++i)
        palette.rgb[i] = uint8_t(63 - i % 64);
    set.SetPalette(palette);
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(4, 1));
    map.cells() = {0, 1, 2, 3};
    MemoryLoader files;
    const std::string tmx = MakeTmx(set, 4, 1, map.cells(), {}, files);
    TmxImportResult r = Import(tmx, files);
    ASSERT_TRUE(r.status);
    EXPECT_EQ(r.tiles.count(), 3);
    EXPECT_EQ(r.cells, (std::vector<uint16_t>{0, 1, 2, 0}));
    EXPECT_NE(std::memcmp(r.tiles.colourTable(), set.colourTable(), 1024), 0);
    TmxImportOptions withPalette;
    withPalette.takePalette = true;
    r = Import(tmx, files, withPalette);
    ASSERT_TRUE(r.status);
    EXPECT_EQ(std::memcmp(r.tiles.colourTable(), set.colourTable(), 1024), 0);
}

TEST(TmxImport, FlipsRefusedOrDropped) {
    Sample s;
    MemoryLoader files;
    std::string tmx = MakeTmx(s.tiles, 6, 4, s.map.cells(), {}, files);
    // Cell (2, 0) holds tile 6: gid 7, flipped horizontally.
    const size_t at = tmx.find(",7,");
    ASSERT_NE(at, std::string::npos);
    tmx.replace(at, 3, "," + std::to_string(0x80000007u) + ",");
    ExpectFailure(Import(tmx, files), std::string(msg::kTmxFlipped) + " (2, 0)");
    TmxImportOptions drop;
    drop.dropFlips = true;
    const TmxImportResult r = Import(tmx, files, drop);
    ASSERT_TRUE(r.status);
    EXPECT_EQ(r.droppedFlips, 1);
    EXPECT_EQ(r.cells[2], 6);

    // A layout with flip fields keeps them: bit 31 is Tiled's horizontal
    // flip, bit 30 its vertical one; a diagonal flip (bit 29) has no field.
    TmxImportOptions keep;
    keep.keepFlips = true;
    std::string both = tmx;
    both.replace(both.find(std::to_string(0x80000007u)), 10, std::to_string(0xC0000007u));
    const TmxImportResult kept = Import(both, files, keep);
    ASSERT_TRUE(kept.status);
    EXPECT_EQ(kept.cells[2], 6);
    EXPECT_EQ(kept.attrs[2], cellbit::kHFlip | cellbit::kVFlip);
    EXPECT_EQ(kept.attrs[1], 0);
    EXPECT_EQ(kept.droppedFlips, 0);
    std::string diagonal = tmx;
    diagonal.replace(diagonal.find(std::to_string(0x80000007u)), 10, std::to_string(0xA0000007u));
    ExpectFailure(Import(diagonal, files, keep), std::string(msg::kTmxFlipped) + " (2, 0)");
}

TEST(TmxExport, FlipsGoInTheGidsTopBits) {
    Sample s;
    MapFormat format = s.map.format();
    format.items = {MapItem::SizeWord, MapItem::CellFields};
    bool plane = false;
    format.cells = *CellPresetLayout("gba", plane);
    ASSERT_TRUE(s.map.ReplaceGrid(format, s.map.cells()));
    // Cells 0..2 hold tiles 0, 3, 6 (gids 1, 4, 7).
    s.map.attrs()[0] = cellbit::kHFlip;
    s.map.attrs()[1] = cellbit::kVFlip;
    s.map.attrs()[2] = cellbit::kHFlip | cellbit::kVFlip;
    const std::string tmx = BuildTmx(s.map, s.tiles, "m", "m.png");
    // 0x80000001 = 2147483649, 0x40000004 = 1073741828, 0xC0000007 = 3221225479.
    EXPECT_NE(tmx.find("\n2147483649,1073741828,3221225479,"), std::string::npos) << tmx;
}

TEST(TmxImport, OtherLayersAreLeftOutWithAWarning) {
    Sample s;
    MemoryLoader files;
    std::string tmx = MakeTmx(s.tiles, 6, 4, s.map.cells(), {}, files);
    tmx.insert(tmx.find("</map>"), "<group><layer name=\"b\" width=\"1\" height=\"1\"><data "
                                   "encoding=\"csv\">0</data></layer></group>");
    const TmxImportResult r = Import(tmx, files);
    ASSERT_TRUE(r.status);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0], std::string(msg::kTmxOtherLayers) + "b");
}

TEST(TmxImport, BadInputIsRefusedWithAMessage) {
    Sample s;
    MemoryLoader good;
    const std::string tmx = MakeTmx(s.tiles, 6, 4, s.map.cells(), {}, good);
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string t = tmx;
        const size_t at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? t : t.replace(at, from.size(), to);
    };
    ExpectFailure(Import(tmx.substr(0, tmx.size() / 2), good), msg::kTmxBadXml);
    ExpectFailure(Import("<tileset/>", good), msg::kTmxNotMap);
    ExpectFailure(Import(edited("orthogonal", "isometric"), good), msg::kTmxNotOrthogonal);
    ExpectFailure(Import(edited("tilewidth=\"4\"", "tilewidth=\"0\""), good), msg::kTmxBadTileSize);
    ExpectFailure(Import(edited("tilewidth=\"4\" tileheight=\"3\" tilecount",
                                "tilewidth=\"5\" tileheight=\"3\" tilecount"),
                         good),
                  msg::kTmxTileSizeDiffers);
    ExpectFailure(Import(edited("tilecount=\"8\"", "tilecount=\"10\""), good),
                  msg::kTmxTooFewSlots);
    ExpectFailure(Import(edited("value=\"-16\"", "value=\"x\""), good), msg::kTmxBadAttribute);
    ExpectFailure(Import(edited("encoding=\"csv\"", "encoding=\"hex\""), good),
                  msg::kTmxBadEncoding);
    ExpectFailure(
        Import(edited("encoding=\"csv\"", "encoding=\"base64\" compression=\"zstd\""), good),
        msg::kTmxZstd);
    ExpectFailure(
        Import(edited("encoding=\"csv\"", "encoding=\"base64\" compression=\"lzma\""), good),
        msg::kTmxBadCompression);
    ExpectFailure(Import(edited("encoding=\"csv\"", "encoding=\"base64\""), good),
                  msg::kTmxBadData);
    ExpectFailure(Import(edited("<layer id=\"1\" name=\"a\" width=\"6\"",
                                "<layer id=\"1\" name=\"a\" width=\"7\""),
                         good),
                  msg::kTmxBadData);
    ExpectFailure(Import(edited(",7,", ",99,"), good), msg::kTmxUnknownGid);
    ExpectFailure(Import(edited("<layer id=\"1\" name=\"a\" width=\"6\" height=\"4\"",
                                "<layer id=\"1\" name=\"a\" width=\"65536\" height=\"4\""),
                         good),
                  msg::kTmxMapTooLarge);
    ExpectFailure(Import(edited("<layer id=\"1\" name=\"a\" width=\"6\" height=\"4\"",
                                "<layer id=\"1\" name=\"a\" width=\"65535\" height=\"4097\""),
                         good),
                  "지도가 너무 큽니다 (최대 268,435,456칸).\n65535 x 4097칸");
    std::string noLayer = edited("<layer", "<imagelayer");
    noLayer.replace(noLayer.find("</layer>"), 8, "</imagelayer>");
    ExpectFailure(Import(noLayer, good), msg::kTmxNoTileLayer);
    MemoryLoader missing;
    ExpectFailure(Import(tmx, missing), msg::kTmxFileMissing);
    MemoryLoader broken;
    broken.files["sheet0.png"] = {0x89, 'P', 'N', 'G'};
    ExpectFailure(Import(tmx, broken), msg::kImageUnsupported);
}

// A gid past 32 bits is damage, never cut to its low bits: 2^32 + 7 would
// otherwise read as tile 6, and 2^32 + 2^31 + 7 as a flipped one.
TEST(TmxImport, AGidThatDoesNotFitIn32BitsIsRefused) {
    Sample s;
    for (const TmxEncoding encoding : {TmxEncoding::Csv, TmxEncoding::Xml}) {
        MemoryLoader files;
        TmxSampleOptions options;
        options.encoding = encoding;
        const std::string tmx = MakeTmx(s.tiles, 6, 4, s.map.cells(), options, files);
        // Cell (2, 0) holds tile 6, gid 7.
        const std::string before = encoding == TmxEncoding::Csv ? "," : "<tile gid=\"";
        const size_t at = tmx.find(before + "7" + (encoding == TmxEncoding::Csv ? "," : "\""));
        ASSERT_NE(at, std::string::npos);
        auto withGid = [&](const std::string& gid) {
            return std::string(tmx).replace(at + before.size(), 1, gid);
        };
        for (const char* gid : {"4294967303", "4294967296", "6442450951", "18446744073709551623",
                                "000000000004294967303"})
            ExpectFailure(Import(withGid(gid), files), msg::kTmxBadData);
        // The largest that fits is read, as the flipped gid it is.
        ExpectFailure(Import(withGid("4294967295"), files), msg::kTmxFlipped);
    }
}

TEST(TmxImport, InflatingStopsAtTheMapsCells) {
    // 4 MB of zeros squeezed into a few kB for a 2 x 2 map: refused without
    // inflating it all.
    const Bytes zeros(4 << 20, 0);
    const std::string tmx =
        "<map orientation=\"orthogonal\" width=\"2\" height=\"2\" tilewidth=\"4\" "
        "tileheight=\"4\"><layer width=\"2\" height=\"2\"><data encoding=\"base64\" "
        "compression=\"zlib\">" +
        kesh::test::Base64(kesh::test::Deflate(zeros, false)) + "</data></layer></map>";
    MemoryLoader files;
    ExpectFailure(Import(tmx, files), msg::kTmxBadData);
}

TEST(TmxBase64, DecodesPaddingAndRefusesDamage) {
    EXPECT_EQ(*DecodeBase64(" TWFu\nTWE=\r\n"), (Bytes{'M', 'a', 'n', 'M', 'a'}));
    EXPECT_EQ(*DecodeBase64("TQ=="), (Bytes{'M'}));
    EXPECT_FALSE(DecodeBase64("TQ=x"));
    EXPECT_FALSE(DecodeBase64("TQ==TWFu"));
    EXPECT_FALSE(DecodeBase64("TWF"));
    EXPECT_FALSE(DecodeBase64("T*Fu"));
}
