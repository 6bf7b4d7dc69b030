// Writes the map the performance figures are measured on: SIDE x SIDE cells
// (4096 unless given) naming tiles 0-999 of a 16 x 16 tile set (TILE x TILE
// with --tile) embedded in the file, every 17th cell empty, in the CellsWord
// layout (CellsByte with --byte). The .kmf goes beside it.
//   kesh_make_bench_map OUT.map [SIDE] [--byte] [--tile TILE]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/FileSystem.h"
#include "map/MapFile.h"

using namespace kesh;

int main(int argc, char** argv) {
    std::string out;
    int32_t side = 4096;
    bool byteCells = false;
    int32_t tile = 16;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--byte")
            byteCells = true;
        else if (arg == "--tile" && i + 1 < argc)
            tile = std::atoi(argv[++i]);
        else if (out.empty())
            out = arg;
        else
            side = std::atoi(arg.c_str());
    }
    if (out.empty() || side < 1 || tile < 1 || tile > 64) {
        std::fprintf(stderr, "usage: kesh_make_bench_map OUT.map [SIDE] [--byte] [--tile TILE]\n");
        return 2;
    }
    TileSet tiles;
    tiles.format().width = tile;
    tiles.format().height = tile;
    tiles.InitTileSet();
    std::vector<uint8_t> pixels(size_t(tile) * size_t(tile));
    for (int t = 0; t < 1000; ++t) {
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(t * 7 + i);
        tiles.tiles().Append(pixels.data(), uint32_t(t));
    }
    MapModel map;
    if (const Status made = map.AllocateCells(side, side); !made) {
        std::fprintf(stderr, "%s\n", made.message().c_str());
        return 1;
    }
    map.format().items = {MapItem::SizeWord, byteCells ? MapItem::CellsByte : MapItem::CellsWord,
                          MapItem::TileFile};
    auto& cells = map.cells();
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = i % 17 == 0 ? kEmptyCell : uint16_t((i * 31) % 1000);
    const Status st = SaveMapFiles(FileSystem::Native(), out, map, tiles);
    if (!st) {
        std::fprintf(stderr, "%s\n", st.message().c_str());
        return 1;
    }
    return 0;
}
