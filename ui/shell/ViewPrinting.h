#pragma once

#include <QSize>

class QPainter;
class QPrinter;
class QWidget;

namespace kesh::ui {

// Shown when a page could not be printed (no printer, or one that refused).
inline constexpr const char* kPrintFailed = "인쇄하지 못했습니다.";

// The size, in screen pixels, of what printing `view` puts on paper: the
// whole map for the map view, the tile grid as laid out in the tile set view.
// Empty for anything else, or when there is nothing to draw.
QSize PrintExtent(QWidget* view);

// Draws that content at (0, 0) in screen pixels, through the views' own
// tile drawing.
void DrawForPrint(QPainter& dc, QWidget* view);

// The scale from screen pixels to printer pixels for content of `extent` on
// a page whose printable area is `page` (printer pixels) at `resolution` dots
// per inch: the size it has on screen, shrunk to fit the page when needed.
double PrintScale(QSize extent, QSize page, int resolution);

// Prints `view` on one page of `printer`, at the size it has on screen or
// smaller when it does not fit the page. False when the printer could not
// be started; an empty view prints an empty page.
bool PrintView(QPrinter& printer, QWidget* view);

} // namespace kesh::ui
