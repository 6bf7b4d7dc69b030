#include <gtest/gtest.h>

#include <string>

#include "app/MapProcedures.h"
#include "app/ReaderCode.h"
#include "app/TileProcedures.h"
#include "support/FaultyFileSystem.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

using namespace kesh;
using test::FaultyFileSystem;
using test::ScriptedUserServices;
using test::TempDir;

namespace {

struct Editor {
    Document doc;
    MapModel& map = doc.map();
    TileSet& tiles = doc.tiles();
    Editor() {
        EXPECT_TRUE(map.AllocateCells(4, 4));
        map.format().header = "HEAD";
        map.format().items = {MapItem::SizeWord, MapItem::TileFile, MapItem::CellsWord};
        test::MakeTiles(tiles, 8, 8, 2);
        tiles.format().attrWidth = 2;
        tiles.format().items = {TileItem::SizeByte, TileItem::CountByte, TileItem::TileAttrData};
    }
};

std::string Text(const std::string& path) {
    const auto bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(ReaderCodeTest, SavesTheReaderOfTheCurrentLayoutInTheChosenLanguage) {
    TempDir dir;
    Editor editor;
    FaultyFileSystem fs;
    ScriptedUserServices user;
    user.saveFile(dir.file("town_reader.h")).saveFile(dir.file("town_reader.py"));
    ASSERT_TRUE(SaveMapReaderCode(editor.map, editor.tiles, "town.map", user, fs));
    ASSERT_TRUE(SaveMapReaderCode(editor.map, editor.tiles, "town.map", user, fs));

    // The dialog offers both kinds.
    ASSERT_EQ(user.calls().size(), 2u);
    EXPECT_EQ(user.calls()[0].file.filters,
              (std::vector<std::string>{"C 헤더|*.h", "파이썬 모듈|*.py"}));
    EXPECT_TRUE(user.calls()[0].file.confirmOverwrite);

    // Offered under the map's name; the C names take the prefix of the file's.
    EXPECT_EQ(user.calls()[0].file.initialName, "town_reader.h");
    const std::string c = Text(dir.file("town_reader.h"));
    CodeLayout layout = CodeLayout::ForMap(
        CurrentMapDescriptor(editor.map.format(), editor.tiles.format()), "town.map");
    layout.prefix = "town";
    EXPECT_EQ(c, GenerateCReader(layout));
    EXPECT_NE(c.find("town_read_header(&in, 4,"), std::string::npos);
    EXPECT_NE(c.find("town_scan_start(&scan, 2);"), std::string::npos);
    EXPECT_NE(c.find("#ifndef TOWN_READER_H"), std::string::npos);
    EXPECT_EQ(Text(dir.file("town_reader.py")), GeneratePythonReader(layout));
}

TEST(ReaderCodeTest, CancelWritesNothingAndAFailedWriteIsReported) {
    TempDir dir;
    Editor editor;
    FaultyFileSystem fs;
    ScriptedUserServices user;
    user.cancelSave();
    EXPECT_FALSE(SaveMapReaderCode(editor.map, editor.tiles, "town.map", user, fs));
    EXPECT_TRUE(dir.entries().empty());

    fs.fault = FaultyFileSystem::Fault::Write;
    user.saveFile(dir.file("r.h"));
    EXPECT_FALSE(SaveMapReaderCode(editor.map, editor.tiles, "town.map", user, fs));
    ASSERT_EQ(user.messages().size(), 1u);
    EXPECT_EQ(user.messages()[0].rfind("파일을 저장하지 못했습니다.", 0), 0u);
    EXPECT_TRUE(dir.entries().empty());
}

TEST(ReaderCodeTest, LanguageGoesByTheExtension) {
    EXPECT_EQ(CodeLanguageOf("/a/b.py"), CodeLanguage::Python);
    EXPECT_EQ(CodeLanguageOf("/a/b.PY"), CodeLanguage::Python);
    EXPECT_EQ(CodeLanguageOf("/a/b.h"), CodeLanguage::C);
    EXPECT_EQ(CodeLanguageOf("/a/py"), CodeLanguage::C);
}

// The layout dialogs get the data their byte table needs where the procedure has it.
TEST(ReaderCodeTest, FormatDialogsGetTheDataOfTheCurrentMapAndTiles) {
    Editor editor;
    editor.map.cells()[5] = 300;
    FaultyFileSystem fs;
    ScriptedUserServices user;
    user.cancelMap().cancelTile().cancelMap();
    MapProcedures(editor.doc, user, fs).ChangeMapFormat();
    TileProcedures(editor.tiles, user, fs).OnTileFormat();
    editor.doc.MarkSaved();
    MapProcedures(editor.doc, user, fs).NewMap();

    ASSERT_EQ(user.calls().size(), 3u);
    const MapFormatEdit& change = *user.calls()[0].map;
    EXPECT_EQ(change.tiles, editor.tiles.format());
    ASSERT_TRUE(change.data);
    EXPECT_EQ(change.data->maxTile, 300u);
    EXPECT_EQ(change.data->tiles.count, 2);
    EXPECT_EQ(change.data->tiles.maxAttribute, 101u);
    const TileFormatEdit& tile = *user.calls()[1].tile;
    ASSERT_TRUE(tile.data);
    EXPECT_EQ(tile.data->count, 2);
    // A new map has no cells yet and its tile set is about to be made afresh.
    const MapFormatEdit& fresh = *user.calls()[2].map;
    EXPECT_EQ(fresh.tiles, editor.tiles.format());
    EXPECT_FALSE(fresh.data);
}

TEST(ReaderCodeTest, NamesAndPrefixesComeFromTheFile) {
    const std::pair<const char*, const char*> names[] = {
        {"town.map", "town_reader.h"},
        {"/maps/Dark Cave.map", "Dark Cave_reader.h"},
        {"Untitled.map", "kesh_reader.h"},
        {"", "kesh_reader.h"}};
    for (const auto& [data, offered] : names)
        EXPECT_EQ(DefaultReaderName(data, CodeLanguage::C), offered) << data;
    EXPECT_EQ(DefaultReaderName("town.map", CodeLanguage::Python), "town_reader.py");

    const std::pair<const char*, const char*> prefixes[] = {{"/g/town_reader.h", "town"},
                                                            {"kesh_reader.h", "kesh"},
                                                            {"level.h", "level"},
                                                            {"2-town.h", "kesh_2_town"},
                                                            {"Dark Cave_reader.h", "Dark_Cave"},
                                                            {"_reader.h", "reader"},
                                                            {"던전_reader.h", "kesh"},
                                                            {"/g/.h", "h"}};
    for (const auto& [path, prefix] : prefixes) {
        EXPECT_EQ(ReaderPrefixOf(path), prefix) << path;
        EXPECT_TRUE(IsReaderPrefix(ReaderPrefixOf(path))) << path;
    }
    for (const char* bad : {"", "2town", "town-map", "타운"})
        EXPECT_FALSE(IsReaderPrefix(bad)) << bad;
}
