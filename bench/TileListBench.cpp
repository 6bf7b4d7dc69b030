#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "tileset/TileList.h"

namespace {

constexpr uint32_t kTiles8x8 = 40960; // a full 8 x 8 tile set

// kTiles8x8 distinct 8 x 8 tiles, one after another, 64 bytes each.
const std::vector<uint8_t>& DistinctTiles8x8() {
    static const std::vector<uint8_t> tiles = [] {
        std::vector<uint8_t> t(size_t(kTiles8x8) * 64);
        uint32_t state = 12345;
        for (uint32_t i = 0; i < kTiles8x8; ++i) {
            uint8_t* tile = t.data() + size_t(i) * 64;
            for (int p = 0; p < 64; ++p) {
                state = state * 1103515245u + 12345u;
                tile[p] = uint8_t(state >> 16);
            }
            std::memcpy(tile, &i, sizeof i); // distinct whatever the noise
        }
        return t;
    }();
    return tiles;
}

void BM_AddUniqueDistinct8x8(benchmark::State& state) {
    const auto& tiles = DistinctTiles8x8();
    for (auto _ : state) {
        kesh::TileList list;
        list.Setup(8, 8);
        for (uint32_t i = 0; i < kTiles8x8; ++i)
            list.AddUnique(tiles.data() + size_t(i) * 64, i & 0xFF);
        if (list.count() != kTiles8x8)
            state.SkipWithError("tiles missing");
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_AddUniqueDistinct8x8)->Unit(benchmark::kMillisecond);

void BM_AddUniqueDuplicates8x8(benchmark::State& state) {
    const auto& tiles = DistinctTiles8x8();
    kesh::TileList list;
    list.Setup(8, 8);
    for (uint32_t i = 0; i < kTiles8x8; ++i)
        list.AddUnique(tiles.data() + size_t(i) * 64, i & 0xFF);
    for (auto _ : state) {
        int found = 0;
        for (uint32_t i = 0; i < kTiles8x8; ++i)
            found += list.AddUnique(tiles.data() + size_t(i) * 64, i & 0xFF);
        if (list.count() != kTiles8x8 || found != int(kTiles8x8))
            state.SkipWithError("duplicate added");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_AddUniqueDuplicates8x8)->Unit(benchmark::kMillisecond);

} // namespace
