#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "doc/Command.h"
#include "doc/CommandNames.h"
#include "doc/DeleteTileCommand.h"
#include "doc/Document.h"
#include "edit/MapEditor.h"

using namespace kesh;

namespace {

constexpr int32_t kTile = 16;

struct Recorder : DocumentListener {
    std::vector<uint32_t> heard;
    void DocumentChanged(uint32_t changes) override { heard.push_back(changes); }
    bool Heard(uint32_t flag) const {
        for (uint32_t c : heard)
            if (c & flag)
                return true;
        return false;
    }
};

struct DocumentTest : ::testing::Test {
    Document doc;
    MapEditor editor{doc};
    Viewport view{{0, 0}, 640, 480};
    TileContext tile{kTile, kTile, 7};

    void SetUp() override { ASSERT_TRUE(doc.map().AllocateCells(20, 10).ok()); }
    static Point At(int32_t col, int32_t row) { return {col * kTile + 5, row * kTile + 9}; }
    uint16_t Cell(int32_t col, int32_t row) const {
        return doc.map().cells()[size_t(row * doc.map().width() + col)];
    }
    void Drag(std::initializer_list<std::pair<int32_t, int32_t>> cells) {
        InputState shift;
        shift.shift = true;
        auto it = cells.begin();
        editor.LButtonDown(At(it->first, it->second), shift, view, tile);
        for (++it; it != cells.end(); ++it)
            editor.MouseMove(At(it->first, it->second), {}, true, view, tile);
        editor.LButtonUp();
    }
    void AddTiles(int count) {
        std::vector<uint8_t> px(size_t(doc.tiles().tiles().tileSize()));
        for (int i = 0; i < count; ++i) {
            std::fill(px.begin(), px.end(), uint8_t(i));
            ASSERT_EQ(doc.tiles().tiles().Append(px.data(), uint32_t(100 + i)), 1);
        }
    }
};

} // namespace

TEST_F(DocumentTest, APaintDragIsOneStepThatUndoesAndRedoes) {
    Drag({{1, 1}, {2, 1}, {3, 1}, {3, 2}});
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.UndoName(), command::kPaint);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Cell(3, 2), 7);

    ASSERT_TRUE(doc.Undo());
    for (auto [c, r] : {std::pair{1, 1}, {2, 1}, {3, 1}, {3, 2}})
        EXPECT_EQ(Cell(c, r), kEmptyCell) << c << "," << r;
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.RedoName(), command::kPaint);

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Cell(1, 1), 7);
    EXPECT_EQ(Cell(3, 2), 7);
    EXPECT_TRUE(doc.IsModified());
}

// The current tile changes while the button is held, and the drag comes back
// over cells it painted: undo must give each cell its value from before the
// stroke, not the one the stroke gave it first.
TEST_F(DocumentTest, ACellPaintedTwiceInOneStrokeUndoesToItsValueBeforeIt) {
    doc.map().cells()[21] = 4; // (1, 1)
    doc.map().cells()[22] = 4; // (2, 1), a neighbour in the same run
    const std::vector<uint16_t> start = doc.map().cells();
    InputState shift;
    shift.shift = true;
    editor.LButtonDown(At(1, 1), shift, view, tile);  // 7
    editor.MouseMove(At(2, 1), {}, true, view, tile); // 7
    const TileContext other{kTile, kTile, 9};
    editor.MouseMove(At(1, 1), {}, true, view, other); // 9 over 7
    editor.MouseMove(At(2, 1), {}, true, view, other); // 9 over 7
    editor.LButtonUp();
    ASSERT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(Cell(1, 1), 9);
    EXPECT_EQ(Cell(2, 1), 9);

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.map().cells(), start);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Cell(1, 1), 9);
    EXPECT_EQ(Cell(2, 1), 9);
}

TEST_F(DocumentTest, EnterStampsAndEnterArrowRunsAreStepsOfTheirOwn) {
    InputState none;
    editor.KeyDown(MapKey::Enter, {}, none, view, tile); // stamp at cell 0
    editor.KeyUp(MapKey::Enter);
    EXPECT_EQ(doc.history().size(), 1u);

    InputState enter;
    enter.enter = true;
    editor.KeyDown(MapKey::Right, {}, enter, view, tile);
    editor.KeyDown(MapKey::Right, {}, enter, view, tile);
    editor.KeyDown(MapKey::Down, {}, enter, view, tile);
    // Still one open stroke until Enter is let go; it can already be undone.
    EXPECT_TRUE(doc.CanUndo());
    editor.KeyUp(MapKey::Enter);
    EXPECT_EQ(doc.history().size(), 2u);
    EXPECT_EQ(Cell(2, 1), 7);

    doc.Undo();
    EXPECT_EQ(Cell(0, 0), 7);
    EXPECT_EQ(Cell(1, 0), kEmptyCell);
    EXPECT_EQ(Cell(2, 1), kEmptyCell);
    doc.Undo();
    EXPECT_EQ(Cell(0, 0), kEmptyCell);
}

TEST_F(DocumentTest, AnOpenStrokeIsClosedBeforeAnUndo) {
    InputState shift;
    shift.shift = true;
    editor.LButtonDown(At(4, 4), shift, view, tile);
    editor.MouseMove(At(5, 4), {}, true, view, tile);
    ASSERT_TRUE(doc.Undo()); // the button is still down
    EXPECT_EQ(Cell(4, 4), kEmptyCell);
    EXPECT_EQ(Cell(5, 4), kEmptyCell);
    editor.MouseMove(At(6, 4), {}, true, view, tile);
    editor.LButtonUp();
    EXPECT_EQ(Cell(6, 4), 7);
    EXPECT_FALSE(doc.CanRedo()); // a new step dropped the undone one
}

TEST_F(DocumentTest, FillAndOverlappingPasteUndoExactly) {
    for (size_t i = 0; i < doc.map().cells().size(); ++i)
        doc.map().cells()[i] = uint16_t(i);
    const std::vector<uint16_t> start = doc.map().cells();
    editor.state().m_rcSelect = {2 * kTile, 1 * kTile, 6 * kTile - 1, 4 * kTile - 1};
    editor.RememberRegion(tile);
    editor.state().m_nCurCell = 3 * 20 + 4; // the target overlaps the source
    editor.PasteRegion();
    const std::vector<uint16_t> pasted = doc.map().cells();
    EXPECT_EQ(doc.UndoName(), command::kPaste);
    editor.FillRegion(tile);
    EXPECT_EQ(doc.UndoName(), command::kFill);
    EXPECT_EQ(Cell(2, 1), 7);

    doc.Undo();
    EXPECT_EQ(doc.map().cells(), pasted);
    doc.Undo();
    EXPECT_EQ(doc.map().cells(), start);
    doc.Redo();
    EXPECT_EQ(doc.map().cells(), pasted);
    doc.Redo();
    EXPECT_EQ(Cell(5, 3), 7);
}

TEST_F(DocumentTest, APasteCutAtTheMapsEdgesRecordsOnlyTheCellsWritten) {
    for (size_t i = 0; i < doc.map().cells().size(); ++i)
        doc.map().cells()[i] = uint16_t(i);
    const std::vector<uint16_t> start = doc.map().cells();
    editor.state().m_rcSelect = {0, 0, 8 * kTile - 1, 6 * kTile - 1};
    editor.RememberRegion(tile);
    editor.state().m_nCurCell = 8 * 20 + 17; // three columns and two rows fit
    editor.PasteRegion();
    EXPECT_EQ(Cell(17, 8), 0);
    EXPECT_EQ(Cell(19, 9), 22);
    doc.Undo();
    EXPECT_EQ(doc.map().cells(), start);
}

TEST_F(DocumentTest, TheChangedFlagFollowsTheSavedPosition) {
    Recorder heard;
    doc.AddListener(&heard);
    Drag({{1, 1}});
    EXPECT_TRUE(heard.Heard(change::kModified));
    doc.MarkSaved();
    EXPECT_FALSE(doc.IsModified());
    doc.Undo();
    EXPECT_TRUE(doc.IsModified()); // the file holds the painted cell
    doc.Redo();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.IsModified());

    // A change without history stays until the next save.
    doc.MarkChanged();
    Drag({{2, 2}});
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
    doc.MarkSaved();
    EXPECT_FALSE(doc.IsModified());

    // A new step after undoing past the save leaves the saved state behind for good.
    doc.Undo();
    Drag({{5, 5}});
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
    doc.RemoveListener(&heard);
}

TEST_F(DocumentTest, ResetHistoryStartsAfresh) {
    Drag({{1, 1}});
    doc.ResetHistory();
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Cell(1, 1), 7);
}

TEST_F(DocumentTest, DeletingATileIsOneStepAndUndoGivesEverythingBack) {
    AddTiles(5);
    doc.tiles().setCurrent(4);
    std::vector<uint16_t>& cells = doc.map().cells();
    // The tile itself, numbers below and above it, empty cells and a number no tile has.
    cells[0] = 2;
    cells[1] = 1;
    cells[2] = 3;
    cells[3] = 4;
    cells[5] = 2;
    cells[6] = 900;
    cells[7] = 0xFFFE;
    const std::vector<uint16_t> before = cells;

    ASSERT_TRUE(doc.DeleteTile(2));
    EXPECT_EQ(doc.tiles().count(), 4);
    EXPECT_EQ(cells[0], kEmptyCell);
    EXPECT_EQ(cells[2], 2);
    EXPECT_EQ(cells[6], 899);
    EXPECT_EQ(doc.tiles().current(), 3);
    EXPECT_EQ(doc.UndoName(), command::kDeleteTile);
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(cells, before);
    EXPECT_EQ(doc.tiles().count(), 5);
    EXPECT_EQ(doc.tiles().tiles().PixelsAt(2)[0], 2);
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(2), 102u);
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(3), 103u);
    EXPECT_EQ(doc.tiles().current(), 4);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(cells[0], kEmptyCell);
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(2), 103u);
    EXPECT_FALSE(doc.DeleteTile(4)); // no such tile now
}

TEST_F(DocumentTest, TileSetCommandsKeepOnlyWhatWasAdded) {
    AddTiles(2);
    const auto colours = doc.tiles().bitmapInfo();
    doc.ChangeTiles(command::kAddTileFile, false, [&](TileSet&) {
        AddTiles(3);
        ColourTable table{};
        table[0] = 9;
        doc.tiles().SetColourTable(table);
        doc.tiles().setCurrent(4);
    });
    EXPECT_EQ(doc.UndoName(), command::kAddTileFile);
    EXPECT_FALSE(doc.IsModified()); // from the tile set view: the map is not changed
    doc.Undo();
    EXPECT_EQ(doc.tiles().count(), 2);
    EXPECT_EQ(doc.tiles().bitmapInfo(), colours);
    EXPECT_EQ(doc.tiles().current(), 0);
    doc.Redo();
    EXPECT_EQ(doc.tiles().count(), 5);
    EXPECT_EQ(doc.tiles().colourTable()[0], 9);
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(4), 102u);

    // Nothing changed: no step.
    doc.ChangeTiles(command::kLoadPalette, true, [](TileSet&) {});
    EXPECT_EQ(doc.history().size(), 1u);
}

TEST_F(DocumentTest, AChangeThatRemovesTilesCannotBeUndoneAndKeepsTheMapChanged) {
    AddTiles(3);
    Drag({{1, 1}});
    doc.MarkSaved();
    doc.ChangeTiles(command::kTileFormat, true, [](TileSet& tiles) { tiles.tiles().Delete(0); });
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, MapLayoutChangesAreSteps) {
    const MapFormat old = doc.map().format();
    doc.SetMapLayout({1, 2}, "HEAD");
    EXPECT_EQ(doc.map().format().header, "HEAD");
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.map().format(), old);
    EXPECT_FALSE(doc.IsModified());
}

namespace {

// A step of a given size that counts how often it was taken back.
struct SizedStep : Command {
    explicit SizedStep(size_t bytes, bool marks = true) : bytes(bytes), marks(marks) {}
    void Undo(Document&) override {}
    void Redo(Document&) override {}
    const char* Name() const override { return "x"; }
    size_t Bytes() const override { return bytes; }
    uint32_t Changes() const override { return 0; }
    bool MarksMap() const override { return marks; }
    size_t bytes;
    bool marks;
};

} // namespace

TEST(UndoStackTest, DropsTheOldestStepsPastTheCountAndByteLimits) {
    UndoStack stack(3, 100);
    for (int i = 0; i < 5; ++i)
        stack.Push(std::make_unique<SizedStep>(10));
    EXPECT_EQ(stack.size(), 3u);
    EXPECT_EQ(stack.position(), 3u);
    EXPECT_TRUE(stack.ChangedSinceSave()); // the saved start is gone

    stack.Clear();
    stack.Push(std::make_unique<SizedStep>(60));
    stack.MarkSaved();
    stack.Push(std::make_unique<SizedStep>(60)); // over budget: the first goes
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_EQ(stack.bytes(), 60u);
    // The saved position (after the dropped step) is the start of what is left.
    stack.StepBack();
    EXPECT_FALSE(stack.ChangedSinceSave());

    // A step larger than the whole budget stays, alone.
    stack.Push(std::make_unique<SizedStep>(500));
    EXPECT_EQ(stack.size(), 1u);
    EXPECT_TRUE(stack.CanUndo());
}

TEST(UndoStackTest, StepsThatDoNotMarkTheMapLeaveItUnchanged) {
    UndoStack stack;
    stack.Push(std::make_unique<SizedStep>(1, false));
    EXPECT_FALSE(stack.ChangedSinceSave());
    stack.Push(std::make_unique<SizedStep>(1, true));
    EXPECT_TRUE(stack.ChangedSinceSave());
    stack.StepBack();
    EXPECT_FALSE(stack.ChangedSinceSave());
}

TEST(UndoStackTest, TheDefaultLimitsAreAThousandStepsAnd256MiB) {
    UndoStack stack;
    for (int i = 0; i < 1005; ++i)
        stack.Push(std::make_unique<SizedStep>(1));
    EXPECT_EQ(stack.size(), 1000u);
    stack.Push(std::make_unique<SizedStep>(size_t(256) << 20));
    EXPECT_EQ(stack.size(), 1u);
}

TEST(DeleteTileCommandTest, RenumberMatchesTheMapsOwnRuleAndRestoreUndoesIt) {
    MapModel a, b;
    ASSERT_TRUE(a.AllocateCells(131, 7).ok()); // not a whole number of blocks
    uint32_t seed = 12345;
    for (uint16_t& c : a.cells()) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t r = (seed >> 8) % 40;
        c = r == 39 ? kEmptyCell : r == 38 ? uint16_t(0xFFFE) : uint16_t(r);
    }
    // The rule, cell by cell: 5 becomes empty, greater numbers move down one.
    ASSERT_TRUE(b.AllocateCells(131, 7).ok());
    for (size_t i = 0; i < a.cells().size(); ++i) {
        const uint16_t v = a.cells()[i];
        b.cells()[i] = v == 5 ? kEmptyCell : v > 5 && v != kEmptyCell ? uint16_t(v - 1) : v;
    }
    const std::vector<uint16_t> original = a.cells();
    const std::vector<int32_t> emptied = DeleteTileCommand::Renumber(a, 5);
    EXPECT_EQ(a.cells(), b.cells());
    EXPECT_EQ(emptied.size(), size_t(std::count(original.begin(), original.end(), uint16_t(5))));
    DeleteTileCommand::Restore(a, 5, emptied);
    EXPECT_EQ(a.cells(), original);
}

TEST_F(DocumentTest, AttributeCommandsAreStepsAndChangeTheMap) {
    AddTiles(2);
    EXPECT_FALSE(doc.SetTileAttribute(5, 1));   // no such tile
    EXPECT_FALSE(doc.SetTileAttribute(1, 101)); // it has that word already
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_TRUE(doc.SetTileAttribute(1, 101 ^ 0x80));
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(1), 101u ^ 0x80);
    EXPECT_EQ(doc.UndoName(), command::kAttribute);
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.tiles().tiles().AttributeAt(1), 101u);
    EXPECT_FALSE(doc.IsModified());
}
