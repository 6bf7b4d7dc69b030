#include <benchmark/benchmark.h>

#include "doc/DeleteTileCommand.h"
#include "map/MapModel.h"

// Deleting a tile rewrites every cell of the map; on the largest square map
// the editor allows this must stay well below a frame.
static void BM_RenumberAfterDelete4096(benchmark::State& state) {
    kesh::MapModel map;
    if (!map.AllocateCells(4096, 4096)) {
        state.SkipWithError("allocation failed");
        return;
    }
    auto& cells = map.cells();
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = static_cast<uint16_t>(i % 7 == 0 ? kesh::kEmptyCell : i % 600);
    for (auto _ : state) {
        // Every pass visits every cell, whatever the values are by now.
        benchmark::DoNotOptimize(kesh::DeleteTileCommand::Renumber(map, 300));
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(cells.size()));
}
BENCHMARK(BM_RenumberAfterDelete4096)->Unit(benchmark::kMillisecond);
