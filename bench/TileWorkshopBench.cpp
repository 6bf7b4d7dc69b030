#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "doc/Document.h"
#include "map/TileUsage.h"
#include "tileset/NearDuplicates.h"

namespace {

using Clock = std::chrono::steady_clock;

// This thread's processor time in milliseconds: on a shared machine the
// wall clock also counts other people's work.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// 4096 x 4096 cells numbered through `tiles` tiles in steps of `step`, every
// seventh cell empty.
std::vector<uint16_t> BigCells(int tiles, int step) {
    std::vector<uint16_t> cells(size_t(4096) * 4096);
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = uint16_t(i % 7 == 0 ? kesh::kEmptyCell : (i * size_t(step)) % size_t(tiles));
    return cells;
}

// 4,096 tiles of 16 x 16 of random pixels; every eighth a copy of the one
// before with one or two pixels changed.
void AddTiles(kesh::TileList& list) {
    std::mt19937 rng(29);
    std::vector<uint8_t> pixels(256);
    for (int t = 0; t < 4096; ++t) {
        if (t % 8 == 7) {
            for (int k = 0; k <= t % 2; ++k)
                pixels[rng() % 256] ^= 1;
        } else {
            for (uint8_t& p : pixels)
                p = uint8_t(rng() % 16);
        }
        list.Append(pixels.data(), 0);
    }
}

} // namespace

// The baseline of the usage counts: one plain pass over 32 MiB of cells.
static void BM_PlainScan32MiB(benchmark::State& state) {
    const std::vector<uint16_t> cells = BigCells(4096, 1);
    for (auto _ : state) {
        uint64_t sum = std::accumulate(cells.begin(), cells.end(), uint64_t(0));
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainScan32MiB)->Unit(benchmark::kMillisecond);

// How often each of 4,096 tiles shows in a 4096 x 4096 map.
static void BM_TileUsage4096(benchmark::State& state) {
    const std::vector<uint16_t> cells = BigCells(4096, 1);
    for (auto _ : state) {
        kesh::TileUsage usage = kesh::TileUsage::Count(cells, 4096);
        benchmark::DoNotOptimize(usage.counts.data());
    }
}
BENCHMARK(BM_TileUsage4096)->Unit(benchmark::kMillisecond);

// Removing the 2,048 unused tiles of 4,096 under a 4096 x 4096 map, then
// undoing it; the time is both.
static void BM_RemoveUnused4096(benchmark::State& state) {
    kesh::Document doc;
    doc.tiles().format().width = 16;
    doc.tiles().format().height = 16;
    doc.tiles().InitTileSet();
    AddTiles(doc.tiles().tiles());
    if (!doc.map().AllocateCells(4096, 4096)) {
        state.SkipWithError("allocation failed");
        return;
    }
    doc.map().cells() = BigCells(4096, 2); // the even tiles only
    double removeMs = 0, undoMs = 0, cpuMs = 0;
    for (auto _ : state) {
        const double cpu = CpuMs();
        auto start = Clock::now();
        kesh::CleanupSummary summary;
        if (!doc.RemoveUnusedTiles(summary) || summary.tilesAfter != 2048)
            state.SkipWithError("the clean-up did not remove half the tiles");
        const double remove = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        start = Clock::now();
        doc.Undo();
        const double undo = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        removeMs += remove;
        undoMs += undo;
        cpuMs += CpuMs() - cpu;
        state.SetIterationTime((remove + undo) / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["remove_ms"] = removeMs / n;
    state.counters["undo_ms"] = undoMs / n;
    state.counters["cpu_ms"] = cpuMs / n;
}
BENCHMARK(BM_RemoveUnused4096)->Unit(benchmark::kMillisecond)->UseManualTime();

// Pairs of 4,096 tiles of 16 x 16 that differ in at most two pixels.
static void BM_NearDuplicates4096(benchmark::State& state) {
    kesh::TileList list;
    list.Setup(16, 16);
    AddTiles(list);
    size_t pairs = 0;
    for (auto _ : state) {
        const kesh::NearDuplicates found = kesh::NearDuplicates::Find(list, 2);
        pairs = found.pairs.size();
        benchmark::DoNotOptimize(found.pairs.data());
    }
    state.counters["pairs"] = double(pairs);
}
BENCHMARK(BM_NearDuplicates4096)->Unit(benchmark::kMillisecond);
