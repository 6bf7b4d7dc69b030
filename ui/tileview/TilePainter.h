#pragma once

#include <QImage>

#include "tileset/TileSet.h"
#include "tileview/TileImageCache.h"

class QPainter;

namespace kesh::ui {

// Draws the tiles of one tile set (the document's) wherever they show: the
// tile set view, every map cell, the attribute bar's preview. The main frame
// makes one and hands it to each of them, so a tile's image is made once.
class TilePainter {
public:
    explicit TilePainter(const TileSet& tiles) : m_tiles(tiles) {}
    TilePainter(const TilePainter&) = delete;
    TilePainter& operator=(const TilePainter&) = delete;

    const TileSet& tileSet() const { return m_tiles; }
    int32_t tileWidth() const { return m_tiles.tileWidth(); }
    int32_t tileHeight() const { return m_tiles.tileHeight(); }

    // Draws tile `number` scaled to (x, y, width, height) through the display
    // colour table; a negative width or height means the tile's own. A number
    // that names no tile draws a 2 x 2 white marker in the middle instead
    // and gives 0; a drawn tile gives 1.
    int DrawTile(QPainter& dc, int number, int x, int y, int width = -1, int height = -1);
    // As DrawTile, for a map cell with attribute bits `attr`: flipped, in
    // its palette's colours (TileImageCache::CellImage).
    int DrawCell(QPainter& dc, int number, uint16_t attr, int coloursPerPalette, int x, int y,
                 int width = -1, int height = -1);
    // The image DrawTile draws for tile `number` at its own size (the tile
    // list's), or null where it draws the marker. Valid until the next call.
    const QImage* TileImage(int number) { return m_images.Image(m_tiles, number); }
    // The image DrawCell draws, as TileImage.
    const QImage* CellImage(int number, uint16_t attr, int coloursPerPalette) {
        return m_images.CellImage(m_tiles, number, attr, coloursPerPalette);
    }
    // Forgets every image made (they are also dropped by themselves when the
    // tile set's revision changes).
    void Clear() { m_images.Clear(); }
    const TileImageCache& cache() const { return m_images; }

private:
    const TileSet& m_tiles;
    TileImageCache m_images;
};

} // namespace kesh::ui
