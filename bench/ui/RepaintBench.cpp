#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <QImage>

#include "app/CSplitterWnd.h"
#include "map/CKeshView.h"
#include "tileset/CTile1View.h"

using namespace kesh::ui;

namespace {

// Both views in a splitter reached through g_pMainSplitter, the map view's
// client area `mapSize`, the tile set view's `tileViewSize`.
struct Views {
    Views(QSize mapSize, QSize tileViewSize) {
        splitter = std::make_unique<CSplitterWnd>();
        map = new CKeshView;
        tiles = new CTile1View;
        for (QAbstractScrollArea* view :
             {static_cast<QAbstractScrollArea*>(map), static_cast<QAbstractScrollArea*>(tiles)}) {
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        splitter->CreateView(0, 0, map);
        splitter->CreateView(0, 1, tiles);
        g_pMainSplitter = splitter.get();
        const int height = std::max(mapSize.height(), tileViewSize.height());
        splitter->resize(mapSize.width() + tileViewSize.width() + splitter->handleWidth(), height);
        splitter->show();
        splitter->setSizes({mapSize.width(), tileViewSize.width()});
        map->resize(mapSize);
        tiles->resize(tileViewSize);
    }

    // `count` tiles of `side` x `side`, each with its own pattern of the
    // default colours (entries 0-127, the ones a new tile set fills in).
    void MakeTiles(int side, int count) {
        kesh::TileSet& set = tiles->tileSet();
        set.format().width = side;
        set.format().height = side;
        set.InitTileSet();
        std::vector<uint8_t> pixels(size_t(side) * size_t(side));
        for (int t = 0; t < count; ++t) {
            for (size_t p = 0; p < pixels.size(); ++p) {
                pixels[p] = uint8_t((t * 7 + p / size_t(side) + (p % size_t(side)) / 4) % 128);
            }
            set.tiles().Append(pixels.data(), uint32_t(t));
        }
        set.touch();
    }

    // A 4,096 x 4,096 map of pseudo-random tiles with some empty cells,
    // scrolled to its middle.
    void MakeMap(int tileCount) {
        kesh::MapModel& model = map->map();
        model.AllocateCells(4096, 4096);
        uint32_t seed = 12345;
        for (uint16_t& cell : model.cells()) {
            seed = seed * 1664525u + 1013904223u;
            const uint32_t r = seed >> 8;
            cell = r % 16 == 0 ? kesh::kEmptyCell : uint16_t(r % uint32_t(tileCount));
        }
        map->ScrollToPosition({map->pixelWidth() / 2, map->pixelHeight() / 2});
    }

    // False when the view did not get its size or drew mostly background.
    static bool Drawn(QAbstractScrollArea* view, QSize size) {
        if (view->viewport()->size() != size) {
            return false;
        }
        QImage image(size, QImage::Format_RGB32);
        view->viewport()->render(&image);
        int64_t lit = 0;
        for (int y = 0; y < image.height(); y += 7) {
            for (int x = 0; x < image.width(); x += 7) {
                lit += image.pixel(x, y) != qRgb(0, 0, 0) ? 1 : 0;
            }
        }
        return lit * 2 > int64_t(image.width() / 7) * (image.height() / 7);
    }

    std::unique_ptr<CSplitterWnd> splitter;
    CKeshView* map = nullptr;
    CTile1View* tiles = nullptr;
};

void RepaintMap(benchmark::State& state, int side) {
    Views views({1920, 1080}, {200, 1080});
    views.MakeTiles(side, 256);
    views.MakeMap(256);
    if (!Views::Drawn(views.map, {1920, 1080})) {
        state.SkipWithError("the map view did not draw its tiles");
        return;
    }
    QImage target(views.map->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        views.map->viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["cells"] = double((1920 / side + 2) * (1080 / side + 2));
}

void BM_MapRepaint1080p16(benchmark::State& state) {
    RepaintMap(state, 16);
}
void BM_MapRepaint1080p8(benchmark::State& state) {
    RepaintMap(state, 8);
}

// Every one of the 3,150 tiles of 32 x 32 the tile set can hold, in a view
// 60 tiles wide and 53 rows high.
void BM_TileViewRepaint(benchmark::State& state) {
    Views views({200, 1696}, {1920, 1696});
    views.MakeTiles(32, 3150);
    if (views.tiles->GetTileCount() != 3150) {
        state.SkipWithError("the tile set did not take 3,150 tiles");
        return;
    }
    if (!Views::Drawn(views.tiles, {1920, 1696})) {
        state.SkipWithError("the tile set view did not draw its tiles");
        return;
    }
    QImage target(views.tiles->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        views.tiles->viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

} // namespace

BENCHMARK(BM_MapRepaint1080p16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080p8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileViewRepaint)->Unit(benchmark::kMillisecond);
