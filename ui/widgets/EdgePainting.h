#pragma once

class QPainter;

namespace kesh::ui {

// The 3-D frame drawn around the current tile and the current map cell:
// two pixels wide, light on the top and left, dark on the bottom and right.
// The rectangle's right and bottom edges are exclusive.
void DrawRaisedEdge(QPainter& painter, int left, int top, int right, int bottom);

// A dotted rectangle drawn by inverting every other pixel of its one-pixel
// border, so that drawing it twice removes it. Right and bottom exclusive.
void DrawFocusRect(QPainter& painter, int left, int top, int right, int bottom);

} // namespace kesh::ui
