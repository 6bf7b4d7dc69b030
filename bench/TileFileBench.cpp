#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "layout/Descriptor.h"
#include "tileset/AddTileFile.h"
#include "tileset/TileSet.h"
#include "tileset/TileSheetExport.h"

using namespace kesh;

namespace {

// A tile set of `width` x `height` filled to capacity with distinct tiles.
TileSet FullSet(int32_t width, int32_t height) {
    TileSet set;
    set.format().width = width;
    set.format().height = height;
    set.InitTileSet();
    std::vector<uint8_t> pixels(size_t(width) * size_t(height));
    for (int64_t i = 0; i < set.tiles().capacity(); ++i) {
        for (size_t p = 0; p < pixels.size(); ++p)
            pixels[p] = uint8_t((i >> (8 * (p % 4))) + p / 4);
        set.tiles().Append(pixels.data(), uint32_t(i & 0xFF));
    }
    return set;
}

// 40,960 tiles of 8 x 8 in the default layout.
const std::vector<uint8_t>& FullFile8x8() {
    static const std::vector<uint8_t> file = [] {
        ByteWriter out;
        FullSet(8, 8).WriteTileFile(out);
        return out.take();
    }();
    return file;
}

} // namespace

static void BM_ReadTileFile8x8Full(benchmark::State& state) {
    const auto& file = FullFile8x8();
    for (auto _ : state) {
        TileSet set;
        ByteReader in(file);
        Status st = set.ReadTileFile(in, 0);
        if (!st || set.count() != 40960)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(set.count());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_ReadTileFile8x8Full)->Unit(benchmark::kMillisecond);

static void BM_AddTileFile8x8Full(benchmark::State& state) {
    const auto& file = FullFile8x8();
    TileSet set;
    ByteReader in(file);
    if (!set.ReadTileFile(in, 0))
        state.SkipWithError("read failed");
    const TileDescriptor layout{0, 0, TileFormat::Default().items};
    for (auto _ : state) {
        const AddTileFileResult r = AddTileFile(set, file, layout);
        if (!r.status || r.added != 0)
            state.SkipWithError("add failed");
        benchmark::DoNotOptimize(r.added);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}
BENCHMARK(BM_AddTileFile8x8Full)->Unit(benchmark::kMillisecond);

static void BM_TileSheetExport(benchmark::State& state) {
    const TileSet set = FullSet(32, 32); // 3,150 tiles
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> sheet = BuildTileSheet(set);
        bytes = sheet.size();
        benchmark::DoNotOptimize(sheet.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_TileSheetExport)->Unit(benchmark::kMillisecond);

// The same number of bytes as the sheet above, just copied.
static void BM_TileSheetMemcpyBaseline(benchmark::State& state) {
    const size_t bytes = 1078 + size_t(320) * 315 * 32;
    std::vector<uint8_t> from(bytes, 7), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_TileSheetMemcpyBaseline)->Unit(benchmark::kMillisecond);
