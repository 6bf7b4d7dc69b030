#pragma once

#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

#include "mapview/ScaledTileCache.h"

class QPainter;

namespace kesh {
class MapModel;
}

namespace kesh::ui {

class TilePainter;

// Draws a block of map cells a row of cells at a time from the tiles'
// ready-made pixel rows, instead of one drawImage per cell: composed straight
// into the image the painter draws on where that is a plain 32-bit image,
// else into one strip image drawn with a single drawImage. The pixels are exactly
// those of drawing every cell by itself through TilePainter::DrawTile.
class MapStripPainter {
public:
    // Draws cells [firstCol, endCol) x [firstRow, endRow) where they meet
    // `clip` (map pixels; the painter maps them to the device). False, with
    // nothing drawn, where strips could differ from cell-by-cell drawing:
    // tiles not at their own size or smaller than 2 x 2, or a painter that
    // does more than move (and when no cell meets the clip). With `grid`,
    // the tiles come with the grid (GridLines.h) drawn in.
    bool Draw(QPainter& dc, const MapModel& map, TilePainter& tiles, const QRect& clip,
              int32_t firstCol, int32_t endCol, int32_t firstRow, int32_t endRow,
              bool grid = false);
    // The pixels Draw covers with the same arguments: the cells' block where
    // it meets `clip`; empty where it would refuse or draw nothing.
    static QRect Covered(QPainter& dc, const TilePainter& tiles, const QRect& clip,
                         int32_t firstCol, int32_t endCol, int32_t firstRow, int32_t endRow);

private:
    // The look of a cell with no tile: black with DrawTile's 2 x 2 white marker.
    const QImage& Blank(int width, int height);

    // What a cell's tile number draws: the first byte and the line length of
    // its image, looked up once a drawing (`generation`).
    struct Slot {
        uint64_t generation = 0;
        const uchar* bits = nullptr;
        qsizetype stride = 0;
    };
    // A cell with attribute bits `attr` (flips have slots of their own).
    const Slot& TileSlot(TilePainter& tiles, uint16_t value, uint16_t attr, const QImage& blank,
                         bool grid);
    // Composes pixel line `ty` of the row of cells in m_rowTiles into `out`:
    // the first cell from pixel `from`, the last up to pixel `to` (exclusive).
    void ComposeLine(int ty, int from, int to, int w, uchar* out) const;

    QImage m_strip;
    uint64_t m_generation = 0;
    static constexpr size_t kFlipSlots = 4; // a tile as drawn, and flipped three ways
    std::vector<Slot> m_slots; // by tile number x kFlipSlots + flips; the last for empty cells
    Slot m_paletteSlot;        // the last palette-shifted cell looked up
    int m_coloursPerPalette = 16;
    QImage m_blank;
    ScaledTileCache m_gridded;            // the tiles with the grid, at their own size
    std::vector<const uchar*> m_rowTiles; // per cell of the row: its image's first byte
    std::vector<qsizetype> m_rowStrides;
};

} // namespace kesh::ui
