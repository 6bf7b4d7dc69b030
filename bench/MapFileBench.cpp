#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "raster/PngWriter.h"
#include "map/MapBitmapExport.h"
#include "PlainFiles.h"
#include "map/MapFile.h"
#include "map/MapImageRows.h"
#include "map/MapPngExport.h"

using namespace kesh;

namespace {

using BenchDir = kesh::bench::ScratchDir;

TileSet Tiles1000() {
    TileSet set;
    set.format().width = 16;
    set.format().height = 16;
    set.InitTileSet();
    std::vector<uint8_t> pixels(256);
    for (int t = 0; t < 1000; ++t) {
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint8_t(t * 7 + i);
        set.tiles().Append(pixels.data(), uint32_t(t));
    }
    return set;
}

// A map of `side` x `side` cells naming tiles 0-999, every 17th cell empty.
MapModel FilledMap(int32_t side, std::vector<uint8_t> items) {
    MapModel map;
    map.AllocateCells(side, side);
    map.format().items = std::move(items);
    auto& cells = map.cells();
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = i % 17 == 0 ? kEmptyCell : uint16_t((i * 31) % 1000);
    return map;
}

const std::vector<uint8_t> kWordLayout = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};

const std::vector<uint8_t> kByteLayout = {MapItem::SizeWord, MapItem::CellsByte, MapItem::TileFile};

size_t FileSizeOf(const std::vector<uint8_t>& layout) {
    ByteWriter out;
    WriteMapFile(FilledMap(4096, layout), Tiles1000(), out);
    return out.size();
}

size_t MapFileSize() {
    static const size_t size = FileSizeOf(kWordLayout);
    return size;
}

size_t ByteMapFileSize() {
    static const size_t size = FileSizeOf(kByteLayout);
    return size;
}

// The plain way to put bytes on disk that a save must at least do.
void PlainWrite(const std::string& path, const std::vector<uint8_t>& bytes) {
    kesh::bench::WriteAndSync(path, bytes.data(), bytes.size());
}

} // namespace

// The plain baseline: `size` bytes of the open file `fd` read into fresh
// memory with read(2), then the file closed.
static void PlainReadInto(int fd, size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::read(fd, bytes.data() + at, bytes.size() - at);
        if (n <= 0)
            break;
        at += size_t(n);
    }
    ::close(fd);
    benchmark::DoNotOptimize(bytes.data());
}

static void BM_MapSaveWord4096(benchmark::State& state) {
    BenchDir dir;
    const MapModel map = FilledMap(4096, kWordLayout);
    const TileSet tiles = Tiles1000();
    for (auto _ : state) {
        const Status st = SaveMapFiles(FileSystem::Native(), dir.file("big.map"), map, tiles);
        if (!st)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(MapFileSize()));
}
BENCHMARK(BM_MapSaveWord4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opens a 4096 x 4096 map saved with `layout`, `bytes` long, once a loop.
void OpenMapLoop(benchmark::State& state, const std::vector<uint8_t>& layout, size_t bytes) {
    BenchDir dir;
    SaveMapFiles(FileSystem::Native(), dir.file("big.map"), FilledMap(4096, layout), Tiles1000());
    MapModel map;
    TileSet tiles;
    bool missing = false;
    for (auto _ : state) {
        const Status st =
            OpenMapFiles(FileSystem::Native(), dir.file("big.map"), map, tiles, missing);
        if (!st)
            state.SkipWithError("open failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// Reads a file of `size` bytes into fresh memory once a loop, without parsing.
void PlainReadLoop(benchmark::State& state, size_t size) {
    BenchDir dir;
    const std::string path = dir.file("plain.bin");
    PlainWrite(path, std::vector<uint8_t>(size, 0x5A));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        ::fstat(fd, &st);
        PlainReadInto(fd, size_t(st.st_size));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

static void BM_MapOpenWord4096(benchmark::State& state) {
    OpenMapLoop(state, kWordLayout, MapFileSize());
}
BENCHMARK(BM_MapOpenWord4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same map with one byte per cell (16 MiB of cells).
static void BM_MapOpenByte4096(benchmark::State& state) {
    OpenMapLoop(state, kByteLayout, ByteMapFileSize());
}
BENCHMARK(BM_MapOpenByte4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baselines for the two above: as many bytes as the 4096 x 4096 .map holds
// (32 MiB of cells and the tile block), written and read without any parsing.
static void BM_PlainWrite32MiB(benchmark::State& state) {
    BenchDir dir;
    const std::vector<uint8_t> bytes(MapFileSize(), 0x5A);
    for (auto _ : state)
        PlainWrite(dir.file("plain.bin"), bytes);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_PlainWrite32MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_PlainRead32MiB(benchmark::State& state) {
    PlainReadLoop(state, MapFileSize());
}
BENCHMARK(BM_PlainRead32MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline of BM_MapOpenByte4096: as many bytes as that .map holds.
static void BM_PlainRead16MiB(benchmark::State& state) {
    PlainReadLoop(state, ByteMapFileSize());
}
BENCHMARK(BM_PlainRead16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The largest map there may be: 16384 x 16384 word cells (512 MiB), saved once
// for the run and removed at its end, opened once a loop; beside it the same
// file's 512 MiB of cells read into fresh memory with plain reads.
const std::string& BigMapPath() {
    static BenchDir dir;
    static const std::string path = [] {
        const std::string p = dir.file("big16384.map");
        SaveMapFiles(FileSystem::Native(), p, FilledMap(16384, kWordLayout), Tiles1000());
        return p;
    }();
    return path;
}

constexpr size_t kBigCellBytes = size_t(16384) * 16384 * 2;

static void BM_MapOpenWord16384(benchmark::State& state) {
    const std::string& path = BigMapPath();
    for (auto _ : state) {
        MapModel map;
        TileSet tiles;
        bool missing = false;
        if (!OpenMapFiles(FileSystem::Native(), path, map, tiles, missing))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(map.cells().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBigCellBytes));
}
BENCHMARK(BM_MapOpenWord16384)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

static void BM_PlainRead512MiB(benchmark::State& state) {
    const std::string& path = BigMapPath();
    for (auto _ : state) {
        PlainReadInto(::open(path.c_str(), O_RDONLY | O_CLOEXEC), kBigCellBytes);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBigCellBytes));
}
BENCHMARK(BM_PlainRead512MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A 1,000 x 1,000 map of 16 x 16 tiles: a 16,000 x 16,000 image, 256 MB.
constexpr int64_t kBitmapBytes = 1078 + 16000LL * 16000LL;

static void BM_MapBitmapExport1000(benchmark::State& state) {
    BenchDir dir;
    const MapModel map = FilledMap(1000, MapFormat::Default().items);
    const TileSet tiles = Tiles1000();
    for (auto _ : state) {
        const Status st = ExportMapBitmap(FileSystem::Native(), dir.file("map.bmp"), map, tiles);
        if (!st)
            state.SkipWithError("export failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBitmapBytes);
}
BENCHMARK(BM_MapBitmapExport1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The process's peak resident memory in MiB since the last ResetPeakMemory().
void ResetPeakMemory() {
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}
double PeakMemoryMiB() {
    double kib = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %lf", &kib) == 1)
                break;
        std::fclose(f);
    }
    return kib / 1024;
}

// The same map as an 8-bit palette PNG at the default compression. Image MB/s
// counts the 256 MB of pixels; peakMiB is the process's peak while exporting.
static void BM_ExportPng1000(benchmark::State& state) {
    BenchDir dir;
    const MapModel map = FilledMap(1000, MapFormat::Default().items);
    const TileSet tiles = Tiles1000();
    ResetPeakMemory();
    for (auto _ : state) {
        const Status st = ExportMapPng(FileSystem::Native(), dir.file("map.png"), map, tiles);
        if (!st)
            state.SkipWithError("export failed");
    }
    state.counters["peakMiB"] = PeakMemoryMiB();
    state.counters["fileMiB"] =
        double(std::filesystem::file_size(dir.file("map.png"))) / (1024 * 1024);
    state.SetBytesProcessed(int64_t(state.iterations()) * 16000LL * 16000LL);
}
BENCHMARK(BM_ExportPng1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The baseline of the PNG export: the same image's rows, composed beforehand
// with their filter bytes (type 0, as the export writes them), deflated by
// zlib at the export's level on one thread into a buffer that is thrown away.
static void BM_PlainDeflate1000(benchmark::State& state) {
    const MapModel map = FilledMap(1000, MapFormat::Default().items);
    const TileSet tiles = Tiles1000();
    MapImageRows image(map, tiles);
    const size_t stride = size_t(image.width()) + 1;
    std::vector<uint8_t> rows(stride * size_t(image.height()), 0);
    for (int64_t y = 0; y < image.height(); ++y)
        image.Compose(y, rows.data() + size_t(y) * stride + 1);
    std::vector<uint8_t> out(size_t(1) << 20);
    uint64_t compressed = 0;
    for (auto _ : state) {
        z_stream zs{};
        deflateInit(&zs, kDefaultPngCompression);
        zs.next_in = rows.data();
        zs.avail_in = uInt(rows.size());
        int rc = Z_OK;
        while (rc == Z_OK) {
            zs.next_out = out.data();
            zs.avail_out = uInt(out.size());
            rc = deflate(&zs, Z_FINISH);
        }
        compressed = zs.total_out;
        deflateEnd(&zs);
        if (rc != Z_STREAM_END)
            state.SkipWithError("deflate failed");
    }
    state.counters["fileMiB"] = double(compressed) / (1024 * 1024);
    state.SetBytesProcessed(int64_t(state.iterations()) * 16000LL * 16000LL);
}
BENCHMARK(BM_PlainDeflate1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

static void BM_PlainWriteBitmap1000(benchmark::State& state) {
    BenchDir dir;
    const std::vector<uint8_t> bytes(size_t(kBitmapBytes), 0x5A);
    for (auto _ : state)
        PlainWrite(dir.file("plain.bmp"), bytes);
    state.SetBytesProcessed(int64_t(state.iterations()) * kBitmapBytes);
}
BENCHMARK(BM_PlainWriteBitmap1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
