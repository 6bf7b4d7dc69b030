#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "doc/CommandNames.h"
#include "map/MapFile.h"
#include "support/MemoryFileSystem.h"
#include "support/WorkshopTiles.h"

// The pencil's stroke through the document: every move shows at once, the
// whole drag is one step, and undo puts every touched pixel back.

namespace kesh::test {

namespace {

struct Heard : DocumentListener {
    int tiles = 0;
    void DocumentChanged(uint32_t changes) override { tiles += (changes & change::kTiles) ? 1 : 0; }
};

} // namespace

TEST(PixelStrokeTest, ADragIsOneStepAndUndoRestoresEveryPixel) {
    struct Case {
        const char* name;
        std::function<void(Document&)> drag; // ends with whatever closes the stroke
        std::vector<std::string> during;     // the tiles once the drag is done
        size_t steps;                        // on the history afterwards
        std::vector<std::string> undone;     // after one undo
    };
    const std::vector<Case> cases = {
        {"moves in one tile",
         [](Document& d) {
             d.PaintTilePixels(0, {{0, 0}}, 7);
             d.PaintTilePixels(0, {{1, 1}, {1, 0}}, 7);
             d.EndStroke();
         },
         {"7717", "2222"}, 1, {"1111", "2222"}},
        {"across two tiles (on the map)",
         [](Document& d) {
             d.PaintTilePixels(0, {{1, 0}}, 5);
             d.PaintTilePixels(1, {{0, 0}}, 5);
             d.PaintTilePixels(0, {{1, 1}}, 6);
             d.EndStroke();
         },
         {"1516", "5222"}, 1, {"1111", "2222"}},
        {"points off the tile and a missing tile change nothing",
         [](Document& d) {
             EXPECT_FALSE(d.PaintTilePixels(0, {{2, 0}, {-1, 1}, {0, 2}}, 9));
             EXPECT_FALSE(d.PaintTilePixels(2, {{0, 0}}, 9));
             EXPECT_FALSE(d.PaintTilePixels(-1, {{0, 0}}, 9));
             d.EndStroke();
         },
         {"1111", "2222"}, 0, {"1111", "2222"}},
        {"a stroke that puts every pixel back leaves no step",
         [](Document& d) {
             d.PaintTilePixels(0, {{0, 0}}, 3);
             d.PaintTilePixels(0, {{0, 0}}, 1);
             d.EndStroke();
         },
         {"1111", "2222"}, 0, {"1111", "2222"}},
        {"a cell paint closes the stroke: two steps",
         [](Document& d) {
             d.PaintTilePixels(1, {{1, 1}}, 4);
             d.PaintCell(0, 1);
             d.EndStroke();
         },
         {"1111", "2224"}, 2, {"1111", "2224"}},
        {"a whole-tile edit closes the stroke: two steps",
         [](Document& d) {
             d.PaintTilePixels(0, {{0, 0}}, 4);
             (void)d.TransformTile(0, TileTransform::FlipH);
         },
         {"1411", "2222"}, 2, {"4111", "2222"}},
        {"undo in the middle of a drag takes back what was drawn",
         [](Document& d) {
             d.PaintTilePixels(0, {{0, 1}}, 8);
             d.Undo();
             d.Redo();
         },
         {"1181", "2222"}, 1, {"1111", "2222"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        MakeWorkshop(doc, {"1111", "2222"}, {0, 1, 0});
        c.drag(doc);
        EXPECT_EQ(TileDigits(doc), c.during);
        EXPECT_EQ(doc.history().position(), c.steps);
        EXPECT_FALSE(doc.CanRedo());
        doc.Undo();
        EXPECT_EQ(TileDigits(doc), c.undone);
        if (c.steps > 0) {
            EXPECT_TRUE(doc.Redo());
            EXPECT_EQ(TileDigits(doc), c.during);
        }
    }
}

TEST(PixelStrokeTest, EveryMoveIsShownAndTheStrokeIsNamed) {
    Document doc;
    MakeWorkshop(doc, {"1111"}, {0});
    Heard heard;
    doc.AddListener(&heard);
    const uint64_t revision = doc.tiles().revision();
    for (int x = 0; x < 2; ++x)
        EXPECT_TRUE(doc.PaintTilePixels(0, {{x, 0}}, 3));
    EXPECT_EQ(heard.tiles, 2);
    EXPECT_GT(doc.tiles().revision(), revision); // the views' tile images are made again
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.UndoName(), command::kEditTile);
    doc.EndStroke();
    EXPECT_EQ(doc.UndoName(), command::kEditTile);
    doc.RemoveListener(&heard);
}

namespace {

// Notes the tile set's revision at every write: a save that let the
// document change under it would see more than one.
class WatchedFileSystem : public MemoryFileSystem {
public:
    explicit WatchedFileSystem(const Document& doc) : m_doc(doc) {}
    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        revisions.insert(m_doc.tiles().revision());
        return MemoryFileSystem::writeAll(handle, data, size);
    }
    std::set<uint64_t> revisions;

private:
    const Document& m_doc;
};

std::vector<std::string> SavedTiles(FileSystem& fs) {
    Document read;
    bool missing = false;
    EXPECT_TRUE(OpenMapFiles(fs, "/m.map", read.map(), read.tiles(), missing).ok());
    return TileDigits(read);
}

} // namespace

// Saves run on the thread that edits, between two requests: a save in the
// middle of a drag writes the pixels drawn so far, the whole tile set from
// one state, and the drag goes on as a step of its own.
TEST(PixelStrokeTest, ASaveDuringADragWritesOneStateOfTheTiles) {
    Document doc;
    MakeWorkshop(doc, {"1111", "2222"}, {0, 1});
    WatchedFileSystem fs(doc);
    doc.PaintTilePixels(0, {{0, 0}}, 5);
    ASSERT_TRUE(SaveMapFiles(fs, "/m.map", doc.map(), doc.tiles()).ok());
    doc.MarkSaved();
    EXPECT_EQ(fs.revisions.size(), 1u);
    EXPECT_EQ(SavedTiles(fs), (std::vector<std::string>{"5111", "2222"}));
    EXPECT_FALSE(doc.IsModified());

    doc.PaintTilePixels(1, {{1, 1}}, 5);
    EXPECT_TRUE(doc.IsModified());
    doc.EndStroke();
    EXPECT_EQ(SavedTiles(fs), (std::vector<std::string>{"5111", "2222"}));
    doc.Undo(); // the part after the save
    EXPECT_EQ(TileDigits(doc), (std::vector<std::string>{"5111", "2222"}));
    EXPECT_FALSE(doc.IsModified());
}

} // namespace kesh::test
