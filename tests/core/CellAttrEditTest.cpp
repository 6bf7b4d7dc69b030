// Edits carry the cells' attribute bits, and undo gives them back.
#include <gtest/gtest.h>

#include "doc/Document.h"
#include "layout/CellFields.h"

using namespace kesh;

namespace {

// A 4 x 2 map laid out for the SNES, cells 0..7 with no bits set.
void SnesMap(Document& doc) {
    bool plane = false;
    MapFormat format;
    format.width = 4;
    format.height = 2;
    format.items = {MapItem::SizeWord, MapItem::CellFields};
    format.cells = *CellPresetLayout("snes", plane);
    ASSERT_TRUE(doc.map().ReplaceGrid(format, {0, 1, 2, 3, 4, 5, 6, 7}));
    ASSERT_TRUE(doc.map().hasAttrs());
}

std::vector<Cell> Cells(const Document& doc) {
    std::vector<Cell> cells;
    for (size_t i = 0; i < size_t(doc.map().cellCount()); ++i)
        cells.push_back(doc.map().cell(i));
    return cells;
}

constexpr uint16_t kH = cellbit::kHFlip;
constexpr uint16_t kV = cellbit::kVFlip;

} // namespace

// Each request writes the brush's bits (or moves the cells' own), and undo
// then redo gives exactly the cells before and after.
TEST(CellAttrEditTest, EditsCarryTheBitsBothWays) {
    const uint16_t pal3 = cellbit::WithPalette(0, 3);
    struct Case {
        const char* name;
        std::function<void(Document&)> edit;
        std::vector<Cell> after;
    };
    const Case cases[] = {
        {"paint",
         [&](Document& doc) {
             doc.SetCurrentTile(9);
             doc.SetBrushAttr(kH | pal3);
             doc.PaintCell(1, 9);
             doc.PaintCell(2, 9);
             doc.EndStroke();
         },
         {{0, 0}, {9, kH | pal3}, {9, kH | pal3}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}},
        {"fill",
         [&](Document& doc) {
             doc.SetBrushAttr(kV | cellbit::kPriority);
             doc.FillCells({2, 0, 3, 1}, 8);
         },
         {{0, 0}, {1, 0}, {8, kV | 4}, {8, kV | 4}, {4, 0}, {5, 0}, {8, kV | 4}, {8, kV | 4}}},
        {"flip left to right",
         [&](Document& doc) {
             doc.SetBrushAttr(kV);
             doc.PaintCell(0, 0); // cell 0 gets a vertical flip first
             doc.EndStroke();
             doc.FlipCells({0, 0, 2, 0}, true);
         },
         {{2, kH}, {1, kH}, {0, kH | kV}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}}},
        {"flip top to bottom",
         [&](Document& doc) { doc.FlipCells({1, 0, 1, 1}, false); },
         {{0, 0}, {5, kV}, {2, 0}, {3, 0}, {4, 0}, {1, kV}, {6, 0}, {7, 0}}},
        {"paste",
         [&](Document& doc) {
             doc.SetBrushAttr(pal3);
             doc.PaintCell(0, 0);
             doc.EndStroke();
             doc.PasteCells({0, 0, 1, 0}, 2, 1);
         },
         {{0, pal3}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, pal3}, {1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc;
        SnesMap(doc);
        const std::vector<Cell> before = Cells(doc);
        c.edit(doc);
        EXPECT_EQ(Cells(doc), c.after);
        while (doc.CanUndo())
            doc.Undo();
        EXPECT_EQ(Cells(doc), before);
        while (doc.CanRedo())
            doc.Redo();
        EXPECT_EQ(Cells(doc), c.after);
    }
}

// A layout without the flip fields clears those bits; undo brings them
// back, and a map without fields keeps no words at all.
TEST(CellAttrEditTest, ALayoutChangeCutsTheBitsItCannotHoldUntilUndone) {
    Document doc;
    SnesMap(doc);
    doc.SetBrushAttr(kH | cellbit::WithPalette(0, 2));
    doc.FillCells({0, 0, 3, 1}, 1);
    CellLayout noFlips = doc.map().format().cells;
    std::erase_if(noFlips.word.fields, [](const CellField& f) {
        return f.kind == CellFieldKind::HFlip || f.kind == CellFieldKind::VFlip;
    });
    doc.SetMapLayout(doc.map().format().items, "", noFlips);
    EXPECT_EQ(doc.map().cell(5).attr, cellbit::WithPalette(0, 2));
    doc.SetMapLayout({MapItem::SizeWord, MapItem::CellsWord}, "");
    EXPECT_FALSE(doc.map().hasAttrs());
    doc.Undo();
    EXPECT_EQ(doc.map().cell(5).attr, cellbit::WithPalette(0, 2));
    doc.Undo();
    EXPECT_EQ(doc.map().cell(5).attr, kH | cellbit::WithPalette(0, 2));
    // The brush keeps its bits; what is painted gets only those the map holds.
    doc.Redo();
    EXPECT_EQ(doc.brush().attr, cellbit::WithPalette(0, 2));
}
