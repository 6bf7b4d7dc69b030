#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QTest>

#include "app/CSplitterWnd.h"
#include "map/CKeshView.h"
#include "tileset/CTile1View.h"
#include "tileset/CTileInfoBar.h"

// The two views side by side in a splitter reached through g_pMainSplitter,
// with a tile attribute bar, but without the rest of the main window. The
// scroll bars are hidden so the views' client sizes are exactly as given.
struct ViewHarness {
    ViewHarness(int mapWidth, int tileViewWidth, int height) {
        using namespace kesh::ui;
        splitter = new CSplitterWnd;
        splitter->setHandleWidth(1);
        map = new CKeshView;
        tiles = new CTile1View;
        for (QAbstractScrollArea* view :
             {static_cast<QAbstractScrollArea*>(map), static_cast<QAbstractScrollArea*>(tiles)}) {
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        splitter->CreateView(0, 0, map);
        splitter->CreateView(0, 1, tiles);
        g_pMainSplitter = splitter;
        bar = new CTileInfoBar;
        g_wndTileInfoBar = bar;
        splitter->resize(mapWidth + tileViewWidth + splitter->handleWidth(), height);
        splitter->setSizes({mapWidth, tileViewWidth});
        splitter->show();
        exposed = QTest::qWaitForWindowExposed(splitter);
        splitter->setSizes({mapWidth, tileViewWidth});
    }
    ~ViewHarness() {
        delete bar;
        delete splitter;
    }

    // Appends `count` tiles; tile i is filled with palette index first + i.
    void AddTiles(int count, uint8_t first = 1, uint32_t attribute = 0) {
        kesh::TileSet& set = tiles->tileSet();
        std::vector<uint8_t> pixels(size_t(set.tileWidth()) * size_t(set.tileHeight()));
        for (int i = 0; i < count; ++i) {
            std::fill(pixels.begin(), pixels.end(), uint8_t(first + i));
            set.tiles().Append(pixels.data(), attribute);
        }
        set.touch();
    }

    static QImage Grab(QAbstractScrollArea* view) {
        return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRgb Colour(uint8_t index) const { return tiles->tileSet().argbOf(index); }

    kesh::ui::CSplitterWnd* splitter = nullptr;
    kesh::ui::CKeshView* map = nullptr;
    kesh::ui::CTile1View* tiles = nullptr;
    kesh::ui::CTileInfoBar* bar = nullptr;
    bool exposed = false;
};
