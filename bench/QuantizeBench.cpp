// A palette built for a 4096 x 4096 true-colour picture, next to mapping the
// same pixels onto a fixed palette in one plain pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "raster/ColourHistogram.h"
#include "raster/ColourMapper.h"
#include "raster/ColourQuantizer.h"

using namespace kesh;

namespace {

constexpr int kSide = 4096;

// Gradients across the picture with noise over them: every colour bin of
// the palette's precision holds pixels, as in the worst photograph.
const std::vector<uint8_t>& Picture() {
    static const std::vector<uint8_t> rgb = [] {
        std::vector<uint8_t> out(size_t(kSide) * kSide * 3);
        uint32_t state = 12345;
        for (size_t i = 0; i < out.size() / 3; ++i) {
            state = state * 1664525u + 1013904223u;
            const int x = int(i % kSide), y = int(i / kSide);
            out[3 * i] = uint8_t(x / 16 + (state >> 24) % 64);
            out[3 * i + 1] = uint8_t(y / 16 + (state >> 16) % 64);
            out[3 * i + 2] = uint8_t((x + y) / 32 + (state >> 8) % 128);
        }
        return out;
    }();
    return rgb;
}

// The import's work: the histogram, Wu's boxes and k-means, every pixel
// mapped to its entry, without dithering.
void BM_Quantize4096(benchmark::State& state) {
    const std::vector<uint8_t>& rgb = Picture();
    std::vector<uint8_t> indices(rgb.size() / 3);
    for (auto _ : state) {
        ColourHistogram histogram;
        histogram.Add(rgb.data(), nullptr, indices.size());
        const QuantizedColours colours = ColourQuantizer::Quantize(histogram, 256, false);
        ColourMapper mapper(histogram, colours);
        mapper.Map(rgb.data(), nullptr, kSide, kSide, false, indices.data());
        benchmark::DoNotOptimize(indices.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_Quantize4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The plain baseline: each pixel onto a fixed 3-3-2 palette, one pass.
void BM_Quantize4096FixedPaletteBaseline(benchmark::State& state) {
    const std::vector<uint8_t>& rgb = Picture();
    std::vector<uint8_t> indices(rgb.size() / 3);
    for (auto _ : state) {
        const uint8_t* p = rgb.data();
        for (size_t i = 0; i < indices.size(); ++i, p += 3)
            indices[i] = uint8_t((p[0] & 0xE0) | (p[1] >> 5) << 2 | p[2] >> 6);
        benchmark::DoNotOptimize(indices.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
}
BENCHMARK(BM_Quantize4096FixedPaletteBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
