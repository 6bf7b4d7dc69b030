#include <gtest/gtest.h>

#include "app/MapProcedures.h"
#include "support/ScriptedUserServices.h"
#include "support/TempDir.h"
#include "support/TerrainSets.h"
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
            doc.map().format().items = {MapItem::SizeWord, MapItem::CellsWord};
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

} // namespace
} // namespace kesh
