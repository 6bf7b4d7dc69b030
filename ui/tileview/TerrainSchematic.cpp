#include "tileview/TerrainSchematic.h"

#include <array>

#include <QPainter>

namespace kesh::ui {

QColor TerrainColour(int terrain) {
    // Far apart in hue, and dark enough to tell from the panel's background.
    static constexpr std::array<QRgb, kMaxTerrains> kColours = {
        0x2f6fd6, 0x3aa33a, 0xc9a227, 0xb8452f, 0x8a4fc2, 0x2aa5a5, 0x7a7a7a, 0xd66fb0};
    return QColor::fromRgb(kColours[size_t(terrain & (kMaxTerrains - 1))]);
}

void DrawTerrainSchematic(QPainter& dc, const QRect& box, TerrainKind kind, TerrainLabel label) {
    const int parts = kind == TerrainKind::Corner ? 2 : 3;
    // Label positions of the parts, row by row.
    static constexpr int kCorner[2][2] = {{0, 1}, {3, 2}};
    static constexpr int kBlob[3][3] = {{7, 0, 1}, {6, 8, 2}, {5, 4, 3}};
    for (int row = 0; row < parts; ++row) {
        for (int col = 0; col < parts; ++col) {
            const int pos = parts == 2 ? kCorner[row][col] : kBlob[row][col];
            const int x0 = box.left() + box.width() * col / parts;
            const int x1 = box.left() + box.width() * (col + 1) / parts;
            const int y0 = box.top() + box.height() * row / parts;
            const int y1 = box.top() + box.height() * (row + 1) / parts;
            dc.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), TerrainColour(TerrainAt(label, pos)));
        }
    }
    dc.setPen(Qt::black);
    dc.drawRect(box.adjusted(0, 0, -1, -1));
}

} // namespace kesh::ui
