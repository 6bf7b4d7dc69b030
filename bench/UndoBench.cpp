#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "doc/Document.h"
#include "edit/MapEditor.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A document with a 4096 x 4096 map of `tiles` tiles of 16 x 16, cells
// numbered through them with every seventh cell empty.
bool MakeBigDocument(kesh::Document& doc, int tiles) {
    if (!doc.map().AllocateCells(4096, 4096))
        return false;
    doc.tiles().format().width = 16;
    doc.tiles().format().height = 16;
    doc.tiles().InitTileSet();
    std::vector<uint8_t> pixels(256);
    for (int t = 0; t < tiles; ++t) {
        std::memcpy(pixels.data(), &t, sizeof t);
        if (!doc.tiles().tiles().Append(pixels.data(), 0))
            return false;
    }
    auto& cells = doc.map().cells();
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = static_cast<uint16_t>(i % 7 == 0 ? kesh::kEmptyCell : i % size_t(tiles));
    return true;
}

} // namespace

// Fill the whole of a 4096 x 4096 map, then undo and redo it. The time is
// one undo plus one redo; each is reported on its own, with the step's size.
static void BM_UndoFill4096(benchmark::State& state) {
    kesh::Document doc;
    if (!MakeBigDocument(doc, 1000)) {
        state.SkipWithError("allocation failed");
        return;
    }
    kesh::MapEditor editor(doc);
    const kesh::TileContext tile{16, 16, 5};
    editor.state().m_rcSelect = {0, 0, 4096 * 16 - 1, 4096 * 16 - 1};
    const auto fillStart = Clock::now();
    editor.FillRegion(tile);
    const double fillMs = MsSince(fillStart);
    double undoMs = 0, redoMs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        doc.Undo();
        const double undo = MsSince(start);
        start = Clock::now();
        doc.Redo();
        const double redo = MsSince(start);
        undoMs += undo;
        redoMs += redo;
        state.SetIterationTime((undo + redo) / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["fill_ms"] = fillMs;
    state.counters["undo_ms"] = undoMs / n;
    state.counters["redo_ms"] = redoMs / n;
    state.counters["step_MiB"] = double(doc.history().bytes()) / (1 << 20);
}
BENCHMARK(BM_UndoFill4096)->Unit(benchmark::kMillisecond)->UseManualTime();

// What undoing the fill comes down to: copying 32 MiB of cells back.
static void BM_PlainCopy32MiB(benchmark::State& state) {
    std::vector<uint16_t> from(size_t(4096) * 4096, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy32MiB)->Unit(benchmark::kMillisecond);

// A 10,000-cell Shift drag over a 4096 x 4096 map (tiles of one pixel, so
// every pointer move reaches the next cell), recorded as one step.
static void BM_PaintStroke10k(benchmark::State& state) {
    kesh::Document doc;
    if (!doc.map().AllocateCells(4096, 4096)) {
        state.SkipWithError("allocation failed");
        return;
    }
    kesh::MapEditor editor(doc);
    const kesh::Viewport view{{0, 0}, 1 << 20, 1 << 20};
    kesh::InputState shift;
    shift.shift = true;
    uint16_t value = 0;
    for (auto _ : state) {
        const kesh::TileContext tile{1, 1, value++};
        editor.LButtonDown({0, 0}, shift, view, tile);
        for (int32_t i = 1; i < 10000; ++i)
            editor.MouseMove({i % 4096, i / 4096}, {}, true, view, tile);
        editor.LButtonUp();
    }
    state.counters["steps"] = double(doc.history().size());
    state.SetItemsProcessed(int64_t(state.iterations()) * 10000);
}
BENCHMARK(BM_PaintStroke10k)->Unit(benchmark::kMillisecond);

// Delete tile 0 of 1,000 on a 4096 x 4096 map, then undo it; each way reported.
static void BM_UndoTileDelete4096(benchmark::State& state) {
    kesh::Document doc;
    if (!MakeBigDocument(doc, 1000)) {
        state.SkipWithError("allocation failed");
        return;
    }
    double deleteMs = 0, undoMs = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        doc.DeleteTile(0);
        const double del = MsSince(start);
        start = Clock::now();
        doc.Undo();
        const double undo = MsSince(start);
        deleteMs += del;
        undoMs += undo;
        state.SetIterationTime((del + undo) / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["delete_ms"] = deleteMs / n;
    state.counters["undo_ms"] = undoMs / n;
}
BENCHMARK(BM_UndoTileDelete4096)->Unit(benchmark::kMillisecond)->UseManualTime();
