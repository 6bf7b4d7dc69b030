#include <gtest/gtest.h>

#include <memory>

#include "app/MapProcedures.h"
#include "doc/Command.h"
#include "doc/Document.h"
#include "edit/MapEditor.h"
#include "edit/MapViewState.h"
#include "support/ScriptedUserServices.h"
#include "support/TestTiles.h"

using namespace kesh;

namespace {

// A step that gives the map a fresh grid of another size, and back.
class ResizeStep : public Command {
public:
    ResizeStep(Point before, Point after) : m_before(before), m_after(after) {}
    void Undo(Document& doc) override { (void)doc.map().AllocateCells(m_before.x, m_before.y); }
    void Redo(Document& doc) override { (void)doc.map().AllocateCells(m_after.x, m_after.y); }
    const char* Name() const override { return "resize"; }
    size_t Bytes() const override { return 0; }
    uint32_t Changes() const override { return change::kCells; }

private:
    Point m_before, m_after;
};

} // namespace

TEST(MapViewState, FitGridKeepsColumnAndRowAsFarAsTheNewGridAllows) {
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(5, 4).ok());
    MapViewState state;
    state.m_nCurCell = 10 * 64 + 3; // column 3, row 10 of the old 64-wide grid
    state.FitGrid(map, 64);
    EXPECT_EQ(state.m_nCurCell, 3 * 5 + 3);
    // A cell inside the new grid is kept as it is.
    state.m_nCurCell = 19;
    state.FitGrid(map, 64);
    EXPECT_EQ(state.m_nCurCell, 19);
    // Before the first cell, or with no width known: cell (0, 0).
    state.m_nCurCell = -7;
    state.FitGrid(map, 64);
    EXPECT_EQ(state.m_nCurCell, 0);
    state.m_nCurCell = 500;
    state.FitGrid(map, 0);
    EXPECT_EQ(state.m_nCurCell, 0);

    // The copy source is cut to the grid; the selection, in pixels, waits for
    // ClampSelection and its tile size.
    state.m_rcCopySource = Rect{-3, 2, 9, 9};
    state.m_rcSelect = Rect{0, 0, 999, 999};
    state.FitGrid(map, 64);
    EXPECT_EQ(state.m_rcCopySource, (Rect{0, 2, 4, 3}));
    EXPECT_EQ(state.m_rcSelect, (Rect{0, 0, 999, 999}));

    // A map without cells has nothing to fit to.
    map.cells().clear();
    state.m_nCurCell = 77;
    state.FitGrid(map, 64);
    EXPECT_EQ(state.m_nCurCell, 77);
    EXPECT_EQ(state.m_rcCopySource, (Rect{0, 2, 4, 3}));
}

TEST(MapViewState, TheEditorFitsItWhenAStepReplacesTheGrid) {
    Document doc; // 64 x 64
    MapEditor editor(doc);
    MapViewState& state = editor.state();
    state.m_nCurCell = 40 * 64 + 50; // column 50, row 40
    state.m_rcCopySource = Rect{10, 10, 60, 60};
    doc.Execute(std::make_unique<ResizeStep>(Point{64, 64}, Point{20, 30}));
    (void)editor.state();
    EXPECT_EQ(state.m_nCurCell, 29 * 20 + 19);
    EXPECT_EQ(state.m_rcCopySource, (Rect{10, 10, 19, 29}));

    // Undo brings the larger grid back, where the cell still lies.
    ASSERT_TRUE(doc.Undo());
    (void)editor.state();
    EXPECT_EQ(doc.map().width(), 64);
    EXPECT_EQ(state.m_nCurCell, 29 * 20 + 19);

    // Redo onto the smaller one reads the cell with the 64 columns it was made for.
    state.m_nCurCell = 63 * 64 + 2;
    ASSERT_TRUE(doc.Redo());
    (void)editor.state();
    EXPECT_EQ(state.m_nCurCell, 29 * 20 + 2);
}

TEST(MapViewState, ANewMapBringsTheEditorsStateOntoItsGrid) {
    Document doc;
    kesh::test::MakeTiles(doc.tiles(), 16, 16, 3);
    MapEditor editor(doc);
    MapViewState& state = editor.state();
    state.m_nCurCell = 40 * 64 + 50;
    state.m_rcCopySource = Rect{10, 10, 60, 60};
    state.m_rcSelect = Rect{32, 32, 16 * 40 - 1, 16 * 30 - 1};
    kesh::test::ScriptedUserServices user;
    user.acceptMap([](MapFormatEdit& e) {
        e.width = 10;
        e.height = 5;
    });
    ASSERT_TRUE(MapProcedures(doc, user, FileSystem::Native()).NewMap());
    (void)editor.state();
    EXPECT_EQ(state.m_nCurCell, 4 * 10 + 9);
    EXPECT_EQ(state.m_rcCopySource, (Rect{9, 4, 9, 4}));
    EXPECT_EQ(state.m_rcSelect, (Rect{32, 32, 16 * 10 - 1, 16 * 5 - 1}));
}
