#pragma once

#include <cstdint>

#include "raster/ImageDecoders.h"
#include "terrain/TerrainTemplate.h"

// Tile sheets laid out as a terrain template, drawn from each tile's label:
// a corner tile in quarters, a blob tile in thirds (its corners, edges and
// middle), each part in colour index 1 + its terrain. So drawn, a tile
// flipped is the tile of the flipped label. With `marked`, each tile also
// gets a pixel of its own at its top left, so that no tile is another
// flipped.
namespace terrainsheets {

inline int PositionAt(kesh::TerrainKind kind, int x, int y, int side) {
    if (kind == kesh::TerrainKind::Corner) {
        const bool right = x >= side / 2, bottom = y >= side / 2;
        return bottom ? (right ? 2 : 3) : (right ? 1 : 0);
    }
    // Thirds, row by row: NW N NE / W middle E / SW S SE.
    static constexpr int kPos[3][3] = {{7, 0, 1}, {6, 8, 2}, {5, 4, 3}};
    return kPos[y * 3 / side][x * 3 / side];
}

inline kesh::Image Sheet(kesh::TerrainTemplate which, int side, bool marked) {
    const kesh::TemplateLayout layout = kesh::LayoutOf(which);
    kesh::Image image;
    image.m_width = layout.columns * side;
    image.m_height = layout.rows * side;
    image.m_pixelCount = image.m_width * image.m_height;
    image.m_kind = kesh::PixelKind::Indexed;
    image.m_pixels.assign(size_t(image.m_pixelCount), 0);
    for (int y = 0; y < image.m_height; ++y)
        for (int x = 0; x < image.m_width; ++x) {
            const size_t slot = size_t((y / side) * layout.columns + x / side);
            const int tx = x % side, ty = y % side;
            uint8_t value = uint8_t(
                1 + kesh::TerrainAt(layout.labels[slot], PositionAt(layout.kind, tx, ty, side)));
            if (marked && tx == 0 && ty == 0)
                value = uint8_t(10 + slot);
            image.m_pixels[size_t(y) * size_t(image.m_width) + size_t(x)] = value;
        }
    return image;
}

} // namespace terrainsheets
