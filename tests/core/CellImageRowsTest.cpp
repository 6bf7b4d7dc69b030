// The exports (BMP and PNG compose from MapImageRows) draw a flipped cell
// flipped and a cell's palette number as its colours' offset.
#include <gtest/gtest.h>

#include "map/MapImageRows.h"
#include "support/CellMaps.h"

namespace {

constexpr int kSide = 4;

TEST(CellImageRowsTest, EveryPixelOfEachSampleCell) {
    kesh::TileSet tiles;
    cellmaps::MakePatternTiles(tiles, kSide, 2);
    kesh::MapModel map;
    const auto& attrs = cellmaps::SampleAttrs();
    const auto cols = int32_t(attrs.size());
    cellmaps::UseSnesCells(map, cols, 2);
    for (size_t i = 0; i < attrs.size(); ++i) {
        map.SetCell(i, {uint16_t(i % 2), attrs[i]});
        // Second row: empty cells with bits set still draw index 0.
        map.SetCell(attrs.size() + i, {kesh::kEmptyCell, attrs[i]});
    }
    kesh::MapImageRows rows(map, tiles);
    std::vector<uint8_t> line(size_t(rows.width()));
    for (int y = 0; y < 2 * kSide; ++y) {
        rows.Compose(y, line.data());
        for (int x = 0; x < cols * kSide; ++x) {
            const size_t cell = size_t(x / kSide);
            const uint8_t want =
                y < kSide ? cellmaps::ExpectedIndex(int(cell % 2), attrs[cell], kSide, x % kSide, y)
                          : 0;
            ASSERT_EQ(line[size_t(x)], want)
                << "cell " << cell << " pixel " << x % kSide << ", " << y % kSide;
        }
    }
}

} // namespace
