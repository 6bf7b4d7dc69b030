// Terrain brushes: a long stroke on a large map, and a whole map from a mask,
// each beside a plain pass over the same cells in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "doc/Document.h"
#include "terrain/TerrainTemplate.h"
#include "terrain/TerrainMask.h"

using namespace kesh;

namespace {

constexpr int32_t kSide = 4096;

// Two terrains, every blob label of the 47-tile template and plain 0.
TerrainSet BlobSet() {
    TerrainSet set;
    set.kind = TerrainKind::Blob;
    set.terrains = {"물", "풀"};
    const TemplateLayout sheet = LayoutOf(TerrainTemplate::Blob47);
    for (size_t i = 0; i < sheet.labels.size(); ++i)
        set.tiles.push_back({uint16_t(i), sheet.labels[i]});
    return set;
}

TerrainSet CornerSet() {
    TerrainSet set;
    set.terrains = {"물", "풀"};
    for (int i = 0; i < 16; ++i) {
        TerrainLabel label = 0;
        for (int pos = 0; pos < 4; ++pos)
            label = WithTerrain(label, pos, (i >> pos) & 1);
        set.tiles.push_back({uint16_t(i), label});
    }
    return set;
}

// 10,000 cells: a 100 x 100 square walked row by row, back and forth, as a
// brush dragged over it would.
std::vector<Point> StrokePoints() {
    std::vector<Point> points;
    for (int32_t y = 0; y < 100; ++y)
        for (int32_t x = 0; x < 100; ++x)
            points.push_back({2000 + (y % 2 ? 99 - x : x), 2000 + y});
    return points;
}

double StatusMiB(const char* field) {
    double kib = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, field, &kib) == 1)
                break;
        std::fclose(f);
    }
    return kib / 1024;
}

void ResetPeak() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

} // namespace

// A 10,000-cell terrain stroke on a 4096 x 4096 map with a blob set, one
// step: each cell painted, its neighbours chosen again, the step recorded.
// Each round paints the other terrain, so every round changes the map.
static void BM_TerrainStroke10k(benchmark::State& state) {
    Document doc;
    if (!doc.map().AllocateCells(kSide, kSide) || !doc.SetTerrainSet(BlobSet())) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::vector<Point> points = StrokePoints();
    int terrain = 1;
    for (auto _ : state) {
        for (Point p : points)
            doc.PaintTerrain(p, terrain);
        doc.EndStroke();
        terrain ^= 1;
    }
    state.counters["unmatched"] = double(doc.terrainUnmatched());
}
BENCHMARK(BM_TerrainStroke10k)->Unit(benchmark::kMillisecond);

// Its baseline: the same 10,000 cells painted with a plain tile by the
// ordinary paint stroke, one step.
static void BM_TerrainStroke10kBaseline(benchmark::State& state) {
    Document doc;
    if (!doc.map().AllocateCells(kSide, kSide)) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::vector<Point> points = StrokePoints();
    uint16_t tile = 1;
    for (auto _ : state) {
        for (Point p : points)
            doc.PaintCell(p.y * kSide + p.x, tile);
        doc.EndStroke();
        tile ^= 3;
    }
}
BENCHMARK(BM_TerrainStroke10kBaseline)->Unit(benchmark::kMillisecond);

namespace {

// A 4097 x 4097 palette mask of two colours in broad patches.
Image Mask() {
    Image mask;
    mask.m_width = mask.m_height = kSide + 1;
    mask.m_pixelCount = mask.m_width * mask.m_height;
    mask.m_kind = PixelKind::Indexed;
    mask.m_pixels.resize(size_t(mask.m_pixelCount));
    for (int32_t y = 0; y <= kSide; ++y)
        for (int32_t x = 0; x <= kSide; ++x)
            mask.m_pixels[size_t(y) * size_t(kSide + 1) + size_t(x)] =
                uint8_t(((x / 37) ^ (y / 23) ^ (x * y / 4099)) & 1 ? 5 : 2);
    return mask;
}

} // namespace

// A 4097 x 4097 mask made into a 4096 x 4096 map with a corner set, as
// kesh-cli terrain does before it saves: the mask's colours read as
// terrain values, and every cell chosen. extraMiB is the peak memory above
// what the map and the decoded mask held before; mapMiB the map's cells.
static void BM_TerrainMask4096(benchmark::State& state) {
    const Image mask = Mask();
    MapModel map;
    if (!map.AllocateCells(kSide, kSide)) {
        state.SkipWithError("set-up failed");
        return;
    }
    const TerrainSet set = CornerSet();
    uint64_t unmatched = 0;
    const double before = StatusMiB("VmRSS: %lf");
    ResetPeak();
    for (auto _ : state) {
        std::vector<uint8_t> values;
        std::vector<int64_t> counts;
        TerrainLayer layer;
        if (!MaskValues(mask, {}, 2, values, counts) ||
            !layer.Attach(set, map, std::move(values))) {
            state.SkipWithError("mask refused");
            return;
        }
        unmatched = layer.ChooseAll(map);
    }
    state.counters["extraMiB"] = StatusMiB("VmHWM: %lf") - before;
    state.counters["mapMiB"] = double(kSide) * kSide * 2 / (1024 * 1024);
    state.counters["unmatched"] = double(unmatched);
}
BENCHMARK(BM_TerrainMask4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Its baseline: every cell of the same map given a tile straight from the
// mask's pixel at its top-left corner, nothing looked up.
static void BM_TerrainMask4096Baseline(benchmark::State& state) {
    const Image mask = Mask();
    MapModel map;
    if (!map.AllocateCells(kSide, kSide)) {
        state.SkipWithError("set-up failed");
        return;
    }
    for (auto _ : state) {
        for (int32_t y = 0; y < kSide; ++y)
            for (int32_t x = 0; x < kSide; ++x)
                map.cells()[size_t(y) * kSide + size_t(x)] =
                    mask.m_pixels[size_t(y) * size_t(kSide + 1) + size_t(x)];
        benchmark::DoNotOptimize(map.cells().data());
    }
}
BENCHMARK(BM_TerrainMask4096Baseline)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
