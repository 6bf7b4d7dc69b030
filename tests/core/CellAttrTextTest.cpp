// The status bar's pointer readout names a cell's fields beside its tile.
#include <gtest/gtest.h>

#include "edit/Zoom.h"
#include "layout/PlatformPresets.h"
#include "support/CellMaps.h"

namespace {

using namespace kesh::cellbit;

TEST(CellAttrTextTest, ReadoutNamesTheFieldsTheLayoutHas) {
    struct Case {
        uint16_t tile;
        uint16_t attr;
        const char* want;
    };
    const Case cases[] = {
        {17, 0, "(1, 2) 타일 17 팔레트 0"},
        {17, uint16_t(WithPalette(kHFlip, 2)), "(1, 2) 타일 17 ↔ 팔레트 2"},
        {3, uint16_t(kFlips | kPriority), "(1, 2) 타일 3 ↔ ↕ 팔레트 0 우선순위"},
        {kesh::kEmptyCell, kHFlip, "(1, 2) 빈 칸"},
    };
    kesh::MapModel map;
    cellmaps::UseSnesCells(map, 4, 4);
    for (const Case& c : cases) {
        map.SetCell(2 * 4 + 1, {c.tile, c.attr});
        EXPECT_EQ(kesh::PointerReadout(map, 2 * 4 + 1, std::nullopt), c.want);
    }
    // User fields by name; without fields nothing is added.
    map.format().cells.word.fields.push_back({kesh::CellFieldKind::User, 7, 1, "collision"});
    map.SetCell(0, {5, UserBit(0)});
    EXPECT_EQ(kesh::PointerReadout(map, 0, std::nullopt), "(0, 0) 타일 5 팔레트 0 collision");
    kesh::MapModel plain;
    plain.AllocateCells(2, 2);
    plain.SetCell(0, {5, 0});
    EXPECT_EQ(kesh::PointerReadout(plain, 0, std::nullopt), "(0, 0) 타일 5");
    // The NES palette lives in the attribute table, in no cell word.
    kesh::MapModel nes;
    nes.format() = kesh::PlatformPresetLayouts("nes")->map;
    nes.AllocateCells(4, 4);
    (void)nes.MatchAttrs();
    nes.SetCell(5, {9, uint16_t(WithPalette(0, 3))});
    EXPECT_EQ(kesh::PointerReadout(nes, 5, std::nullopt), "(1, 1) 타일 9 팔레트 3");
}

} // namespace
