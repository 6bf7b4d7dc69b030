#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <QImage>

namespace kesh {
class TileSet;
}

namespace kesh::ui {

class TilePainter;

// The tiles of the tile set view at the size a zoomed map shows its cells:
// each pixel is the average colour of the tile pixels it covers (or, when
// enlarging, the one it lies in), so a map zoomed far out still shows the
// colours of its tiles. A cell of one pixel needs only the tile's average
// colour. Everything is made on first use and dropped when the tile set's
// revision or the cell size changes. At the tile's own size the images are
// the tiles' own pixels (with the grid drawn in, the one use of that size). Numbers that name no
// tile get the empty cell's look, black with the white marker in the middle, scaled the same way.
class ScaledTileCache {
public:
    // Readies the cache for cells of `width` x `height` of `tiles`' set, with
    // the grid (GridLines.h) drawn into the images when `grid` is set.
    // Cells with attribute bits take their palettes' colours `coloursPerPalette` apart.
    void Sync(TilePainter& tiles, int width, int height, bool grid = false,
              int coloursPerPalette = 16);

    // The image of `value` (a cell's value) at the cell size. Valid until the
    // next Sync.
    const QImage& Image(TilePainter& tiles, uint16_t value);
    // The image of a cell with tile `value` and attribute bits `attr`
    // (flipped, in its palette's colours: TilePainter::CellImage).
    const QImage& Image(TilePainter& tiles, uint16_t value, uint16_t attr);
    // The average colour of `value`, for cells of one pixel.
    QRgb Colour(TilePainter& tiles, uint16_t value) {
        const QRgb known = m_colours[value];
        return known != 0 ? known : MakeColour(tiles, value);
    }
    // The average colour of a cell with attribute bits `attr`: flips keep
    // the colour, a palette number changes it.
    QRgb Colour(TilePainter& tiles, uint16_t value, uint16_t attr);

    // Shrinks or enlarges `source` (RGB32) to width x height as above.
    static QImage Scale(const QImage& source, int width, int height);

private:
    size_t Slot(uint16_t value) const;
    QRgb MakeColour(TilePainter& tiles, uint16_t value);
    QImage Source(TilePainter& tiles, size_t slot, uint16_t attr = 0) const;
    static uint32_t Key(size_t slot, uint16_t attr) { return uint32_t(slot) << 16 | attr; }

    const TileSet* m_owner = nullptr;
    uint64_t m_revision = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_grid = false;
    std::vector<QImage> m_images; // by tile number; the last one for empty cells
    std::vector<QRgb> m_colours;  // by cell value; 0 (transparent) while not made yet
    int m_coloursPerPalette = 16;
    std::unordered_map<uint32_t, QImage> m_cellImages; // by Key(): cells with attribute bits
    std::unordered_map<uint32_t, QRgb> m_cellColours;
};

} // namespace kesh::ui
