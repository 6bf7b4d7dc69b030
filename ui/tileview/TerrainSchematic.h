#pragma once

#include <QColor>
#include <QRect>

#include "terrain/TerrainSet.h"

class QPainter;

namespace kesh::ui {

// The colour the terrain panel gives terrain `terrain` (0..7) in its list
// and its pictures of combinations.
QColor TerrainColour(int terrain);

// Draws `label` into `box` as a picture of its terrains: a corner label as
// 2 x 2 quarters (NW NE / SW SE), a blob label as 3 x 3 (its corners,
// edges and middle), each part in its terrain's colour, with a frame.
void DrawTerrainSchematic(QPainter& dc, const QRect& box, TerrainKind kind, TerrainLabel label);

} // namespace kesh::ui
