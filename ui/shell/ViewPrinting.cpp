#include "shell/ViewPrinting.h"

#include <algorithm>

#include <QPainter>
#include <QPrinter>

#include "mapview/CKeshView.h"
#include "tileview/CTile1View.h"

namespace kesh::ui {

namespace {

// Screen pixels per inch that the printed size is measured in.
constexpr double kScreenDpi = 96.0;

} // namespace

QSize PrintExtent(QWidget* view) {
    if (auto* map = qobject_cast<CKeshView*>(view)) {
        if (!map->map().hasCells()) {
            return {};
        }
        // Printed at 1x whatever the view's zoom.
        return map->ActualPixelSize();
    }
    if (auto* tiles = qobject_cast<CTile1View*>(view)) {
        const CTile1View::ActualSizeLayout actual(*tiles);
        return {tiles->tilesPerRow() * tiles->tileWidth(), tiles->scrollHeight()};
    }
    return {};
}

void DrawForPrint(QPainter& dc, QWidget* view) {
    if (auto* tiles = qobject_cast<CTile1View*>(view)) {
        const CTile1View::ActualSizeLayout actual(*tiles);
        const QSize extent = PrintExtent(view);
        if (!extent.isEmpty()) {
            tiles->OnDraw(dc, QRect(QPoint(0, 0), extent));
        }
        return;
    }
    auto* map = qobject_cast<CKeshView*>(view);
    if (!map || PrintExtent(view).isEmpty()) {
        return;
    }
    // Every cell, not only those the window shows.
    const MapModel& model = map->map();
    TilePainter& tiles = map->tilePainter();
    const int w = tiles.tileWidth();
    const int h = tiles.tileHeight();
    for (int32_t row = 0; row < model.height(); ++row) {
        for (int32_t col = 0; col < model.width(); ++col) {
            const size_t index = size_t(row) * size_t(model.width()) + size_t(col);
            const uint16_t value = model.cells()[index];
            tiles.DrawCell(dc, value == kEmptyCell ? -1 : value, model.attrAt(index),
                           model.format().cells.coloursPerPalette, col * w, row * h);
        }
    }
}

double PrintScale(QSize extent, QSize page, int resolution) {
    if (extent.isEmpty()) {
        return resolution / kScreenDpi;
    }
    return std::min({resolution / kScreenDpi, double(page.width()) / extent.width(),
                     double(page.height()) / extent.height()});
}

bool PrintView(QPrinter& printer, QWidget* view) {
    QPainter dc;
    if (!dc.begin(&printer)) {
        return false;
    }
    const QSize extent = PrintExtent(view);
    if (extent.isEmpty()) {
        return true;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = PrintScale(extent, page.size(), printer.resolution());
    dc.scale(scale, scale);
    DrawForPrint(dc, view);
    return dc.end();
}

} // namespace kesh::ui
