#pragma once

#include "doc/Document.h"
#include "mapview/CKeshView.h"
#include "tileview/CTile1View.h"
#include "tileview/TilePainter.h"
#include "widgets/CSplitterWnd.h"

// The map view and the tile set view side by side in a splitter, sharing
// one document and one TilePainter as the main window has them, without the
// rest of the window. The scroll bars are hidden so that each view's client size is
// exactly its pane's size. Shared by the widget tests and the benchmarks.
struct ViewPanes {
    ViewPanes(int mapWidth, int tileViewWidth, int height)
        : m_mapWidth(mapWidth), m_tileViewWidth(tileViewWidth), m_height(height) {
        using namespace kesh::ui;
        splitter = new CSplitterWnd;
        splitter->setHandleWidth(1);
        map = new CKeshView(doc, painter);
        tiles = new CTile1View(doc, painter);
        for (CScrollView* view :
             {static_cast<CScrollView*>(map), static_cast<CScrollView*>(tiles)}) {
            view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        splitter->CreateView(0, 0, map);
        splitter->CreateView(0, 1, tiles);
    }
    ~ViewPanes() { delete splitter; }
    ViewPanes(const ViewPanes&) = delete;
    ViewPanes& operator=(const ViewPanes&) = delete;

    // Shows the splitter with the panes at their sizes.
    void Show() {
        splitter->resize(m_mapWidth + m_tileViewWidth + splitter->handleWidth(), m_height);
        KeepSizes();
        splitter->show();
        KeepSizes();
    }
    // Sets the pane sizes again (the first layout of a window may have moved them).
    void KeepSizes() { splitter->setSizes({m_mapWidth, m_tileViewWidth}); }

    kesh::Document doc; // before the views, which show it
    kesh::ui::TilePainter painter{doc.tiles()};
    kesh::ui::CSplitterWnd* splitter = nullptr;
    kesh::ui::CKeshView* map = nullptr;
    kesh::ui::CTile1View* tiles = nullptr;

private:
    int m_mapWidth;
    int m_tileViewWidth;
    int m_height;
};
