#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <QImage>
#include <QPainter>

#include "ViewPanes.h"

namespace {

// Both views in their splitter, the map view's client area `mapWidth` x
// `height`, the tile set view's `tileViewWidth` x `height`.
struct Views : ViewPanes {
    Views(int mapWidth, int tileViewWidth, int height)
        : ViewPanes(mapWidth, tileViewWidth, height) {
        Show();
    }

    // `count` tiles of `side` x `side`, each with its own pattern of the
    // default colours (entries 0-127, the ones a new tile set fills in).
    void MakeTiles(int side, int count) {
        kesh::TileSet& set = doc.tiles();
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
        kesh::MapModel& model = doc.map();
        model.AllocateCells(4096, 4096);
        uint32_t seed = 12345;
        for (uint16_t& cell : model.cells()) {
            seed = seed * 1664525u + 1013904223u;
            const uint32_t r = seed >> 8;
            cell = r % 16 == 0 ? kesh::kEmptyCell : uint16_t(r % uint32_t(tileCount));
        }
        map->ScrollToPosition({map->pixelWidth() / 2, map->pixelHeight() / 2});
    }

    // Gives the map the SNES cell layout and flips every other cell one of
    // the three ways, after MakeMap.
    void FlipHalf() {
        kesh::MapModel& model = doc.map();
        bool plane = false;
        model.format().items = {kesh::MapItem::SizeWord, kesh::MapItem::TileFile,
                                kesh::MapItem::CellFields};
        model.format().cells = *kesh::CellPresetLayout("snes", plane);
        (void)model.MatchAttrs();
        uint32_t seed = 777;
        for (size_t i = 0; i < model.attrs().size(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            model.attrs()[i] = i % 2 == 0 ? uint16_t(1 + (seed >> 8) % 3) : uint16_t(0);
        }
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
};

// Repaints the whole of `view` into an image of its size, once a loop; first
// checks that it draws at `size`, else reports `failure`.
void RepaintLoop(benchmark::State& state, QAbstractScrollArea* view, QSize size,
                 const char* failure) {
    if (!Views::Drawn(view, size)) {
        state.SkipWithError(failure);
        return;
    }
    QImage target(view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view->viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

// At zoom step `zoom` (map/Zoom.h), with or without the grid.
void RepaintMap(benchmark::State& state, int side, int zoom = kesh::kZoomActual, bool grid = false,
                bool flipHalf = false) {
    Views views(1920, 200, 1080);
    views.MakeTiles(side, 256);
    views.map->SetZoom(zoom);
    views.map->SetGrid(grid);
    views.MakeMap(256);
    if (flipHalf) {
        views.FlipHalf();
    }
    RepaintLoop(state, views.map, {1920, 1080}, "the map view did not draw its tiles");
    const int cell = views.map->cellWidth();
    state.counters["cells"] = double((1920 / cell + 2) * (1080 / cell + 2));
}

// Baselines in the same run. The way the map view drew before it composed
// strips: one DrawTile (a drawImage) per cell after filling the area black.
void CellByCell(benchmark::State& state, int side) {
    Views views(1920, 200, 1080);
    views.MakeTiles(side, 256);
    views.MakeMap(256);
    QImage target(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    const QPoint scroll = views.map->GetScrollPosition();
    const kesh::MapModel& model = views.map->map();
    for (auto _ : state) {
        QPainter dc(&target);
        dc.fillRect(target.rect(), Qt::black);
        dc.translate(-scroll);
        for (int row = scroll.y() / side; row <= (scroll.y() + 1079) / side; ++row) {
            for (int col = scroll.x() / side; col <= (scroll.x() + 1919) / side; ++col) {
                const uint16_t value = model.cellAt(col, row);
                views.tiles->DrawTile(dc, value == kesh::kEmptyCell ? -1 : value, col * side,
                                      row * side);
            }
        }
        dc.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

// The plain floor: the frame composed in plain C from tile rows already in
// display colours, no painter at all.
void PlainCompose(benchmark::State& state, int side) {
    std::vector<uint32_t> tiles(size_t(256) * size_t(side) * size_t(side));
    for (size_t i = 0; i < tiles.size(); ++i) {
        tiles[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    }
    std::vector<uint16_t> cells(size_t(4096) * 4096);
    uint32_t seed = 12345;
    for (uint16_t& cell : cells) {
        seed = seed * 1664525u + 1013904223u;
        cell = uint16_t((seed >> 8) % 256);
    }
    std::vector<uint32_t> frame(size_t(1920) * 1080);
    const int firstCol = 2048 - 1920 / side / 2;
    const int firstRow = 2048 - 1080 / side / 2;
    for (auto _ : state) {
        for (int y = 0; y < 1080; ++y) {
            const uint16_t* line = cells.data() + size_t(firstRow + y / side) * 4096 + firstCol;
            uint32_t* out = frame.data() + size_t(y) * 1920;
            const size_t offset = size_t(y % side) * size_t(side);
            for (int c = 0; c < 1920 / side; ++c, out += side) {
                std::memcpy(out, tiles.data() + size_t(line[c]) * size_t(side * side) + offset,
                            size_t(side) * 4);
            }
        }
        benchmark::DoNotOptimize(frame.data());
    }
}

// The plain floor of a map zoomed out to a pixel a cell: one colour looked up
// per cell of a 1920 x 1080 block, no painter at all.
void BM_PlainColour1080p(benchmark::State& state) {
    std::vector<uint32_t> colours(256);
    for (size_t i = 0; i < colours.size(); ++i) {
        colours[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    }
    std::vector<uint16_t> cells(size_t(4096) * 4096);
    uint32_t seed = 12345;
    for (uint16_t& cell : cells) {
        seed = seed * 1664525u + 1013904223u;
        cell = uint16_t((seed >> 8) % 256);
    }
    std::vector<uint32_t> frame(size_t(1920) * 1080);
    for (auto _ : state) {
        for (int y = 0; y < 1080; ++y) {
            const uint16_t* line = cells.data() + size_t(1500 + y) * 4096 + 1000;
            uint32_t* out = frame.data() + size_t(y) * 1920;
            for (int x = 0; x < 1920; ++x) {
                out[x] = colours[line[x]];
            }
        }
        benchmark::DoNotOptimize(frame.data());
    }
}

void BM_CellByCell1080p16(benchmark::State& state) {
    CellByCell(state, 16);
}
void BM_CellByCell1080p8(benchmark::State& state) {
    CellByCell(state, 8);
}
void BM_PlainCompose1080p16(benchmark::State& state) {
    PlainCompose(state, 16);
}
void BM_PlainCompose1080p8(benchmark::State& state) {
    PlainCompose(state, 8);
}

void BM_MapRepaint1080p16(benchmark::State& state) {
    RepaintMap(state, 16);
}
// As BM_MapRepaint1080p16 with half the cells flipped (SNES cell layout).
void BM_MapRepaint1080p16Flipped(benchmark::State& state) {
    RepaintMap(state, 16, kesh::kZoomActual, false, true);
}
void BM_MapRepaint1080p8(benchmark::State& state) {
    RepaintMap(state, 8);
}
// The two above with the grid drawn over the cells.
void BM_MapRepaint1080p16Grid(benchmark::State& state) {
    RepaintMap(state, 16, kesh::kZoomActual, true);
}
void BM_MapRepaint1080p8Grid(benchmark::State& state) {
    RepaintMap(state, 8, kesh::kZoomActual, true);
}
// Tiles of 8 x 8 at 1/8: every cell on screen is one pixel, about two
// million of them.
void BM_MapRepaint1080pZoom1_8(benchmark::State& state) {
    RepaintMap(state, 8, 0);
}
// Tiles of 16 x 16 at 4x: cells of 64 x 64.
void BM_MapRepaint1080pZoom4(benchmark::State& state) {
    RepaintMap(state, 16, kesh::kZoomActual + 3);
}

// Every one of the 3,150 tiles of 32 x 32 the tile set can hold, in a view
// 60 tiles wide and 53 rows high.
void BM_TileViewRepaint(benchmark::State& state) {
    Views views(200, 1920, 1696);
    views.MakeTiles(32, 3150);
    if (views.tiles->GetTileCount() != 3150) {
        state.SkipWithError("the tile set did not take 3,150 tiles");
        return;
    }
    RepaintLoop(state, views.tiles, {1920, 1696}, "the tile set view did not draw its tiles");
}

} // namespace

BENCHMARK(BM_MapRepaint1080p16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080p16Flipped)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080p8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080p16Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080p8Grid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080pZoom1_8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRepaint1080pZoom4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TileViewRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellByCell1080p16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellByCell1080p8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCompose1080p16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCompose1080p8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainColour1080p)->Unit(benchmark::kMillisecond);
