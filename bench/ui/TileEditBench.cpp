#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <QImage>

#include "ViewPanes.h"
#include "edit/Zoom.h"

// One pixel of a tile changed until the 1080p map view that shows it is
// drawn again: the pencil's request (a pixel stroke, closed) and the map
// view's whole redraw into an image, as the screen would get it.

namespace {

// A 1920 x 1080 map view filled with tile 0 of `side` x `side` pixels at
// zoom `step`: every cell on screen shows the tile that changes.
struct OneTileView : ViewPanes {
    OneTileView(int side, int step) : ViewPanes(1920, 200, 1080) {
        Show();
        kesh::TileSet& set = doc.tiles();
        set.format().width = side;
        set.format().height = side;
        set.InitTileSet();
        std::vector<uint8_t> pixels(size_t(side) * size_t(side));
        for (size_t p = 0; p < pixels.size(); ++p)
            pixels[p] = uint8_t(p % 64);
        set.tiles().Append(pixels.data(), 0);
        set.touch();
        map->SetZoom(step);
        const int cell = kesh::ZoomedSize(side, step);
        (void)doc.map().AllocateCells(1920 / cell + 2, 1080 / cell + 2);
        std::fill(doc.map().cells().begin(), doc.map().cells().end(), uint16_t(0));
        doc.ResetHistory();
        KeepSizes();
    }
};

// With `edit` false only the redraw, the same view unchanged: what the
// edit itself adds is the difference.
void EditAndRepaint(benchmark::State& state, int side, int step, bool edit = true) {
    OneTileView view(side, step);
    QImage target(view.map->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    if (target.size() != QSize(1920, 1080)) {
        state.SkipWithError("the map view did not get its size");
        return;
    }
    uint8_t value = 100;
    for (auto _ : state) {
        if (edit) {
            view.doc.PaintTilePixels(0, {{side / 2, side / 2}}, value);
            view.doc.EndStroke();
        }
        view.map->viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
        value = value == 100 ? 101 : 100;
    }
    state.counters["cells"] = double(view.doc.map().cellCount());
}

// A map of 16 x 16 tiles at 1x: 122 x 69 cells, every one redrawn.
void BM_TileEditRepaint(benchmark::State& state) {
    EditAndRepaint(state, 16, kesh::kZoomActual);
}

// One 32 x 32 tile at 8x: a handful of cells, each 256 pixels wide.
void BM_TileEditRepaintZoom8(benchmark::State& state) {
    EditAndRepaint(state, 32, kesh::kZoomSteps - 1);
}

// Baselines in the same run: the two views redrawn without an edit, and
// filling a 1080p image once, the least a redraw
// of the whole view can cost.
void BM_RepaintOnly(benchmark::State& state) {
    EditAndRepaint(state, 16, kesh::kZoomActual, false);
}

void BM_RepaintOnlyZoom8(benchmark::State& state) {
    EditAndRepaint(state, 32, kesh::kZoomSteps - 1, false);
}

void BM_PlainFill1080p(benchmark::State& state) {
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    uint32_t colour = 0xff102030;
    for (auto _ : state) {
        target.fill(colour);
        benchmark::DoNotOptimize(target.constBits());
        colour ^= 0x00010101;
    }
}

} // namespace

BENCHMARK(BM_TileEditRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileEditRepaintZoom8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintOnlyZoom8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFill1080p)->Unit(benchmark::kMillisecond);
