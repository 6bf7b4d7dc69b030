#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include <QListView>

#include "doc/Document.h"
#include "map/TileUsage.h"
#include "shell/CNearTilesDlg.h"
#include "tileset/NearDuplicates.h"
#include "tileview/TilePainter.h"

// "비슷한 타일 찾기" finds its list again after every merge: the pairs of
// 4,096 tiles of 16 x 16 within two pixels and the usage counts of a
// 4,096 x 4,096 map, then the rows that show are drawn. Beside it, in the
// same run, the finding alone: what the dialog adds should be small.

namespace {

// 4,096 tiles of random pixels, every eighth a copy of the one before with
// one or two pixels changed, and a map that shows them all.
struct NearTileDoc {
    kesh::Document doc;

    NearTileDoc() {
        kesh::TileSet& set = doc.tiles();
        set.format().width = 16;
        set.format().height = 16;
        set.InitTileSet();
        std::mt19937 rng(29);
        std::vector<uint8_t> pixels(256);
        for (int t = 0; t < 4096; ++t) {
            if (t % 8 == 7) {
                for (int k = 0; k <= t % 2; ++k) {
                    pixels[rng() % 256] ^= 1;
                }
            } else {
                for (uint8_t& p : pixels) {
                    p = uint8_t(rng() % 16);
                }
            }
            set.tiles().Append(pixels.data(), 0);
        }
        set.touch();
        (void)doc.map().AllocateCells(4096, 4096);
        std::vector<uint16_t>& cells = doc.map().cells();
        for (size_t i = 0; i < cells.size(); ++i) {
            cells[i] = uint16_t(i * 7 % 4096);
        }
    }
};

} // namespace

static void BM_NearTilesFind4096(benchmark::State& state) {
    NearTileDoc d;
    for (auto _ : state) {
        const auto found = kesh::NearDuplicates::Find(d.doc.tiles().tiles(), 2, 20000);
        const auto usage = kesh::TileUsage::Count(d.doc.map().cells(), d.doc.tiles().count());
        benchmark::DoNotOptimize(found.pairs.data());
        benchmark::DoNotOptimize(usage.counts.data());
    }
}
BENCHMARK(BM_NearTilesFind4096)->Unit(benchmark::kMillisecond);

static void BM_NearTilesRefresh4096(benchmark::State& state) {
    NearTileDoc d;
    kesh::ui::TilePainter painter(d.doc.tiles());
    kesh::ui::CNearTilesDlg dialog(d.doc, painter);
    dialog.resize(500, 700);
    dialog.show();
    for (auto _ : state) {
        dialog.Refresh();
        dialog.pairList()->viewport()->repaint();
    }
    state.counters["pairs"] = double(dialog.pairList()->model()->rowCount());
}
BENCHMARK(BM_NearTilesRefresh4096)->Unit(benchmark::kMillisecond);
