#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "image/SubPalettePacker.h"

using namespace kesh;

namespace {

// The tiles of a 4096 x 4096 picture of 8 x 8 tiles (262,144), each drawing
// 3 to 15 colours from one of 8 palettes of 15, as the preset import of
// such a picture hands them to the packer.
const std::vector<std::vector<uint32_t>>& PictureTiles() {
    static const std::vector<std::vector<uint32_t>> tiles = [] {
        std::vector<std::vector<uint32_t>> t(512 * 512);
        std::mt19937 random(4096);
        for (auto& colours : t) {
            const uint32_t palette = random() % 8;
            colours.push_back(0);
            const uint32_t count = 3 + random() % 13;
            for (uint32_t k = 0; k < count; ++k)
                colours.push_back(palette * 100 + 1 + random() % 15);
        }
        return t;
    }();
    return tiles;
}

} // namespace

// Packing alone; BM_ImportImage4096PngPreset is to include it within 2x a
// plain import.
static void BM_PackSubPalettes4096(benchmark::State& state) {
    const auto& tiles = PictureTiles();
    const SubPalettePacker packer(8, 16);
    for (auto _ : state) {
        SubPalettes result;
        if (!packer.Pack(tiles, 512, 8, 8, 0, result))
            state.SkipWithError("no packing");
        benchmark::DoNotOptimize(result.paletteOfTile.data());
    }
}
BENCHMARK(BM_PackSubPalettes4096)->Unit(benchmark::kMillisecond);
