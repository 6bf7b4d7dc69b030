// The editor's two imports, each one step: tiles and a map from a picture,
// and a Tiled map that replaces the map and the tile set.
#include <gtest/gtest.h>

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "app/ImportProcedures.h"
#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "doc/CommandNames.h"
#include "edit/MapEditor.h"
#include "layout/CellFields.h"
#include "layout/PlatformPresets.h"
#include "raster/PngWriter.h"
#include "support/FaultyFileSystem.h"
#include "support/LetterPictures.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestImages.h"
#include "support/TestTiles.h"
#include "support/TmxSamples.h"
#include "support/TruePictures.h"
#include "tmx/TmxMessages.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ScriptedUserServices;
using Lines = std::vector<std::string>;
using SetState = kesh::test::TileSetState;

namespace {

const std::string kAskSave = std::string("yesno: ") + msg::kAskSaveChanged;

// A palette PNG of `columns` x `rows` tiles of `set`'s size, the tile at
// (c, r) being tile `numbers[r * columns + c]` of `set`.
std::vector<uint8_t> PictureOf(const TileSet& set, int columns, int rows,
                               const std::vector<int>& numbers) {
    const int64_t tw = set.tileWidth(), th = set.tileHeight();
    return *EncodeIndexedPng(tw * columns, th * rows, set.colourTable(),
                             [&](int64_t y, uint8_t* out) {
                                 for (int64_t x = 0; x < tw * columns; ++x) {
                                     const int t = numbers[size_t(y / th * columns + x / tw)];
                                     out[x] = set.tiles().PixelsAt(t)[(y % th) * tw + x % tw];
                                 }
                             });
}

// What the map holds, for before-and-after checks.
struct MapSnapshot {
    MapFormat format;
    std::vector<uint16_t> cells;
    std::string fileName, pathName;
    explicit MapSnapshot(const Document& doc)
        : format(doc.map().format()), cells(doc.map().cells()), fileName(doc.file().name),
          pathName(doc.file().path) {}
    bool operator==(const MapSnapshot&) const = default;
};

struct ImportProceduresTest : ::testing::Test {
    kesh::test::TempDir dir;
    Document doc;
    MapEditor editor{doc}; // keeps the current cell, as the map view does
    ScriptedUserServices user;
    FaultyFileSystem faulty;

    MapProcedures mapProcs(FileSystem& fs) { return MapProcedures(doc, user, fs); }
    bool ImportImage(FileSystem& fs) {
        MapProcedures map = mapProcs(fs);
        return ImportProcedures(doc, map, user, fs).OnImportImage();
    }
    bool ImportTmx(FileSystem& fs) {
        MapProcedures map = mapProcs(fs);
        return ImportProcedures(doc, map, user, fs).OnImportTmx();
    }

    // Three tiles of 16 x 16 (attribute 0, as imported tiles have), a map
    // with a few cells, saved as "old.map".
    void SavedMap() {
        kesh::test::MakeTiles(doc.tiles(), 16, 16, 3);
        for (int i = 0; i < 3; ++i)
            doc.tiles().tiles().SetAttributeAt(i, 0);
        doc.map().cells()[0] = 2;
        doc.map().cells()[5] = 1;
        user.saveFile(dir.file("old.map"));
        ASSERT_TRUE(mapProcs(FileSystem::Native()).SaveMapAs());
        doc.MarkSaved();
        user.clearCalls();
    }
    // A picture of 2 x 2 tiles: tiles 1 and 0 of the set and two new ones.
    std::string Picture() {
        TileSet source;
        kesh::test::MakeTiles(source, 16, 16, 5);
        const std::string path = dir.file("level.png");
        kesh::test::WriteBytes(path, PictureOf(source, 2, 2, {1, 0, 3, 4}));
        return path;
    }
    ScriptedUserServices& AcceptWithMap() {
        return user.acceptImport([](ImportOptionsEdit& e) { e.makeMap = true; });
    }
};

// "팔레트도 가져오기" starts ticked for an empty set; the summary warns when
// the picture's colours differ from the palette that was kept.
TEST_F(ImportProceduresTest, ThePaletteBoxAndTheColourWarning) {
    struct Case {
        const char* name;
        bool tilesFirst;  // the set has tiles before the import
        bool recoloured;  // the picture's palette differs from the set's
        bool takePalette; // the box as the user leaves it
        bool warned;
    };
    const Case cases[] = {
        {"empty set, box left on", false, true, true, false},
        {"empty set, box turned off", false, true, false, true},
        {"same colours", true, false, false, false},
        {"other colours kept", true, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.tiles() = TileSet();
        if (c.tilesFirst)
            kesh::test::MakeTiles(doc.tiles(), 16, 16, 3);
        TileSet source;
        kesh::test::MakeTiles(source, 16, 16, 5);
        if (c.recoloured) {
            Palette grey;
            for (size_t i = 0; i < grey.rgb.size(); ++i)
                grey.rgb[i] = uint8_t(i / 3 % 64);
            source.SetPalette(grey);
        }
        const std::string path = dir.file("colours.png");
        kesh::test::WriteBytes(path, PictureOf(source, 2, 1, {3, 4}));
        user.clearCalls();
        user.openFile(path).acceptImport([&](ImportOptionsEdit& e) {
            e.tileWidth = e.tileHeight = 16;
            e.takePalette = c.takePalette;
        });
        ASSERT_TRUE(ImportImage(FileSystem::Native()));
        EXPECT_EQ(user.calls().at(1).import->takePalette, !c.tilesFirst);
        const std::string summary = user.messages().back();
        EXPECT_EQ(summary.find(ImportProcedures::kColoursDiffer) != std::string::npos, c.warned)
            << summary;
    }
}

TEST_F(ImportProceduresTest, ImageWithMapIsOneStepThatUndoGivesBack) {
    SavedMap();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    editor.state().m_nCurCell = 64 * 3 + 40; // (40, 3) of the 64 x 64 map
    user.openFile(Picture());
    AcceptWithMap();
    ASSERT_TRUE(ImportImage(FileSystem::Native()));
    // The current cell is brought onto the new 2 x 2 grid: (1, 1).
    EXPECT_EQ(editor.state().m_nCurCell, 3);
    EXPECT_EQ(user.transcript(),
              (Lines{"open: *.png", "import options",
                     "message: " + ImportProcedures::ImportSummary(4, 2, 0, false)}));
    const ImportOptionsEdit& shown = *user.calls()[1].import;
    EXPECT_TRUE(shown.sizeLocked);
    EXPECT_EQ(shown.imageWidth, 32);

    EXPECT_EQ(doc.tiles().count(), 5);
    EXPECT_EQ(doc.map().width(), 2);
    EXPECT_EQ(doc.map().height(), 2);
    EXPECT_EQ(doc.map().cells(), (std::vector<uint16_t>{1, 0, 3, 4}));
    EXPECT_EQ(doc.map().format().items,
              (std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile}));
    EXPECT_EQ(doc.file().path, "Untitled.map");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.UndoName(), command::kImportImage);
    const SetState tilesAfter(doc.tiles());
    const MapSnapshot mapAfter(doc);
    const size_t bytes = doc.history().bytes();

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(editor.state().m_nCurCell, 3); // a number the old grid has stays as it is
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(SetState(doc.tiles()), tilesAfter);
    EXPECT_EQ(MapSnapshot(doc), mapAfter);
    EXPECT_TRUE(doc.IsModified());
    // The step weighs the same whichever map it holds.
    EXPECT_EQ(doc.history().bytes(), bytes);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.history().bytes(), bytes);
}

TEST_F(ImportProceduresTest, ImageWithoutMapAddsTilesOnly) {
    SavedMap();
    const MapSnapshot mapBefore(doc);
    const SetState tilesBefore(doc.tiles());
    user.openFile(Picture()).acceptImport();
    ASSERT_TRUE(ImportImage(FileSystem::Native()));
    EXPECT_EQ(doc.tiles().count(), 5);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_TRUE(doc.IsModified()); // what the map file embeds changed
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
}

TEST_F(ImportProceduresTest, AnEmptySetTakesTheSizeChosenAndKeepsItsColours) {
    doc.tiles().tiles().Setup(32, 32); // the start-up set: 32 x 32, no tiles
    ColourTable colours{};
    colours[4 * 200 + 2] = 77;
    doc.tiles().SetColourTable(colours);
    const std::string path = Picture();
    user.openFile(path).acceptImport([](ImportOptionsEdit& e) {
        EXPECT_FALSE(e.sizeLocked);
        e.tileWidth = 16;
        e.tileHeight = 16;
        e.takePalette = false; // ticked for an empty set: the colours stay only without it
    });
    ASSERT_TRUE(ImportImage(FileSystem::Native()));
    EXPECT_EQ(doc.tiles().tileWidth(), 16);
    EXPECT_EQ(doc.tiles().count(), 4);
    EXPECT_EQ(doc.tiles().colourTable()[4 * 200 + 2], 77);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.tiles().tiles().width(), 32);
    EXPECT_EQ(doc.tiles().count(), 0);
}

TEST_F(ImportProceduresTest, FailedImportsChangeNothingAndMakeNoStep) {
    SavedMap();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    const uint64_t revision = doc.historyRevision();
    // Not a whole number of tiles, with and without a map.
    TileSet source;
    kesh::test::MakeTiles(source, 8, 8, 3);
    const std::string odd = dir.file("odd.png");
    kesh::test::WriteBytes(odd, PictureOf(source, 3, 1, {0, 1, 2}));
    user.openFile(odd).acceptImport();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    user.openFile(odd);
    AcceptWithMap();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    // A damaged file and one that is not there.
    const std::string junk = dir.file("junk.png");
    kesh::test::WriteBytes(junk, {0x89, 'P', 'N', 'G', 1, 2, 3});
    user.openFile(junk).openFile(dir.file("none.png"));
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    // Cancelled dialogs.
    user.cancelOpen().openFile(Picture()).cancelImport();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    EXPECT_FALSE(ImportImage(FileSystem::Native()));

    const Lines messages = user.messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], std::string(msg::kImageNotTileMultiple) + "\n" + odd);
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[3], std::string(msg::kOpenFailed) + "\n" + dir.file("none.png"));
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_EQ(doc.historyRevision(), revision);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ImportProceduresTest, DamagedPixelDataIsFoundAfterTheOptionsAndChangesNothing) {
    // A PNG is read band by band during the import, so a sound header lets
    // the options dialog come first; the damage still changes nothing.
    SavedMap();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    const uint64_t revision = doc.historyRevision();
    TileSet source;
    kesh::test::MakeTiles(source, 16, 16, 5);
    std::vector<uint8_t> png = PictureOf(source, 2, 2, {1, 0, 3, 4});
    png[png.size() - 20] ^= 0x40; // in the last bytes of the image data
    const std::string path = dir.file("damaged.png");
    kesh::test::WriteBytes(path, png);
    for (const bool withMap : {false, true}) {
        user.clearCalls();
        user.openFile(path).acceptImport([&](ImportOptionsEdit& e) { e.makeMap = withMap; });
        EXPECT_FALSE(ImportImage(FileSystem::Native()));
        EXPECT_EQ(user.transcript(),
                  (Lines{"open: *.png", "import options",
                         "message: " + std::string(msg::kPngDamaged) + "\n" + path}));
    }
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_EQ(doc.historyRevision(), revision);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ImportProceduresTest, TheSaveQuestionComesBeforeAMapAndStopsItWhenTheSaveFails) {
    SavedMap();
    doc.map().cells()[0] = 0; // changed since saved
    doc.MarkChanged();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    faulty.fault = FaultyFileSystem::Fault::Rename;
    user.openFile(Picture());
    AcceptWithMap().yes();
    EXPECT_FALSE(ImportImage(faulty));
    ASSERT_EQ(user.transcript().size(), 4u);
    EXPECT_EQ(user.transcript()[2], kAskSave);
    EXPECT_EQ(user.messages(), (Lines{std::string(msg::kSaveFailed) + "\n" + dir.file("old.map")}));
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);

    // Declined: the import goes ahead, and undo brings the changed map back.
    user.clearCalls();
    user.openFile(Picture());
    AcceptWithMap().no();
    ASSERT_TRUE(ImportImage(FileSystem::Native()));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ImportProceduresTest, AFullSetTakesWhatFitsWithoutAMapAndNothingWithOne) {
    // 512 x 512 tiles: the set holds 10 of them; the picture has 11.
    kesh::test::MakeTiles(doc.tiles(), 512, 512, 0);
    ASSERT_EQ(doc.tiles().tiles().capacity(), 10);
    // A column of 11 distinct tiles (a set cannot hold them to draw from).
    const std::string path = dir.file("big.png");
    kesh::test::WriteBytes(
        path,
        *EncodeIndexedPng(512, 512 * 11, doc.tiles().colourTable(), [](int64_t y, uint8_t* out) {
            const auto tile = kesh::test::TilePixels(512, 512, int(y / 512));
            std::copy_n(tile.data() + (y % 512) * 512, 512, out);
        }));
    const MapSnapshot mapBefore(doc);

    user.openFile(path);
    AcceptWithMap();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    EXPECT_EQ(user.messages(), (Lines{msg::kTileSetFull}));
    EXPECT_EQ(doc.tiles().count(), 0);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_FALSE(doc.CanUndo());

    user.clearCalls();
    user.openFile(path).acceptImport();
    EXPECT_TRUE(ImportImage(FileSystem::Native()));
    EXPECT_EQ(doc.tiles().count(), 10);
    ASSERT_EQ(user.messages().size(), 2u);
    EXPECT_EQ(user.messages()[0], msg::kTileSetFull);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.tiles().count(), 0);
}

// A Tiled map of `cells` over three 8 x 8 tiles, written to the folder.
std::string WriteTmx(const kesh::test::TempDir& dir, const TileSet& set, int32_t w, int32_t h,
                     const std::vector<uint16_t>& cells) {
    kesh::test::MemoryLoader files;
    const std::string tmx = kesh::test::MakeTmx(set, w, h, cells, {}, files);
    for (const auto& [name, bytes] : files.files)
        kesh::test::WriteBytes(dir.file(name), bytes);
    const std::string path = dir.file("level.tmx");
    kesh::test::WriteBytes(path, {tmx.begin(), tmx.end()});
    return path;
}

TEST_F(ImportProceduresTest, TmxReplacesMapAndTilesAsOneStep) {
    SavedMap();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    TileSet source;
    kesh::test::MakeTiles(source, 8, 8, 3);
    ColourTable colours{};
    colours[4 * 5 + 1] = 0x84; // the sheet's colours come along
    source.SetColourTable(colours);
    const std::vector<uint16_t> cells{2, 0, kEmptyCell, 1, 1, 2};
    user.openFile(WriteTmx(dir, source, 3, 2, cells));
    ASSERT_TRUE(ImportTmx(FileSystem::Native()));
    EXPECT_EQ(user.transcript(), (Lines{"open: *.tmx"})); // unchanged map: no question
    EXPECT_EQ(doc.tiles().tileWidth(), 8);
    EXPECT_EQ(SetState(doc.tiles()).pixels, SetState(source).pixels);
    EXPECT_EQ(doc.map().cells(), cells);
    EXPECT_EQ(doc.tiles().colourTable()[4 * 5 + 1], 0x84);
    EXPECT_EQ(doc.file().name, "Untitled.map");
    EXPECT_EQ(doc.UndoName(), command::kImportTmx);
    const SetState tilesAfter(doc.tiles());

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(doc.tiles().tiles().width(), 16);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(SetState(doc.tiles()), tilesAfter);
    EXPECT_EQ(doc.map().cells(), cells);
}

TEST_F(ImportProceduresTest, TmxFailuresChangeNothing) {
    SavedMap();
    doc.MarkChanged();
    const SetState tilesBefore(doc.tiles());
    const MapSnapshot mapBefore(doc);
    const std::string broken = dir.file("broken.tmx");
    kesh::test::WriteBytes(broken, {'<', 'm', 'a', 'p'});
    user.no().openFile(broken);
    EXPECT_FALSE(ImportTmx(FileSystem::Native()));
    ASSERT_EQ(user.messages().size(), 1u);
    EXPECT_EQ(user.messages()[0].rfind(msg::kTmxBadXml, 0), 0u);
    // The save question first: a failed save stops before the file dialog.
    user.clearCalls();
    faulty.fault = FaultyFileSystem::Fault::Rename;
    user.yes();
    EXPECT_FALSE(ImportTmx(faulty));
    EXPECT_EQ(user.transcript().front(), kAskSave);
    EXPECT_TRUE(user.allUsed());
    EXPECT_EQ(SetState(doc.tiles()), tilesBefore);
    EXPECT_EQ(MapSnapshot(doc), mapBefore);
    EXPECT_FALSE(doc.CanUndo());
}

} // namespace

// An import whose map the map cannot hold, or that fails after touching the
// set, leaves the tiles as they were and makes no step.
TEST(DocumentImportMapTest, AMapItCannotHoldOrAFailureGivesTheTilesBack) {
    Document doc;
    kesh::test::MakeTiles(doc.tiles(), 16, 16, 2);
    const SetState before(doc.tiles());
    const std::vector<uint16_t> cells = doc.map().cells();
    const auto addTile = [](TileSet& tiles) {
        tiles.tiles().Append(kesh::test::TilePixels(16, 16, 7).data(), 0);
    };
    Status st = doc.ImportMap(command::kImportImage, 2,
                              [&](TileSet& tiles, MapFormat& format, std::vector<uint16_t>& out, auto&) {
                                  addTile(tiles);
                                  format.width = 0;
                                  format.height = 3;
                                  out.clear();
                                  return Status::Ok();
                              });
    EXPECT_EQ(st.message(), std::string(msg::kBadMapSize));
    st = doc.ImportMap(command::kImportImage, 2, [&](TileSet& tiles, MapFormat&, auto&, auto&) {
        addTile(tiles);
        return Status::Fail("x");
    });
    EXPECT_FALSE(st);
    EXPECT_EQ(SetState(doc.tiles()), before);
    EXPECT_EQ(doc.map().cells(), cells);
    EXPECT_FALSE(doc.CanUndo());
}

TEST_F(ImportProceduresTest, TmxFlippedTilesAreOfferedToBeDroppedInsteadOfRefused) {
    TileSet source;
    kesh::test::MakeTiles(source, 8, 8, 2);
    const std::string path = WriteTmx(dir, source, 2, 1, {1, 0});
    // The first cell's gid (2) with Tiled's horizontal flip bit.
    std::vector<uint8_t> bytes = kesh::test::ReadBytes(path);
    std::string text(bytes.begin(), bytes.end());
    const size_t data = text.find("2,1", text.find("<data"));
    ASSERT_NE(data, std::string::npos);
    text.replace(data, 1, std::to_string(0x80000002u));
    kesh::test::WriteBytes(path, {text.begin(), text.end()});

    user.openFile(path).no(); // declined: refused as before, nothing changed
    EXPECT_FALSE(ImportTmx(FileSystem::Native()));
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_EQ(user.messages().size(), 1u);
    EXPECT_EQ(user.messages()[0].rfind(msg::kTmxFlipped, 0), 0u);

    user.clearCalls();
    user.openFile(path).yes();
    ASSERT_TRUE(ImportTmx(FileSystem::Native()));
    EXPECT_EQ(doc.map().cells(), (std::vector<uint16_t>{1, 0}));
    EXPECT_EQ(doc.UndoName(), command::kImportTmx);
    EXPECT_EQ(user.messages(), (Lines{std::string(msg::kTmxFlipsDropped) + "1"}));
}

TEST_F(ImportProceduresTest, ANewPaletteIsPartOfTheImportStepAndTheSummaryGivesItsPsnr) {
    const kesh::test::PngRecipe recipe{.width = 32,
                                       .height = 16,
                                       .colourType = PNG_COLOR_TYPE_RGB,
                                       .samples = kesh::test::ManyColours(32, 16)};
    const std::string path = dir.file("photo.png");
    kesh::test::WriteBytes(path, kesh::test::MakePng(recipe));
    const SetState before(doc.tiles());
    user.openFile(path);
    user.acceptImport([](ImportOptionsEdit& e) {
        e.tileWidth = e.tileHeight = 16;
        e.newPalette = true;
    });
    ASSERT_TRUE(ImportImage(FileSystem::Native()));
    const std::string summary = user.transcript().back();
    EXPECT_NE(summary.find("새 팔레트: 256색, PSNR "), std::string::npos) << summary;
    EXPECT_NE(summary.find(" dB"), std::string::npos) << summary;
    EXPECT_FALSE(SetState(doc.tiles()) == before);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(SetState(doc.tiles()), before); // the colours too
}

// "팔레트 P개 × 색 K개" is offered only with a palette field, opening on what
// the field names; a P the field cannot name is refused, and an import keeps
// the layout with each cell's palette, the palettes' colours, in one step.
TEST_F(ImportProceduresTest, SubPalettesNeedAPaletteFieldAndAreOneStep) {
    const std::string path = dir.file("art.png");
    kesh::test::WriteBytes(
        path,
        kesh::test::MakePng(
            {4, 2, PNG_COLOR_TYPE_RGB, 8, false, kesh::test::LetterSamples({".r.b", "r.b."}), {}}));
    user.openFile(path).cancelImport();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    EXPECT_FALSE(user.calls().at(1).import->subPalettesOffered);

    bool plane = false;
    MapFormat snes;
    snes.width = 4;
    snes.height = 2;
    snes.items = {MapItem::SizeWord, MapItem::CellFields};
    snes.cells = *CellPresetLayout("snes", plane);
    ASSERT_TRUE(doc.map().ReplaceGrid(snes, std::vector<uint16_t>(8, 0)));
    const SetState set(doc.tiles());
    for (int palettes : {16, 2}) {
        user.clearCalls();
        user.openFile(path).acceptImport([&](ImportOptionsEdit& e) {
            e.tileWidth = e.tileHeight = 2;
            e.makeMap = e.subPalettes = true;
            e.palettes = palettes;
            e.coloursPerPalette = 2;
        });
        EXPECT_EQ(ImportImage(FileSystem::Native()), palettes == 2);
        if (palettes == 16) {
            EXPECT_NE(user.messages().back().find("8개까지만"), std::string::npos);
        }
    }
    const ImportOptionsEdit opened = *user.calls().at(1).import;
    EXPECT_TRUE(opened.subPalettesOffered);
    EXPECT_EQ(opened.palettes, 8);
    EXPECT_EQ(opened.coloursPerPalette, 16);
    EXPECT_EQ(doc.map().cells(), (std::vector<uint16_t>{0, 0}));
    EXPECT_EQ(doc.map().attrs(), (std::vector<uint16_t>{0, cellbit::WithPalette(0, 1)}));
    EXPECT_EQ(doc.map().format().items, snes.items);
    EXPECT_EQ(doc.map().format().cells.coloursPerPalette, 2);
    EXPECT_EQ(doc.tiles().argbOf(3), 0xFF0000FFu); // palette 1, colour 1: blue
    EXPECT_NE(user.messages().back().find("팔레트 2개 × 색 2개 가운데 팔레트 2개를 썼습니다."),
              std::string::npos)
        << user.messages().back();
    doc.Undo();
    EXPECT_EQ(doc.map().format(), snes);
    EXPECT_TRUE(SetState(doc.tiles()) == set);

    // The NES table names four palettes of its own, each for 2 x 2 tiles.
    MapFormat nes = PlatformPresetLayouts("nes")->map;
    nes.width = 4;
    nes.height = 2;
    ASSERT_TRUE(doc.map().ReplaceGrid(nes, std::vector<uint16_t>(8, 0)));
    user.clearCalls();
    user.openFile(path).cancelImport();
    EXPECT_FALSE(ImportImage(FileSystem::Native()));
    const ImportOptionsEdit nesOpened = *user.calls().at(1).import;
    EXPECT_TRUE(nesOpened.subPalettesOffered);
    EXPECT_EQ(nesOpened.palettes, 4);
    EXPECT_EQ(nesOpened.coloursPerPalette, 4);
    EXPECT_EQ(nesOpened.paletteArea, 2);
    user.openFile(path).acceptImport([&](ImportOptionsEdit& e) {
        e.tileWidth = e.tileHeight = 2;
        e.makeMap = e.subPalettes = true;
    });
    EXPECT_TRUE(ImportImage(FileSystem::Native())) << user.messages().back();
    EXPECT_EQ(doc.map().format().items, nes.items);
}
