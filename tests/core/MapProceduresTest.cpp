#include <gtest/gtest.h>

#include <filesystem>

#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using kesh::test::FaultyFileSystem;
using kesh::test::ReadBytes;
using kesh::test::ScriptedUserServices;
using kesh::test::TileSetState;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

namespace {

const std::string kAskSave = std::string("yesno: ") + msg::kAskSaveChanged;

// Everything an open or a cancelled procedure must leave alone.
struct MapState {
    MapFormat format;
    std::vector<uint16_t> cells;
    int modified;
    std::string fileName, pathName;

    explicit MapState(const Document& d)
        : format(d.map().format()), cells(d.map().cells()), modified(d.IsModified()),
          fileName(d.file().name), pathName(d.file().path) {}
    bool operator==(const MapState&) const = default;
};

struct MapProceduresTest : ::testing::Test {
    kesh::test::TempDir dir;
    Document doc;
    MapModel& map = doc.map();
    TileSet& tiles = doc.tiles();
    ScriptedUserServices user;
    Lines titles;

    MapProcedures procs(FileSystem& fs = FileSystem::Native()) {
        return MapProcedures(doc, user, fs, [this](const std::string& t) { titles.push_back(t); });
    }

    void SetUp() override {
        kesh::test::MakeTiles(tiles, 16, 16, 3);
        map.cells()[0] = 1;
        map.cells()[65] = 2;
    }

    // Saves the map under `name` in the folder, then forgets the save question.
    void saveAs(const std::string& name) {
        user.saveFile(dir.file(name));
        ASSERT_TRUE(procs().SaveMapAs());
        user.clearCalls();
        titles.clear();
    }
};

} // namespace

TEST_F(MapProceduresTest, CancellingTheNewMapDialogChangesNothing) {
    doc.MarkChanged();
    const MapState before(doc);
    user.no().cancelMap();
    EXPECT_FALSE(procs().NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "map format"}));
    EXPECT_EQ(MapState(doc), before);

    const MapFormatEdit& shown = *user.calls().at(1).map;
    EXPECT_FALSE(shown.sizesLocked);
    EXPECT_FALSE(shown.hasHeader);
    EXPECT_EQ(shown.width, 64);
    EXPECT_EQ(shown.height, 64);
    EXPECT_EQ(shown.items, (Bytes{MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile}));
}

TEST_F(MapProceduresTest, DecliningToSaveIsAskedAgainBeforeTheGridGoes) {
    saveAs("old.map");
    doc.MarkChanged();
    user.no().acceptMap([](MapFormatEdit& e) {
        e.width = 10;
        e.height = 5;
        e.hasHeader = true;
        e.header = "H";
        e.items = {MapItem::SizeWord, MapItem::CellsWord};
    });
    user.no();
    EXPECT_TRUE(procs().NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "map format", kAskSave}));
    EXPECT_EQ(map.width(), 10);
    EXPECT_EQ(map.height(), 5);
    EXPECT_EQ(map.cells(), std::vector<uint16_t>(50, kEmptyCell));
    EXPECT_EQ(map.format().header, "H");
    EXPECT_EQ(map.format().items, (Bytes{MapItem::SizeWord, MapItem::CellsWord}));
    EXPECT_EQ(doc.file().name, "Untitled.map");
    EXPECT_EQ(doc.file().path, "Untitled.map");
    EXPECT_FALSE(doc.IsModified()); // a new map starts unchanged, whatever became of the old
    EXPECT_TRUE(titles.empty());
}

TEST_F(MapProceduresTest, YesOnTheSecondQuestionSavesTheOldMapAsItWas) {
    saveAs("old.map");
    map.cells()[1] = 2;
    doc.MarkChanged();
    user.no().acceptMap([](MapFormatEdit& e) {
        e.width = 3;
        e.height = 2;
        e.items = {MapItem::CellsWord};
    });
    user.yes();
    EXPECT_TRUE(procs().NewMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "map format", kAskSave}));

    // The old grid, in the old layout, under the old name: 64 x 64 bytes of cells.
    const Bytes saved = ReadBytes(dir.file("old.map"));
    ASSERT_GE(saved.size(), 2u + 4096u);
    EXPECT_EQ(Bytes(saved.begin(), saved.begin() + 5), (Bytes{64, 64, 1, 2, 0xFF}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(map.cellCount(), 6);
}

TEST_F(MapProceduresTest, ANewMapOfAnImpossibleSizeIsRefused) {
    const MapState before(doc);
    for (auto [w, h] : {std::pair{0, 10}, {-5, 10}, {65536, 1}, {16385, 16384}, {65535, 4097}}) {
        user.acceptMap([w, h](MapFormatEdit& e) {
            e.width = w;
            e.height = h;
        });
        EXPECT_FALSE(procs().NewMap());
    }
    std::vector<std::string> expected = Lines(3, msg::kBadMapSize);
    expected.push_back("지도가 너무 큽니다 (최대 268,435,456칸).\n16385 x 16384칸");
    expected.push_back("지도가 너무 큽니다 (최대 268,435,456칸).\n65535 x 4097칸");
    EXPECT_EQ(user.messages(), expected);
    EXPECT_EQ(MapState(doc), before);
}

TEST_F(MapProceduresTest, SavingANewMapAsksForANameOnce) {
    doc.MarkChanged();
    user.saveFile(dir.file("town.map"));
    ASSERT_TRUE(procs().SaveMap());
    EXPECT_EQ(user.transcript(), Lines{"save: *.map"});
    const FileDialogOptions& dialog = user.calls().at(0).file;
    EXPECT_EQ(dialog.defaultExtension, "map");
    EXPECT_TRUE(dialog.confirmOverwrite);
    EXPECT_EQ(doc.file().name, "town.map");
    EXPECT_EQ(doc.file().path, dir.file("town.map"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(dir.entries(), (Lines{"town.kmf", "town.map"}));
    EXPECT_EQ(ReadBytes(dir.file("town.kmf")), BuildKmf(map.format(), tiles.format()));

    map.cells()[2] = 0;
    doc.MarkChanged();
    ASSERT_TRUE(procs().SaveMap());
    EXPECT_EQ(user.calls().size(), 1u);
    EXPECT_EQ(ReadBytes(dir.file("town.map")).at(4), 0);
    EXPECT_EQ(titles, Lines{"town.map"}); // named by the first save, as by an open
}

TEST_F(MapProceduresTest, SaveFailuresAreShownAndKeepTheChangedFlag) {
    doc.MarkChanged();
    user.cancelSave();
    EXPECT_FALSE(procs().SaveMap());
    EXPECT_EQ(doc.file().path, "Untitled.map");

    // A map that embeds its tiles can't be saved with no tiles to embed.
    Document noTiles;
    noTiles.MarkChanged();
    user.saveFile(dir.file("a.map"));
    EXPECT_FALSE(MapProcedures(noTiles, user, FileSystem::Native()).SaveMap());
    EXPECT_EQ(user.messages(), Lines{msg::kNoTilesToEmbed});
    EXPECT_TRUE(noTiles.IsModified());
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(MapProceduresTest, SaveAsToAnUnwritablePathKeepsTheOldName) {
    saveAs("old.map");
    doc.MarkChanged();
    FaultyFileSystem faulty;
    faulty.fault = FaultyFileSystem::Fault::Create;
    user.saveFile(dir.file("new.map"));
    EXPECT_FALSE(procs(faulty).SaveMapAs());
    EXPECT_EQ(user.transcript(), (Lines{"save: *.map", "message: " + std::string(msg::kSaveFailed) +
                                                           "\n" + dir.file("new.map")}));
    EXPECT_EQ(doc.file().name, "old.map");
    EXPECT_EQ(doc.file().path, dir.file("old.map"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(dir.entries(), (Lines{"old.kmf", "old.map"}));

    user.cancelSave();
    EXPECT_FALSE(procs().SaveMapAs());
    EXPECT_EQ(doc.file().path, dir.file("old.map"));

    user.saveFile(dir.file("new.map"));
    EXPECT_TRUE(procs().SaveMapAs());
    EXPECT_EQ(doc.file().name, "new.map");
    // The caption follows each name taken, never a failed or cancelled one.
    EXPECT_EQ(titles, Lines{"new.map"});
}

TEST_F(MapProceduresTest, OpenReadsTheMapAndItsTilesAndNamesTheCaption) {
    map.format().header = "KM";
    map.format().items = {MapItem::SizeWord, MapItem::TileFile, MapItem::CellsWord};
    saveAs("town.map");
    const MapState saved(doc);
    const TileSetState savedTiles(tiles);

    MapModel fresh;
    map = std::move(fresh);
    kesh::test::MakeTiles(tiles, 16, 16, 1);
    doc.MarkSaved();
    user.openFile(dir.file("town.map"));
    ASSERT_TRUE(procs().OpenMap());
    EXPECT_EQ(user.transcript(), Lines{"open: *.map"});
    EXPECT_FALSE(user.calls().at(0).file.confirmOverwrite);
    EXPECT_EQ(map.cells(), saved.cells);
    EXPECT_EQ(map.format(), saved.format);
    EXPECT_EQ(doc.file().name, "town.map");
    EXPECT_EQ(doc.file().path, dir.file("town.map"));
    EXPECT_EQ(TileSetState(tiles), savedTiles);
    EXPECT_EQ(titles, Lines{"town.map"});
}

TEST_F(MapProceduresTest, OpenOffersToSaveAChangedMapFirst) {
    saveAs("town.map");
    map.cells()[3] = 2;
    doc.MarkChanged();
    user.yes().cancelOpen();
    EXPECT_FALSE(procs().OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "open: *.map"}));
    EXPECT_EQ(ReadBytes(dir.file("town.map")).at(5), 2);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MapProceduresTest, AFailedOpenLeavesEverythingAsItWas) {
    saveAs("town.map");

    // A .map cut short, a .map that is gone, a damaged .kmf.
    const Bytes full = ReadBytes(dir.file("town.map"));
    std::filesystem::copy_file(dir.file("town.kmf"), dir.file("short.kmf"));
    WriteBytes(dir.file("short.map"), Bytes(full.begin(), full.begin() + 100));
    std::filesystem::copy_file(dir.file("town.kmf"), dir.file("gone.kmf"));
    WriteBytes(dir.file("bad.map"), full);
    WriteBytes(dir.file("bad.kmf"), {0, 9});

    map.cells()[7] = 1;
    map.format().header = "X";
    doc.MarkChanged();
    tiles.format().attrWidth = 1;
    const MapState before(doc);
    const TileSetState tilesBefore(tiles);
    user.no().openFile(dir.file("short.map"));
    user.no().openFile(dir.file("gone.map"));
    user.no().openFile(dir.file("bad.map"));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(procs().OpenMap());
    EXPECT_EQ(user.messages(),
              (Lines{msg::kDamagedFile, std::string(msg::kOpenFailed) + "\n" + dir.file("gone.map"),
                     msg::kDamagedFile}));
    EXPECT_EQ(MapState(doc), before);
    EXPECT_EQ(TileSetState(tiles), tilesBefore);
    EXPECT_TRUE(titles.empty());
}

TEST_F(MapProceduresTest, WithoutKmfTheLayoutIsSetByHand) {
    saveAs("town.map");
    std::filesystem::remove(dir.file("town.kmf"));
    const MapState before(doc);
    const TileSetState tilesBefore(tiles);
    const std::string ask = std::string("yesno: ") + msg::kAskKmfMissing;

    user.openFile(dir.file("town.map")).no();
    user.openFile(dir.file("town.map")).yes().cancelMap();
    EXPECT_FALSE(procs().OpenMap());
    EXPECT_FALSE(procs().OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{"open: *.map", ask, "open: *.map", ask, "map format"}));
    EXPECT_EQ(MapState(doc), before);

    // The map dialog on the defaults, then the tile format dialog on the set's
    // own layout with its size locked.
    tiles.format().header = "TH";
    user.clearCalls();
    user.openFile(dir.file("town.map")).yes().acceptMap().acceptTile([](TileFormatEdit& e) {
        e.hasHeader = false;
    });
    ASSERT_TRUE(procs().OpenMap());
    EXPECT_EQ(user.transcript(), (Lines{"open: *.map", ask, "map format", "tile format"}));
    EXPECT_FALSE(user.calls().at(2).map->sizesLocked);
    EXPECT_EQ(user.calls().at(2).map->width, 64);
    EXPECT_TRUE(user.calls().at(3).tile->sizesLocked);
    EXPECT_EQ(user.calls().at(3).tile->header, "TH");
    std::vector<uint16_t> asBytes = before.cells; // the default layout keeps a byte per cell
    for (uint16_t& c : asBytes)
        c &= 0xFF;
    EXPECT_EQ(map.cells(), asBytes);
    EXPECT_EQ(TileSetState(tiles).pixels, tilesBefore.pixels);
    EXPECT_EQ(tiles.format().header, ""); // as the embedded tile file has it
    EXPECT_EQ(titles, Lines{"town.map"});
}

TEST_F(MapProceduresTest, HandSetLayoutWithoutTilesKeepsTheTileDialogsChoices) {
    map.format().items = {MapItem::CellsByte};
    doc.SetFile(FileIdentity::Of(dir.file("plain.map")));
    ASSERT_TRUE(procs().SaveMap());
    std::filesystem::remove(dir.file("plain.kmf"));
    const TileSetState tilesBefore(tiles);

    // The tile dialog cancelled: the open goes on with the set's layout.
    user.openFile(dir.file("plain.map")).yes().acceptMap([](MapFormatEdit& e) {
        e.width = 64;
        e.height = 64;
        e.items = {MapItem::CellsByte};
    });
    user.cancelTile();
    ASSERT_TRUE(procs().OpenMap());
    EXPECT_EQ(TileSetState(tiles), tilesBefore);
    EXPECT_EQ(map.cellAt(0, 0), 1);

    // Confirmed: the set takes the dialog's layout, header included.
    user.openFile(dir.file("plain.map")).yes().acceptMap([](MapFormatEdit& e) {
        e.items = {MapItem::CellsByte};
    });
    user.acceptTile([](TileFormatEdit& e) {
        e.hasHeader = true;
        e.header = "TH";
        e.attrWidth = 2;
        e.items = {TileItem::CountByte};
    });
    ASSERT_TRUE(procs().OpenMap());
    EXPECT_EQ(tiles.format().header, "TH");
    EXPECT_EQ(tiles.format().attrWidth, 2);
    EXPECT_EQ(tiles.format().items, Bytes{TileItem::CountByte});
    EXPECT_EQ(tiles.count(), 3);
}

TEST_F(MapProceduresTest, ChangeFormatTakesItemsAndHeaderOnly) {
    map.format().header = "AB";
    const MapState before(doc);
    user.cancelMap();
    EXPECT_FALSE(procs().ChangeMapFormat());
    EXPECT_EQ(MapState(doc), before);
    const MapFormatEdit& shown = *user.calls().at(0).map;
    EXPECT_TRUE(shown.sizesLocked);
    EXPECT_TRUE(shown.hasHeader);
    EXPECT_EQ(shown.header, "AB");

    user.acceptMap([](MapFormatEdit& e) {
        e.hasHeader = false;
        e.items = {MapItem::SizeDword, MapItem::CellsWord};
    });
    EXPECT_TRUE(procs().ChangeMapFormat());
    EXPECT_EQ(map.format().header, "");
    EXPECT_EQ(map.format().items, (Bytes{MapItem::SizeDword, MapItem::CellsWord}));
    EXPECT_EQ(map.width(), 64);
    EXPECT_EQ(map.cells(), before.cells);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(MapProceduresTest, ExportWritesTheBitmapOrSaysWhyNot) {
    user.cancelSave().saveFile(dir.file("map.bmp"));
    EXPECT_FALSE(procs().ExportMapBitmap());
    EXPECT_TRUE(procs().ExportMapBitmap());
    EXPECT_EQ(ReadBytes(dir.file("map.bmp")).size(), 1078u + 1024u * 1024u);
    EXPECT_EQ(user.calls().at(0).file.initialName, "*.bmp");

    FaultyFileSystem faulty;
    faulty.fault = FaultyFileSystem::Fault::Write;
    faulty.writeBudget = 5000;
    user.saveFile(dir.file("cut.bmp"));
    EXPECT_FALSE(procs(faulty).ExportMapBitmap());
    EXPECT_EQ(user.messages(), Lines{std::string(msg::kSaveFailed) + "\n" + dir.file("cut.bmp")});
    EXPECT_EQ(dir.entries(), Lines{"map.bmp"});
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MapProceduresTest, TheQuestionAtExitIsOnlyForAChangedMap) {
    doc.MarkChanged();
    user.yes().cancelSave();
    procs().AskSaveChanges();
    doc.MarkSaved();
    procs().AskSaveChanges();
    EXPECT_EQ(user.transcript(), (Lines{kAskSave, "save: *.map"}));
}
