#include <gtest/gtest.h>

#include "app/TileProcedures.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "raster/ImageDecoders.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestImages.h"
#include "support/TestTiles.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::ScriptedUserServices;
using kesh::test::TileSetState;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

namespace {

struct TileProceduresTest : ::testing::Test {
    kesh::test::TempDir dir;
    TileSet tiles;
    ScriptedUserServices user;
    FileSystem& fs = FileSystem::Native();

    TileProcedures procs(FileSystem& on) { return TileProcedures(tiles, user, on); }
    TileProcedures procs() { return procs(fs); }

    void SetUp() override { kesh::test::MakeTiles(tiles, 16, 16, 2); }

    // A .til and its .ktf written from another tile set.
    void saveOther(const TileSet& other, const std::string& path) {
        ByteWriter til;
        other.WriteTileFile(til);
        WriteBytes(path, til.bytes());
        WriteBytes(DescriptorPath(path, kTileDescriptorExt), BuildKtf(other.format()));
    }
};

} // namespace

TEST_F(TileProceduresTest, SaveWritesTheDataFileAndItsDescriptor) {
    tiles.tiles().SetAttributeAt(0, 260);
    tiles.tiles().SetAttributeAt(1, 5);
    user.saveFile(dir.file("set.til"));
    ASSERT_TRUE(procs().OnTileSave());

    const auto& dialog = user.calls().at(0).file;
    EXPECT_EQ(dialog.defaultExtension, "til");
    EXPECT_EQ(dialog.initialName, "*.til");
    EXPECT_EQ(dialog.filters, (Lines{"타일 파일|*.til", "모든 파일|*"}));
    EXPECT_TRUE(dialog.confirmOverwrite);
    EXPECT_EQ(user.transcript(), Lines{"save: *.til"});

    const Bytes til = ReadBytes(dir.file("set.til"));
    ASSERT_EQ(til.size(), 1286u);
    EXPECT_EQ(Bytes(til.begin(), til.begin() + 4), (Bytes{16, 16, 2, 0}));
    EXPECT_EQ(til[4 + 512], 4); // 260 cut to its low byte
    EXPECT_EQ(til[4 + 513], 5);
    EXPECT_EQ(ReadBytes(dir.file("set.ktf")), (Bytes{0, 0, 5, 0, 4, 6, 7, 9}));
}

TEST_F(TileProceduresTest, FailedOrCancelledSaveLeavesNoFile) {
    user.cancelSave();
    EXPECT_FALSE(procs().OnTileSave());
    EXPECT_TRUE(dir.entries().empty());

    FaultyFileSystem faulty;
    faulty.fault = FaultyFileSystem::Fault::Rename;
    faulty.succeedFirst = 1; // the .til is in place when the .ktf fails
    WriteBytes(dir.file("set.til"), {1, 2, 3});
    user.saveFile(dir.file("set.til"));
    EXPECT_FALSE(procs(faulty).OnTileSave());
    EXPECT_EQ(user.messages(), Lines{std::string(msg::kSaveFailed) + "\n" + dir.file("set.ktf")});
    EXPECT_EQ(ReadBytes(dir.file("set.til")), (Bytes{1, 2, 3}));
    EXPECT_EQ(dir.entries(), Lines{"set.til"});

    // A data file named like its own descriptor would be overwritten by it.
    user.clearCalls();
    user.saveFile(dir.file("set.ktf"));
    EXPECT_FALSE(procs().OnTileSave());
    EXPECT_EQ(user.messages(), Lines{std::string(msg::kSaveFailed) + "\n" + dir.file("set.ktf")});
}

TEST_F(TileProceduresTest, AddingTheFileJustSavedAddsNothingButTakesItsPalette) {
    Palette saved;
    saved.rgb[0] = 63;
    saved.rgb[1] = 32;
    saved.rgb[2] = 1;
    tiles.SetPalette(saved);
    user.saveFile(dir.file("set.til"));
    ASSERT_TRUE(procs().OnTileSave());
    const TileSetState before(tiles);

    tiles.SetPalette(Palette{});
    user.clearCalls();
    user.openFile(dir.file("set.til"));
    procs().OnTileAddFile();
    EXPECT_EQ(user.transcript(), Lines{"open: *.til"});
    EXPECT_EQ(user.calls().at(0).file.defaultExtension, "til");
    EXPECT_FALSE(user.calls().at(0).file.confirmOverwrite);
    EXPECT_EQ(TileSetState(tiles), before);
}

TEST_F(TileProceduresTest, AddingTilesOfAnotherSizeIsRefused) {
    TileSet big;
    kesh::test::MakeTiles(big, 32, 32, 3);
    saveOther(big, dir.file("big.til"));
    const TileSetState before(tiles);

    user.openFile(dir.file("big.til"));
    procs().OnTileAddFile();
    EXPECT_EQ(user.transcript(),
              (Lines{"open: *.til", std::string("message: ") + msg::kTileSizeMismatch}));
    EXPECT_EQ(TileSetState(tiles), before);
}

TEST_F(TileProceduresTest, AddWithoutDescriptorAsksThenSetsTheLayoutByHand) {
    TileSet other;
    kesh::test::MakeTiles(other, 16, 16, 4);
    other.format().items = {TileItem::TileData}; // no size, no count: only the dialog knows
    other.format().header = "HDR";
    ByteWriter til;
    other.WriteTileFile(til);
    WriteBytes(dir.file("raw.til"), til.bytes());
    const TileSetState before(tiles);
    const Lines asked{"open: *.til", std::string("okcancel: ") + msg::kAskKtfMissing};

    // Cancel on the question, then on the dialog: nothing is read.
    user.openFile(dir.file("raw.til")).cancel();
    procs().OnTileAddFile();
    EXPECT_EQ(user.transcript(), asked);
    user.clearCalls();
    user.openFile(dir.file("raw.til")).ok().cancelTile();
    procs().OnTileAddFile();
    EXPECT_EQ(user.transcript(), (Lines{asked[0], asked[1], "tile format"}));
    EXPECT_EQ(TileSetState(tiles), before);

    // The dialog opens on the new-file layout with editable sizes.
    const TileFormatEdit& shown = *user.calls().at(2).tile;
    EXPECT_FALSE(shown.sizesLocked);
    EXPECT_FALSE(shown.hasHeader);
    EXPECT_EQ(shown.width, 16);
    EXPECT_EQ(shown.height, 16);
    EXPECT_EQ(shown.items, (Bytes{0, 4, 6, 7, 9}));

    // A layout without a count can't be read.
    user.clearCalls();
    user.openFile(dir.file("raw.til")).ok().acceptTile([](TileFormatEdit& e) {
        e.items = {TileItem::TileData};
    });
    procs().OnTileAddFile();
    EXPECT_EQ(user.messages(), Lines{msg::kNoTileCount});
    EXPECT_EQ(TileSetState(tiles), before);

    // With the count and the attributes, and the header's length from the dialog.
    ByteWriter counted;
    other.format().items = {TileItem::CountByte, TileItem::TileData, TileItem::AttrData};
    other.WriteTileFile(counted);
    WriteBytes(dir.file("raw.til"), counted.bytes());
    user.clearCalls();
    user.openFile(dir.file("raw.til")).ok().acceptTile([](TileFormatEdit& e) {
        e.hasHeader = true;
        e.header = "xyz"; // only its length counts: the bytes come from the file
        e.items = {TileItem::CountByte, TileItem::TileData, TileItem::AttrData};
    });
    procs().OnTileAddFile();
    EXPECT_TRUE(user.messages().empty());
    EXPECT_EQ(tiles.count(), 4); // tiles 0 and 1 are already in the set
    EXPECT_EQ(tiles.format().header, "HDR");
    EXPECT_EQ(tiles.format().items, TileFormat::Default().items); // the set keeps its layout
    EXPECT_TRUE(user.allUsed());
}

TEST_F(TileProceduresTest, AddingToAFullSetKeepsWhatFitsAndSaysSo) {
    // 128 x 128 tiles: the pool holds 10 x (327,680 / 16,400) = 190 of them.
    kesh::test::MakeTiles(tiles, 128, 128, 189);
    ASSERT_EQ(tiles.tiles().capacity(), 190);
    TileSet other;
    kesh::test::MakeTiles(other, 128, 128, 192);
    saveOther(other, dir.file("more.til"));

    user.openFile(dir.file("more.til"));
    procs().OnTileAddFile();
    EXPECT_EQ(user.messages(), Lines{msg::kTileSetFull});
    EXPECT_EQ(tiles.count(), 190);
}

TEST_F(TileProceduresTest, FormatDialogChangesTheLayoutOnly) {
    tiles.format().header = "AB";
    const TileSetState before(tiles);
    user.cancelTile();
    EXPECT_FALSE(procs().OnTileFormat());
    EXPECT_EQ(TileSetState(tiles), before);
    const TileFormatEdit& shown = *user.calls().at(0).tile;
    EXPECT_TRUE(shown.sizesLocked);
    EXPECT_TRUE(shown.hasHeader);
    EXPECT_EQ(shown.header, "AB");
    EXPECT_EQ(shown.width, 16);
    EXPECT_EQ(shown.items, TileFormat::Default().items);

    user.acceptTile([](TileFormatEdit& e) {
        e.hasHeader = false; // the text stays in the dialog but is not taken
        e.attrWidth = 2;
        e.items = {TileItem::SizeWord, TileItem::TileAttrData};
    });
    EXPECT_TRUE(procs().OnTileFormat());
    EXPECT_EQ(tiles.format().header, "");
    EXPECT_EQ(tiles.format().attrWidth, 2);
    EXPECT_EQ(tiles.format().items, (Bytes{1, 8}));
    EXPECT_EQ(tiles.tileWidth(), 16);
    EXPECT_EQ(TileSetState(tiles).pixels, before.pixels);
}

// The tile limit goes to the dialog with the map's most and the stored
// tiles, and comes back into the layout.
TEST_F(TileProceduresTest, FormatDialogCarriesTheTileLimit) {
    tiles.format().tileLimit = 200;
    user.acceptTile([](TileFormatEdit& e) {
        EXPECT_EQ(e.tileLimit, 200u);
        EXPECT_EQ(e.mostTiles, 256);
        EXPECT_EQ(e.storedTiles, 3);
        e.tileLimit = 192;
    });
    EXPECT_TRUE(procs().OnTileFormat(256, 3));
    EXPECT_EQ(tiles.format().tileLimit, 192u);
}

// The Pixels and Palette items' parameters go to the dialog and come back
// from it, in both the layout command and File New's tile step; a changed
// layout gives the set a new revision, as a Palette item changes the colours shown.
TEST_F(TileProceduresTest, FormatDialogCarriesTheConsoleParameters) {
    const TileItemParams snes{PixelEncoding::Planar4Snes, ColourEncoding::Bgr555, 16, 8};
    const TileItemParams nes{PixelEncoding::Planar2Nes, ColourEncoding::Nes, 4, 4};
    tiles.format().items = {TileItem::Palette, TileItem::CountWord, TileItem::Pixels};
    tiles.format().params = snes;
    for (const bool newFile : {false, true}) {
        SCOPED_TRACE(newFile ? "File New" : "layout command");
        const uint64_t revision = tiles.revision();
        user.acceptTile([&](TileFormatEdit& e) {
            if (!newFile) {
                EXPECT_EQ(e.params, snes);
            }
            e.items = {TileItem::Pixels, TileItem::Palette};
            e.params = nes;
        });
        EXPECT_TRUE(newFile ? procs().NewTileFormat() : procs().OnTileFormat());
        EXPECT_EQ(tiles.format().items, (Bytes{TileItem::Pixels, TileItem::Palette}));
        EXPECT_EQ(tiles.format().params, nes);
        EXPECT_NE(tiles.revision(), revision);
        tiles.format().params = snes;
    }
}

TEST_F(TileProceduresTest, NewTileFormatStartsAnEmptySetOnOkOnly) {
    const TileSetState before(tiles);
    user.cancelTile();
    EXPECT_FALSE(procs().NewTileFormat());
    EXPECT_EQ(TileSetState(tiles), before);
    EXPECT_FALSE(user.calls().at(0).tile->sizesLocked);
    EXPECT_EQ(user.calls().at(0).tile->items, (Bytes{0, 4, 6, 7, 9}));

    user.acceptTile([](TileFormatEdit& e) {
        e.width = 24;
        e.height = 8;
        e.hasHeader = true;
        e.header = "T";
    });
    EXPECT_TRUE(procs().NewTileFormat());
    EXPECT_EQ(tiles.count(), 0);
    EXPECT_EQ(tiles.tileWidth(), 24);
    EXPECT_EQ(tiles.tileHeight(), 8);
    EXPECT_EQ(tiles.tiles().width(), 24);
    EXPECT_EQ(tiles.format().header, "T");
}

TEST_F(TileProceduresTest, LoadPaletteTakesOnlyA256ColourPcxOrBmp) {
    // A 1 x 1 uncompressed PCX whose palette entry 0 is (255, 128, 4).
    Bytes pcx(128, 0);
    pcx[3] = 8;  // bits per pixel
    pcx[66] = 1; // bytes per line
    pcx.push_back(0);
    pcx.push_back(0x0C);
    Bytes palette(768, 0);
    palette[0] = 255;
    palette[1] = 128;
    palette[2] = 4;
    pcx.insert(pcx.end(), palette.begin(), palette.end());
    WriteBytes(dir.file("colours.PCX"), pcx);
    WriteBytes(dir.file("colours.gif"), pcx);
    WriteBytes(dir.file("deep.bmp"), Bytes(60, 0));
    const TileSetState before(tiles);

    user.openFile(dir.file("colours.gif")).openFile(dir.file("deep.bmp"));
    user.openFile(dir.file("missing.pcx")).cancelOpen();
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_FALSE(procs().OnLoadPalette());
    // Each names its file.
    EXPECT_EQ(user.messages(),
              (Lines{std::string(msg::kPaletteTypeUnsupported) + "\n" + dir.file("colours.gif"),
                     std::string(msg::kBmpOnly) + "\n" + dir.file("deep.bmp"),
                     std::string(msg::kPcxOnly) + "\n" + dir.file("missing.pcx")}));
    EXPECT_EQ(TileSetState(tiles), before);

    const auto& dialog = user.calls().at(0).file;
    EXPECT_EQ(dialog.defaultExtension, "bmp");
    EXPECT_EQ(dialog.initialName, "*.bmp");
    EXPECT_EQ(dialog.filters,
              (Lines{"팔레트 파일|*.pcx;*.bmp;*.png;*.gpl;*.pal", "256 PCX files|*.pcx",
                     "256 BMP files|*.bmp", "PNG 파일|*.png", "GIMP 팔레트|*.gpl",
                     "JASC 팔레트|*.pal", "모든 파일|*"}));
    // The palette refusals are plain notices, without an icon.
    for (const auto& call : user.calls()) {
        if (call.kind == kesh::test::ScriptedUserServices::Kind::Message) {
            EXPECT_EQ(call.icon, kesh::MessageIcon::None);
        }
    }

    user.openFile(dir.file("colours.PCX"));
    EXPECT_TRUE(procs().OnLoadPalette());
    EXPECT_EQ(Bytes(tiles.colourTable(), tiles.colourTable() + 4), (Bytes{4, 128, 252, 0}));
    EXPECT_EQ(TileSetState(tiles).pixels, before.pixels);
}

TEST_F(TileProceduresTest, LoadPaletteTakesPaletteFilesAndPalettePngsByContent) {
    const std::string jasc = "JASC-PAL\n0100\n1\n252 128 4\n";
    WriteBytes(dir.file("colours.pal"), Bytes(jasc.begin(), jasc.end()));
    const std::string bad = "GIMP Palette\n1 2\n";
    WriteBytes(dir.file("bad.gpl"), Bytes(bad.begin(), bad.end()));
    kesh::test::PngRecipe grey{.width = 1, .height = 1, .colourType = PNG_COLOR_TYPE_GRAY};
    WriteBytes(dir.file("grey.png"), kesh::test::MakePng(grey));
    const TileSetState before(tiles);

    user.openFile(dir.file("bad.gpl")).openFile(dir.file("grey.png")).no();
    user.openFile(dir.file("gone.png"));
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_FALSE(procs().OnLoadPalette());
    EXPECT_EQ(user.messages(),
              (Lines{std::string(msg::kPaletteFileBadLine) + "2\n" + dir.file("bad.gpl"),
                     std::string(msg::kOpenFailed) + "\n" + dir.file("gone.png")}));
    // A PNG without a palette is offered one built from its colours.
    EXPECT_EQ(user.transcript().at(3), "yesno: " + std::string(msg::kPngNoPalette) + "\n" +
                                           dir.file("grey.png") +
                                           "\n그림의 색으로 256색 팔레트를 새로 만들까요?");
    EXPECT_EQ(TileSetState(tiles), before);
    user.clearCalls();
    user.openFile(dir.file("grey.png")).yes();
    EXPECT_TRUE(procs().OnLoadPalette());
    EXPECT_EQ(user.messages(), (Lines{"새 팔레트: 그림의 1색 그대로, PSNR 무한대 (오차 없음)"}));
    EXPECT_EQ(Bytes(tiles.colourTable(), tiles.colourTable() + 8), (Bytes{0, 0, 0, 0, 0, 0, 0, 0}));

    user.openFile(dir.file("colours.pal"));
    EXPECT_TRUE(procs().OnLoadPalette());
    EXPECT_EQ(Bytes(tiles.colourTable(), tiles.colourTable() + 8),
              (Bytes{4, 128, 252, 0, 0, 0, 0, 0}));
}

TEST_F(TileProceduresTest, SaveBmpWritesTheSheetOrSaysWhyNot) {
    user.cancelSave().saveFile(dir.file("sheet.bmp"));
    EXPECT_FALSE(procs().OnTileSaveBmp());
    EXPECT_TRUE(dir.entries().empty());
    EXPECT_TRUE(procs().OnTileSaveBmp());
    EXPECT_EQ(ReadBytes(dir.file("sheet.bmp")).size(), 1078u + 160u * 16u);
    EXPECT_EQ(user.calls().at(0).file.initialName, "*.bmp");
    EXPECT_TRUE(user.calls().at(0).file.confirmOverwrite);

    FaultyFileSystem faulty;
    faulty.fault = FaultyFileSystem::Fault::Create;
    user.saveFile(dir.file("other.bmp"));
    EXPECT_FALSE(procs(faulty).OnTileSaveBmp());
    EXPECT_EQ(user.messages(), Lines{std::string(msg::kSaveFailed) + "\n" + dir.file("other.bmp")});
    EXPECT_EQ(dir.entries(), Lines{"sheet.bmp"});

    // A name ending in .png gives the same sheet as a PNG.
    user.saveFile(dir.file("sheet.PNG"));
    EXPECT_TRUE(procs().OnTileSaveBmp());
    Image png;
    ASSERT_TRUE(ReadImage(ReadBytes(dir.file("sheet.PNG")), png));
    EXPECT_EQ(png.m_width, 160);
    EXPECT_EQ(user.calls().back().file.filters, (Lines{"비트맵 파일|*.bmp", "PNG 파일|*.png", "모든 파일|*"}));
}

TEST_F(TileProceduresTest, OpeningATileFileReplacesTheSetWithIt) {
    TileSet other;
    kesh::test::MakeTiles(other, 8, 8, 3);
    other.format().header = "O";
    saveOther(other, dir.file("other.til"));
    const TileSetState before(tiles);

    // Not there: said so, before any layout question.
    EXPECT_FALSE(procs().OpenTileSetPath(dir.file("none.til")));
    EXPECT_EQ(user.messages(), Lines{std::string(msg::kOpenFailed) + "\n" + dir.file("none.til")});
    // A damaged descriptor is shown, not asked about.
    user.clearCalls();
    WriteBytes(dir.file("bad.til"), {1});
    WriteBytes(dir.file("bad.ktf"), {0});
    EXPECT_FALSE(procs().OpenTileSetPath(dir.file("bad.til")));
    EXPECT_EQ(user.transcript(), Lines{std::string("message: ") + msg::kDamagedFile});
    EXPECT_EQ(TileSetState(tiles), before);

    user.clearCalls();
    ASSERT_TRUE(procs().OpenTileSetPath(dir.file("other.til")));
    EXPECT_TRUE(user.calls().empty());
    EXPECT_EQ(TileSetState(tiles), TileSetState(other));
}

TEST_F(TileProceduresTest, OpeningWithoutDescriptorAsksAndTakesTheDialogsLayout) {
    TileSet other;
    kesh::test::MakeTiles(other, 8, 8, 3);
    other.format().items = {TileItem::CountByte, TileItem::TileData}; // no size
    ByteWriter til;
    other.WriteTileFile(til);
    WriteBytes(dir.file("raw.til"), til.bytes());
    const TileSetState before(tiles);
    const Lines asked{std::string("okcancel: ") + msg::kAskKtfMissing};

    user.cancel();
    EXPECT_FALSE(procs().OpenTileSetPath(dir.file("raw.til")));
    EXPECT_EQ(user.transcript(), asked);
    // OK, then the dialog on the new-file layout; its 16 x 16 tiles don't fit the file.
    const auto rawItems = [](TileFormatEdit& e) {
        e.items = {TileItem::CountByte, TileItem::TileData};
    };
    user.clearCalls();
    user.ok().acceptTile(rawItems);
    EXPECT_FALSE(procs().OpenTileSetPath(dir.file("raw.til")));
    EXPECT_EQ(user.transcript(),
              (Lines{asked[0], "tile format", std::string("message: ") + msg::kDamagedFile}));
    const TileFormatEdit& shown = *user.calls().at(1).tile;
    EXPECT_FALSE(shown.sizesLocked);
    EXPECT_EQ(shown.width, 16);
    EXPECT_EQ(shown.items, TileFormat::NewFileDefault().items);
    EXPECT_EQ(TileSetState(tiles), before);

    user.clearCalls();
    user.ok().acceptTile([&](TileFormatEdit& e) {
        rawItems(e);
        e.width = 8;
        e.height = 8;
    });
    ASSERT_TRUE(procs().OpenTileSetPath(dir.file("raw.til")));
    EXPECT_EQ(TileSetState(tiles).pixels, TileSetState(other).pixels);
    EXPECT_EQ(tiles.format().items, other.format().items);
    EXPECT_EQ(tiles.tileWidth(), 8);
    EXPECT_TRUE(user.allUsed());
}
