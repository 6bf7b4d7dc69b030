#pragma once

#include <cstdint>

#include <QString>

class QPainter;

namespace kesh::ui {

// "사용 횟수 보기" on the tile set view: each tile carries the number of
// cells that show it in its bottom-right corner; a tile no cell shows is
// dimmed and gets a red corner at its top right.
namespace usage {

// The figure drawn on a tile: "7", "9999", "12k", "16M".
QString Figure(uint64_t count);
// Draws the mark of a tile shown at (x, y), `width` x `height` on screen,
// that `count` cells show.
void Paint(QPainter& dc, int x, int y, int width, int height, uint64_t count);
// The colour of an unused tile's corner, for the tests.
inline constexpr unsigned kUnusedCorner = 0xFFE00000u;

} // namespace usage

} // namespace kesh::ui
