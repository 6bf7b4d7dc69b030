#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "PlainFiles.h"
#include "io/ByteWriter.h"
#include "raster/PixelEncoding.h"
#include "tileset/EncodedTiles.h"

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

// The same tiles in a tile list, as a tile set holds them.
const TileList& Tiles() {
    static const TileList tiles = [] {
        TileList list;
        list.Setup(8, 8);
        for (int t = 0; t < kTiles; ++t)
            list.Append(Pixels().data() + size_t(t) * kTilePixels, 0);
        return list;
    }();
    return tiles;
}

// The tiles as a save writes them: every pixel checked, then each tile encoded.
std::vector<uint8_t> EncodeAll() {
    ByteWriter out;
    if (!WriteEncodedTiles(Tiles(), kSnes4, out))
        return {};
    return out.take();
}

} // namespace

// 4,096 tiles checked, encoded as SNES 4bpp and written to disk.
static void BM_WriteTiles4bppPlanar4096(benchmark::State& state) {
    ScratchDir dir;
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = EncodeAll();
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

// A file of the tiles in `encoding` read back into a fresh tile list.
void ReadTilesLoop(benchmark::State& state, PixelEncoding encoding) {
    ScratchDir dir;
    ByteWriter out;
    WriteEncodedTiles(Tiles(), encoding, out);
    WriteAndSync(dir.file("tiles.bin"), out.bytes().data(), out.size());
    bool same = true;
    for (auto _ : state) {
        const std::vector<uint8_t> bytes = ReadWhole(dir.file("tiles.bin"));
        TileList tiles;
        tiles.Setup(8, 8);
        if (!ReadEncodedTiles(bytes, encoding, kTiles, tiles))
            same = false;
        same = same && tiles.count() == kTiles && tiles.PixelsEqual(Pixels().data(), 0);
        benchmark::DoNotOptimize(tiles.count());
    }
    if (!same)
        state.SkipWithError("the tiles read back differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

static void BM_ReadTiles4bppPlanar4096(benchmark::State& state) {
    ReadTilesLoop(state, kSnes4);
}
BENCHMARK(BM_ReadTiles4bppPlanar4096)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same tiles a byte a pixel, for the share of the tile list itself.
static void BM_ReadTiles8bit4096(benchmark::State& state) {
    ReadTilesLoop(state, PixelEncoding::Byte8);
}
BENCHMARK(BM_ReadTiles8bit4096)->Unit(benchmark::kMicrosecond)->UseRealTime();

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

// The codec alone, in memory, for the record: no disk, no tile list.
static void BM_EncodeTiles4bppPlanar4096(benchmark::State& state) {
    std::vector<uint8_t> out(kEncodedBytes);
    for (auto _ : state) {
        for (int t = 0; t < kTiles; ++t)
            EncodeTile(kSnes4, 8, 8, Pixels().data() + size_t(t) * kTilePixels,
                       out.data() + size_t(t) * 32);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_EncodeTiles4bppPlanar4096)->Unit(benchmark::kMicrosecond);

static void BM_DecodeTiles4bppPlanar4096(benchmark::State& state) {
    const std::vector<uint8_t> bytes = EncodeAll();
    std::vector<uint8_t> pixels(kTiles * kTilePixels);
    for (auto _ : state) {
        for (int t = 0; t < kTiles; ++t)
            DecodeTile(kSnes4, 8, 8, bytes.data() + size_t(t) * 32,
                       pixels.data() + size_t(t) * kTilePixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEncodedBytes));
}
BENCHMARK(BM_DecodeTiles4bppPlanar4096)->Unit(benchmark::kMicrosecond);
