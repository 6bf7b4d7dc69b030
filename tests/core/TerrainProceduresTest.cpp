#include <gtest/gtest.h>

#include "app/MapProcedures.h"
#include "app/TerrainHome.h"
#include "app/TerrainProcedures.h"
#include "app/TileProcedures.h"
#include "doc/CommandNames.h"
#include "raster/PngWriter.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TerrainSets.h"
#include "support/TerrainSheets.h"
#include "support/TestTiles.h"
#include "terrain/TerrainFile.h"
#include "terrain/TerrainMessages.h"

namespace kesh {
namespace {

// A map saved with its terrain set brings the set back when opened,
// unchanged; a damaged set beside it is told, and the map opens without.
TEST(TerrainProceduresTest, TheSetIsSavedAndOpenedWithTheMap) {
    struct Case {
        const char* what;
        std::string damage; // written over the set file after the save; empty: none
        bool setBack;
        std::string message;
    };
    const Case cases[] = {
        {"as saved", "", true, ""},
        {"damaged", "kesh-terrain 1\nkind corner\nterrain 물\ntile 1 0 0 0 9\n", false,
         std::string(terrainmsg::kBadLine) + " 4"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("land.map");
        {
            Document doc;
            test::ScriptedUserServices user;
            ASSERT_TRUE(doc.map().AllocateCells(4, 3));
            // The map holds its tiles, and so its terrain set.
            doc.map().format().items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
            test::MakeTiles(doc.tiles(), 8, 8, 16);
            ASSERT_TRUE(doc.SetTerrainSet(terrainsets::CornerSet16()));
            doc.FillTerrain(Rect{1, 1, 2, 2}, 1);
            user.saveFile(path);
            ASSERT_TRUE(MapProcedures(doc, user, FileSystem::Native()).SaveMapAs()) << c.what;
        }
        if (!c.damage.empty())
            test::WriteBytes(TerrainPathFor(path), {c.damage.begin(), c.damage.end()});
        Document doc;
        test::ScriptedUserServices user;
        ASSERT_TRUE(MapProcedures(doc, user, FileSystem::Native()).OpenMapPath(path)) << c.what;
        EXPECT_EQ(doc.terrain().active(), c.setBack) << c.what;
        EXPECT_FALSE(doc.IsModified()) << c.what;
        if (c.setBack) {
            EXPECT_EQ(doc.terrain().set(), terrainsets::CornerSet16());
            EXPECT_EQ(doc.terrain().value(2, 2), 1);
            EXPECT_EQ(doc.terrain().value(0, 0), 0);
            EXPECT_TRUE(user.messages().empty());
        } else {
            ASSERT_EQ(user.messages().size(), 1u) << c.what;
            EXPECT_EQ(user.messages()[0].rfind(c.message, 0), 0u) << user.messages()[0];
        }
    }
}

// A console's map keeps its tiles in a tile file of their own: the set goes
// with that file, is found again when it is opened, and stays when the map
// is opened again.
TEST(TerrainProceduresTest, TheSetOfAMapWithoutTilesGoesWithTheTileFile) {
    test::TempDir dir;
    const std::string mapPath = dir.file("land.map");
    // Named apart from the map, so that the two sets would not meet in one file.
    const std::string tilePath = dir.file("art.til");
    {
        Document doc;
        test::ScriptedUserServices user;
        ASSERT_TRUE(doc.map().AllocateCells(4, 3));
        doc.map().format().items = {MapItem::SizeWord, MapItem::CellsWord};
        test::MakeTiles(doc.tiles(), 8, 8, 16);
        ASSERT_TRUE(doc.SetTerrainSet(terrainsets::CornerSet16()));
        doc.FillTerrain(Rect{1, 1, 2, 2}, 1);
        user.saveFile(mapPath);
        ASSERT_TRUE(MapProcedures(doc, user, FileSystem::Native()).SaveMapAs());
        EXPECT_FALSE(FileSystem::Native().exists(TerrainPathFor(mapPath)));
        user.saveFile(tilePath);
        ASSERT_TRUE(TileProcedures(doc.tiles(), user, FileSystem::Native())
                        .OnTileSave([&](const std::string& path) {
                            return TerrainHome::ForTileSave(doc, path);
                        }));
        ASSERT_TRUE(FileSystem::Native().exists(TerrainPathFor(tilePath)));
    }
    Document doc;
    test::ScriptedUserServices user;
    MapProcedures maps(doc, user, FileSystem::Native());
    ASSERT_TRUE(maps.OpenMapPath(mapPath));
    EXPECT_FALSE(doc.terrain().active());
    ASSERT_TRUE(doc.Replace(
        [&](MapModel&, TileSet& tiles) {
            return TileProcedures(tiles, user, FileSystem::Native()).OpenTileSetPath(tilePath)
                       ? Status::Ok()
                       : Status::Fail("");
        },
        std::nullopt, true));
    TerrainHome::OpenBesideTiles(doc, FileSystem::Native(), user, tilePath);
    ASSERT_TRUE(doc.terrain().active());
    EXPECT_EQ(doc.terrain().set(), terrainsets::CornerSet16());
    EXPECT_EQ(doc.terrain().value(2, 2), 1);
    EXPECT_EQ(doc.terrain().value(0, 0), 0);
    ASSERT_TRUE(maps.OpenMapPath(mapPath));
    EXPECT_TRUE(doc.terrain().active());
    EXPECT_TRUE(user.messages().empty()) << user.messages()[0];

    // The other order: the tile file first, under the start-up map (which
    // holds its tiles), then the map.
    Document fresh;
    ASSERT_TRUE(fresh.Replace(
        [&](MapModel&, TileSet& tiles) {
            return TileProcedures(tiles, user, FileSystem::Native()).OpenTileSetPath(tilePath)
                       ? Status::Ok()
                       : Status::Fail("");
        },
        std::nullopt, true));
    TerrainHome::OpenBesideTiles(fresh, FileSystem::Native(), user, tilePath);
    ASSERT_TRUE(fresh.terrain().active());
    ASSERT_TRUE(MapProcedures(fresh, user, FileSystem::Native()).OpenMapPath(mapPath));
    EXPECT_TRUE(fresh.terrain().active());
    EXPECT_EQ(fresh.terrain().value(2, 2), 1);
}

// A template sheet (TerrainSheets.h) written as a palette PNG.
std::string WriteSheet(test::TempDir& dir, const char* name, TerrainTemplate which, int side) {
    const Image sheet = terrainsheets::Sheet(which, side, false);
    std::vector<uint8_t> colours(1024, 0);
    for (size_t i = 0; i < 256; ++i) {
        colours[4 * i] = uint8_t(i * 40);
        colours[4 * i + 1] = uint8_t(i * 90);
        colours[4 * i + 2] = uint8_t(255 - i);
    }
    const std::string path = dir.file(name);
    EXPECT_TRUE(WriteIndexedPng(FileSystem::Native(), path, sheet.m_width, sheet.m_height,
                                colours.data(), [&](int64_t y, uint8_t* out) {
                                    std::copy_n(sheet.m_pixels.begin() + y * sheet.m_width,
                                                sheet.m_width, out);
                                }));
    return path;
}

// 지형 만들기 from the first sheet to a replaced set: the dialog opens on the
// template the sheet fits, a new set takes the sheet's tile size, and
// whatever is refused (a declined replacement, a sheet of another tile size,
// a repeated name, a cancel) changes neither the tiles, the set nor the
// history.
TEST(TerrainProceduresTest, MakeTerrainAsksThenImportsTheSheetAsOneStep) {
    test::TempDir dir;
    const std::string corner8 = WriteSheet(dir, "c8.png", TerrainTemplate::Corner16, 8);
    const std::string blob8 = WriteSheet(dir, "b8.png", TerrainTemplate::Blob47, 8);
    const std::string blob12 = WriteSheet(dir, "b12.png", TerrainTemplate::Blob47, 12);
    Document doc;
    ASSERT_TRUE(doc.map().AllocateCells(4, 4));
    ASSERT_EQ(doc.tiles().count(), 0);
    const auto names = [](std::string lower, std::string upper, bool blob) {
        return [=](MakeTerrainEdit& e) {
            e.lower = lower;
            e.upper = upper;
            e.blob = blob;
        };
    };
    struct Step {
        const char* what;
        std::function<void(test::ScriptedUserServices&)> script;
        bool done;
        bool openedOnBlob;
        std::string message; // the start of the last message
        int32_t tiles;       // the set's count afterwards
        TerrainKind kind;
        std::vector<std::string> terrains; // the terrain set afterwards; empty: none
    };
    const std::vector<std::string> none;
    const Step steps[] = {
        {"a fresh set offered the blob template, cancelled",
         [&](auto& u) { u.openFile(blob8).cancelTerrain(); }, false, true, "", 0,
         TerrainKind::Corner, none},
        {"the corner sheet into an empty set",
         [&](auto& u) { u.openFile(corner8).acceptTerrain(names("물", "풀", false)); },
         true,
         false,
         "지형 세트를 만들었습니다: 물, 풀\n타일 16개",
         16,
         TerrainKind::Corner,
         {"물", "풀"}},
        {"replacing the set declined",
         [&](auto& u) { u.no(); },
         false,
         false,
         "",
         16,
         TerrainKind::Corner,
         {"물", "풀"}},
        {"a sheet of another tile size",
         [&](auto& u) { u.yes().openFile(blob12).acceptTerrain(names("", "", true)); },
         false,
         false,
         terrainmsg::kTemplateSize,
         16,
         TerrainKind::Corner,
         {"물", "풀"}},
        {"a repeated name",
         [&](auto& u) { u.yes().openFile(blob8).acceptTerrain(names("풀", "풀", true)); },
         false,
         true,
         terrainmsg::kRepeatedName,
         16,
         TerrainKind::Corner,
         {"물", "풀"}},
        // The two plain tiles are the corner set's 0 and 15: found, not added.
        {"a blob set replaces the corner set, unnamed terrains numbered",
         [&](auto& u) { u.yes().openFile(blob8).acceptTerrain(); },
         true,
         true,
         "지형 세트를 만들었습니다: 지형 1, 지형 2\n타일 48개에 지형을 붙였고, 그 중 46개",
         62,
         TerrainKind::Blob,
         {"지형 1", "지형 2"}},
    };
    uint64_t revision = doc.historyRevision();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        test::ScriptedUserServices user;
        s.script(user);
        EXPECT_EQ(TerrainProcedures(doc, user, FileSystem::Native()).OnMakeTerrain(), s.done);
        EXPECT_TRUE(user.allUsed());
        for (const auto& call : user.calls())
            if (call.terrain) {
                EXPECT_EQ(call.terrain->blob, s.openedOnBlob);
            }
        const auto messages = user.messages();
        if (s.message.empty()) {
            EXPECT_TRUE(messages.empty());
        } else {
            ASSERT_FALSE(messages.empty());
            EXPECT_EQ(messages.back().rfind(s.message, 0), 0u) << messages.back();
        }
        EXPECT_EQ(doc.tiles().count(), s.tiles);
        EXPECT_EQ(doc.terrain().set().terrains, s.terrains);
        if (!s.terrains.empty()) {
            EXPECT_EQ(doc.terrain().set().kind, s.kind);
        }
        // One step for each make, none for a refusal.
        EXPECT_EQ(doc.historyRevision(), revision + (s.done ? 1 : 0));
        if (s.done) {
            EXPECT_EQ(doc.UndoName(), command::kMakeTerrain);
        }
        revision = doc.historyRevision();
    }
    EXPECT_EQ(doc.tiles().tileWidth(), 8);

    // Each make is undone whole: the set before it, and the tiles.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.terrain().set().kind, TerrainKind::Corner);
    EXPECT_EQ(doc.tiles().count(), 16);
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.terrain().active());
    EXPECT_EQ(doc.tiles().count(), 0);
    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.terrain().set().terrains, (std::vector<std::string>{"지형 1", "지형 2"}));
    EXPECT_EQ(doc.tiles().count(), 62);
}

} // namespace
} // namespace kesh
