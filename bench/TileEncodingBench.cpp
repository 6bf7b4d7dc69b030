#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "PlainFiles.h"
#include "raster/PixelEncoding.h"

using namespace kesh;
using kesh::bench::ReadWhole;
using kesh::bench::ScratchDir;
using kesh::bench::WriteAndSync;

namespace {

constexpr int kTiles = 4096;
constexpr size_t kTilePixels = 64;
constexpr PixelEncoding kSnes4 = PixelEncoding::Planar4Snes;
// 4,096 tiles of 32 bytes: 128 KiB.
const size_t kEncodedBytes = size_t(kTiles) * EncodedTileBytes(kSnes4, 8, 8);

// 4,096 tiles of 8 x 8 random pixels 0-15, one after another.
const std::vector<uint8_t>& Pixels() {
    static const std::vector<uint8_t> pixels = [] {
        std::vector<uint8_t> p(kTiles * kTilePixels);
        std::mt19937 random(4096);
        for (uint8_t& v : p)
            v = uint8_t(random() & 15);
        return p;
    }();
    return pixels;
}

// The tiles as a save writes them: each checked, then encoded.
std::vector<uint8_t> EncodeAll(const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out(kEncodedBytes);
    const size_t tileBytes = EncodedTileBytes(kSnes4, 8, 8);
    for (int t = 0; t < kTiles; ++t) {
        const uint8_t* p = pixels.data() + size_t(t) * kTilePixels;
        if (FirstPixelTooLarge(kSnes4, p, kTilePixels) >= 0)
            return {};
        EncodeTile(kSnes4, 8, 8, p, out.data() + size_t(t) * tileBytes);
    }
    return out;
}

} // namespace

// 4,096 tiles checked, encoded as SNES 4bpp and written to disk.
static void BM_WriteTiles4bppPlanar4096(benchmark::State& state) {
    ScratchDir dir;
    const std::vector<uint8_t>& pixels = Pixels();
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = EncodeAll(pixels);
        WriteAndSync(dir.file("tiles.bin"), bytes.data(), bytes.size());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_WriteTiles4bppPlanar4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its baseline: as many bytes written without any encoding.
static void BM_PlainWrite128KiB(benchmark::State& state) {
    ScratchDir dir;
    const std::vector<uint8_t> bytes(kEncodedBytes, 0x5A);
    for (auto _ : state)
        WriteAndSync(dir.file("plain.bin"), bytes.data(), bytes.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_PlainWrite128KiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file read back and decoded into fresh pixels.
static void BM_ReadTiles4bppPlanar4096(benchmark::State& state) {
    ScratchDir dir;
    const std::vector<uint8_t> file = EncodeAll(Pixels());
    WriteAndSync(dir.file("tiles.bin"), file.data(), file.size());
    const size_t tileBytes = EncodedTileBytes(kSnes4, 8, 8);
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = ReadWhole(dir.file("tiles.bin"));
        pixels = std::vector<uint8_t>(kTiles * kTilePixels);
        for (int t = 0; t < kTiles; ++t)
            DecodeTile(kSnes4, 8, 8, bytes.data() + size_t(t) * tileBytes,
                       pixels.data() + size_t(t) * kTilePixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    if (pixels != Pixels())
        state.SkipWithError("the tiles read back differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_ReadTiles4bppPlanar4096)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Its baseline: the same file's bytes read into fresh memory, nothing decoded.
static void BM_PlainRead128KiB(benchmark::State& state) {
    ScratchDir dir;
    const std::vector<uint8_t> bytes(kEncodedBytes, 0x5A);
    WriteAndSync(dir.file("plain.bin"), bytes.data(), bytes.size());
    for (auto _ : state) {
        const std::vector<uint8_t> read = ReadWhole(dir.file("plain.bin"));
        benchmark::DoNotOptimize(read.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_PlainRead128KiB)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The encoding alone, in memory, for the record: no disk, no baseline.
static void BM_EncodeTiles4bppPlanar4096(benchmark::State& state) {
    const std::vector<uint8_t>& pixels = Pixels();
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = EncodeAll(pixels);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_EncodeTiles4bppPlanar4096)->Unit(benchmark::kMicrosecond);
