// Importing tiles from a PNG, next to libpng decoding the same file alone.
// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <benchmark/benchmark.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "image/ImageSource.h"
#include "image/ImportImage.h"
#include "io/FileSystem.h"
#include "io/InputLimits.h"
#include "raster/PngWriter.h"

using namespace kesh;

namespace {

constexpr int kSide = 4096;
constexpr int kTile = 16;

// A 4096 x 4096 palette PNG whose rows `row` gives, at zlib's default
// level as image editors write them.
std::vector<uint8_t> MakePng(const char* name, const std::function<void(int64_t, uint8_t*)>& row) {
    uint8_t table[1024] = {};
    for (int i = 0; i < 256; ++i) {
        table[4 * i] = uint8_t(i);
        table[4 * i + 1] = uint8_t(255 - i);
        table[4 * i + 2] = uint8_t(i * 3);
    }
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    WriteIndexedPng(FileSystem::Native(), path, kSide, kSide, table, row, 6);
    auto file = FileSystem::Native().readFile(path, kMaxMapFileBytes);
    std::filesystem::remove(path);
    return file ? *file : std::vector<uint8_t>{};
}

// 16 x 16 tiles: 1,024 distinct tiles, each place showing one of them as it
// is or mirrored left to right, top to bottom or both.
const std::vector<uint8_t>& MirroredTilePng() {
    static const std::vector<uint8_t> bytes =
        MakePng("kesh-bench-mirrored.png", [](int64_t y, uint8_t* out) {
            for (int64_t x = 0; x < kSide; ++x) {
                const int64_t place = (y / kTile) * (kSide / kTile) + x / kTile;
                const int64_t t = place * 7919 % 1024;
                const int64_t flips = place / 1024 % 4; // each tile is met in all four ways
                const int64_t tx = flips & 1 ? kTile - 1 - x % kTile : x % kTile;
                const int64_t ty = flips & 2 ? kTile - 1 - y % kTile : y % kTile;
                const int64_t i = ty * kTile + tx;
                out[x] = i == 0 ? uint8_t(t) : i == 1 ? uint8_t(t >> 8) : uint8_t(t * 13 + i * 5);
            }
        });
    return bytes;
}

// A 4096 x 4096 palette PNG of 16 x 16 tiles: 1,000 distinct tiles among
// the 65,536 places, at zlib's default level as image editors write them.
const std::vector<uint8_t>& TilePng() {
    static const std::vector<uint8_t> bytes = [] {
        uint8_t table[1024] = {};
        for (int i = 0; i < 256; ++i) {
            table[4 * i] = uint8_t(i);
            table[4 * i + 1] = uint8_t(255 - i);
            table[4 * i + 2] = uint8_t(i * 3);
        }
        const std::string path =
            (std::filesystem::temp_directory_path() / "kesh-bench-tiles.png").string();
        const auto row = [](int64_t y, uint8_t* out) {
            for (int64_t x = 0; x < kSide; ++x) {
                const int64_t t = ((y / kTile) * (kSide / kTile) + x / kTile) * 7919 % 1000;
                const int64_t i = (y % kTile) * kTile + x % kTile;
                out[x] = i == 0 ? uint8_t(t) : i == 1 ? uint8_t(t >> 8) : uint8_t(t * 13 + i * 5);
            }
        };
        WriteIndexedPng(FileSystem::Native(), path, kSide, kSide, table, row, 6);
        auto file = FileSystem::Native().readFile(path, kMaxMapFileBytes);
        std::filesystem::remove(path);
        return file ? *file : std::vector<uint8_t>{};
    }();
    return bytes;
}

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadInput(png_structp png, png_bytep out, png_size_t n) {
    auto* in = static_cast<Input*>(png_get_io_ptr(png));
    if (n > in->size - in->at)
        png_error(png, "short");
    std::memcpy(out, in->data + in->at, n);
    in->at += n;
}

// libpng alone: the whole image into a new buffer of indices, as any reader
// must make one.
bool DecodeOnly(png_structp png, png_infop info, uint8_t* pixels) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    png_set_packing(png);
    png_read_update_info(png, info);
    const size_t stride = png_get_rowbytes(png, info);
    for (uint32_t y = 0; y < png_get_image_height(png, info); ++y)
        png_read_row(png, pixels + y * stride, nullptr);
    png_read_end(png, info);
    return true;
}

} // namespace

namespace {

void DecodeLoop(benchmark::State& state, const std::vector<uint8_t>& bytes) {
    for (auto _ : state) {
        std::vector<uint8_t> pixels(size_t(kSide) * kSide);
        Input in{bytes.data(), bytes.size(), 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &in, ReadInput);
        if (!DecodeOnly(png, info, pixels.data()))
            state.SkipWithError("decode failed");
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
}

} // namespace

static void BM_DecodePng4096(benchmark::State& state) {
    DecodeLoop(state, TilePng());
}
BENCHMARK(BM_DecodePng4096)->Unit(benchmark::kMillisecond)->UseRealTime();

namespace {

// Imports `bytes` into a fresh set of `tile` x `tile` tiles each
// iteration, making a map.
void ImportLoop(benchmark::State& state, const std::vector<uint8_t>& bytes,
                const ImportOptions& options, int tile = kTile) {
    ImportResult result;
    for (auto _ : state) {
        state.PauseTiming(); // the empty set is there before the import
        TileSet set;
        set.format().width = tile;
        set.format().height = tile;
        set.InitTileSet();
        state.ResumeTiming();
        ImageSource image;
        if (!image.Open(bytes))
            state.SkipWithError("decode failed");
        result = ImportImage(set, image, options);
        if (!result.status)
            state.SkipWithError(result.status.message().c_str());
    }
    state.counters["added"] = double(result.added);
    if (options.flips)
        state.counters["flipped"] = double(result.flippedCells);
    if (options.subPalettes.on())
        state.counters["palettes"] = double(result.subPalettes.palettes.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * kSide * kSide);
}

// 16 x 16 areas of 16 colours: colour 0 black, then 8 groups of 15
// colours; each of 1,000 distinct areas draws its pixels from one group,
// as TilePng's tiles draw theirs. The
// areas are as large as TilePng's tiles so that the two pictures cost
// libpng alike (with 8 x 8 areas libpng alone took 2.7 times as long).
// Cut into the 8 x 8 tiles of the SNES mode-1 preset, 8 palettes of 16 colours.
const std::vector<uint8_t>& AreaPng() {
    static const std::vector<uint8_t> bytes = [] {
        constexpr int kArea = 16;
        uint8_t table[1024] = {};
        for (int g = 0; g < 8; ++g)
            for (int k = 0; k < 15; ++k) {
                uint8_t* e = table + 4 * (1 + g * 15 + k);
                e[0] = uint8_t(32 * g + 8 * (k & 3));
                e[1] = uint8_t(40 * (k >> 2) + 16);
                e[2] = uint8_t(255 - 24 * g);
            }
        const std::string path =
            (std::filesystem::temp_directory_path() / "kesh-bench-areas.png").string();
        const auto row = [](int64_t y, uint8_t* out) {
            for (int64_t x = 0; x < kSide; ++x) {
                const int64_t t = ((y / kArea) * (kSide / kArea) + x / kArea) * 7919 % 1000;
                const int64_t i = (y % kArea) * kArea + x % kArea;
                // As in TilePng, the first pixels tell the areas apart and
                // the rest steps through the colours.
                const int64_t k = i == 1 ? t % 15 : i == 2 ? t / 15 % 15 : (t * 7 + i * 2) % 15;
                out[x] = i == 0 ? 0 : uint8_t(1 + t % 8 * 15 + k);
            }
        };
        WriteIndexedPng(FileSystem::Native(), path, kSide, kSide, table, row, 6);
        auto file = FileSystem::Native().readFile(path, kMaxMapFileBytes);
        std::filesystem::remove(path);
        return file ? *file : std::vector<uint8_t>{};
    }();
    return bytes;
}

} // namespace

static void BM_ImportImage4096Png(benchmark::State& state) {
    ImportLoop(state, TilePng(), {.makeMap = true});
}
BENCHMARK(BM_ImportImage4096Png)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same import matching mirror images, over a picture of 1,024 distinct
// tiles and their mirror images: to be within 1.3 x BM_ImportImage4096Png.
static void BM_ImportImage4096PngFlips(benchmark::State& state) {
    ImportLoop(state, MirroredTilePng(), {.makeMap = true, .flips = true});
}
BENCHMARK(BM_ImportImage4096PngFlips)->Unit(benchmark::kMillisecond)->UseRealTime();

// "팔레트 8개 × 색 16개" per 8 x 8 tile, colours kept at BGR555 precision, over
// AreaPng: to be within 2 x BM_ImportImage4096Png.
static void BM_ImportImage4096PngPreset(benchmark::State& state) {
    ImportOptions options{.makeMap = true};
    options.subPalettes = {8, 16, 1, ColourEncoding::Bgr555, {}};
    ImportLoop(state, AreaPng(), options, 8);
}
BENCHMARK(BM_ImportImage4096PngPreset)->Unit(benchmark::kMillisecond)->UseRealTime();

// For the record: libpng alone on the preset's picture, whose many colours
// compress less well than BM_DecodePng4096's.
static void BM_DecodeAreaPng4096(benchmark::State& state) {
    DecodeLoop(state, AreaPng());
}
BENCHMARK(BM_DecodeAreaPng4096)->Unit(benchmark::kMillisecond)->UseRealTime();
