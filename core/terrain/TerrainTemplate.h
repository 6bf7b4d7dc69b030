#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/ImportImage.h"
#include "terrain/TerrainSet.h"
#include "tileset/TileSet.h"

namespace kesh {

// The tile sheets "지형 만들기" reads, of two terrains (0 below, 1 above),
// tiles of the tile set's size, read left to right and top to bottom:
//   Corner16: 4 x 4 tiles. Tile i (row i / 4, column i % 4) has terrain 1
//             at the corners whose bit is set in i (1 NW, 2 NE, 4 SE, 8 SW):
//             tile 0 is all terrain 0, tile 15 all terrain 1.
//   Blob47:   8 x 6 tiles. Tile 0 is all terrain 0. Tiles 1..47 are cells
//             of terrain 1, in the order of their edges first (a number
//             with 1 N, 2 E, 4 S, 8 W set where the neighbour is terrain 1
//             too), then their corners (1 NE, 2 SE, 4 SW, 8 NW set where
//             the diagonal neighbour is terrain 1 and so are both edges
//             beside it; a corner beside an open edge is always clear).
enum class TerrainTemplate : uint8_t { Corner16, Blob47 };

struct TemplateLayout {
    TerrainKind kind;
    int32_t columns, rows;
    std::vector<TerrainLabel> labels; // one per tile of the sheet, row by row
};
TemplateLayout LayoutOf(TerrainTemplate sheet);

struct MakeTerrainResult {
    Status status = Status::Ok();
    TerrainSet set;
    int64_t added = 0; // tiles the set gained
};

// "지형 만들기": cuts `sheet` (exactly the template's tiles, each of the tile
// set's size) into `tiles` as ImportImage does (`options`, whose makeMap is
// set), and labels what it added or found: terrains `names` (two; empty
// names take "지형 1", "지형 2"). With `options.flips` (a map with flip
// fields), a tile that is another flipped is stored once and labelled as
// drawn unflipped, so the set shows the rest by flipping. A sheet of
// another size fails with "타일 그림의 크기가 지형 틀과 맞지 않습니다.";
// any failure leaves `tiles` as it was.
MakeTerrainResult MakeTerrain(TileSet& tiles, const Image& sheet, TerrainTemplate layout,
                              std::vector<std::string> names, ImportOptions options);

} // namespace kesh
