#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QTest>

#include "ViewPanes.h"
#include "shell/FrameCommands.h"
#include "tileview/CTileInfoBar.h"

// The two views in their splitter (ViewPanes), with a tile attribute bar on
// the same document, shown and exposed.
struct ViewHarness : ViewPanes {
    ViewHarness(int mapWidth, int tileViewWidth, int height)
        : ViewPanes(mapWidth, tileViewWidth, height) {
        bar = new kesh::ui::CTileInfoBar(doc, painter);
        // The Delete key's question and deletion, as the main frame wires them.
        QObject::connect(tiles, &kesh::ui::CTile1View::deleteRequested,
                         [this] { commands.OnTileDelete(); });
        Show();
        exposed = QTest::qWaitForWindowExposed(splitter);
        KeepSizes();
    }
    ~ViewHarness() { delete bar; }

    // Appends `count` tiles; tile i is filled with palette index first + i.
    void AddTiles(int count, uint8_t first = 1, uint32_t attribute = 0) {
        kesh::TileSet& set = doc.tiles();
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

    kesh::ui::CTileInfoBar* bar = nullptr;
    kesh::ui::FrameCommands commands{doc, {}};
    bool exposed = false;
};
