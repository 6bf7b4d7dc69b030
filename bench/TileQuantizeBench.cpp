// Tile-aware quantization of a 1024 x 1024 true-colour picture to 8
// palettes of 16 colours, next to the plain whole-picture quantizer (one
// palette of 16) on the same pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "image/TileQuantizer.h"
#include "raster/ColourHistogram.h"
#include "raster/ColourMapper.h"
#include "raster/ColourQuantizer.h"

using namespace kesh;

namespace {

constexpr int kSide = 1024;

// Tiles in a dozen colour themes (grass, water, stone, ...) by regions of
// the picture, each pixel its theme's colour shaded across the tile with
// noise over it: many colours, grouped by tile as in a real sheet.
const std::vector<uint8_t>& Picture() {
    static const std::vector<uint8_t> rgb = [] {
        static const uint8_t themes[12][3] = {{60, 140, 50},  {40, 90, 200},  {120, 120, 130},
                                              {200, 170, 90}, {150, 60, 40},  {230, 230, 240},
                                              {30, 30, 40},   {200, 80, 160}, {90, 200, 200},
                                              {250, 200, 40}, {100, 70, 40},  {170, 210, 120}};
        std::vector<uint8_t> out(size_t(kSide) * kSide * 3);
        uint32_t state = 1024;
        for (size_t i = 0; i < out.size() / 3; ++i) {
            state = state * 1664525u + 1013904223u;
            const int x = int(i % kSide), y = int(i / kSide);
            const int theme = ((x / 64) * 7 + (y / 48) * 5 + (x / 8 + y / 8) % 3) % 12;
            const int shade = (x % 8) * 6 + (y % 8) * 4 - 38 + int((state >> 24) % 25) - 12;
            for (size_t c = 0; c < 3; ++c) {
                const int v = themes[theme][c] + shade + int((state >> (8 * c)) % 9) - 4;
                out[3 * i + c] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
        return out;
    }();
    return rgb;
}

void BM_QuantizeTiles1024(benchmark::State& state) {
    const std::vector<uint8_t>& rgb = Picture();
    TileQuantizeOptions options; // 8 x 8 tiles, 8 palettes of 16, 6-bit colours
    double psnr = 0;
    for (auto _ : state) {
        TileQuantized result;
        if (!TileQuantize(rgb.data(), nullptr, kSide, kSide, options, result))
            state.SkipWithError("refused");
        psnr = result.report.Psnr();
        benchmark::DoNotOptimize(result.indices.data());
    }
    state.counters["PSNR"] = psnr;
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_QuantizeTiles1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline: one palette of 16 for the whole picture, every pixel mapped.
void BM_QuantizeTiles1024WholePictureBaseline(benchmark::State& state) {
    const std::vector<uint8_t>& rgb = Picture();
    std::vector<uint8_t> indices(size_t(kSide) * kSide);
    double psnr = 0;
    for (auto _ : state) {
        ColourHistogram histogram;
        histogram.Add(rgb.data(), nullptr, indices.size());
        const QuantizedColours colours = ColourQuantizer::Quantize(histogram, 16, false);
        ColourMapper mapper(histogram, colours);
        mapper.Map(rgb.data(), nullptr, kSide, kSide, false, indices.data());
        psnr = ColourMapper::Psnr(mapper.squaredError(), mapper.pixels());
        benchmark::DoNotOptimize(indices.data());
    }
    state.counters["PSNR"] = psnr;
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_QuantizeTiles1024WholePictureBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
