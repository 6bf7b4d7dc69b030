#include "mapview/MapStripPainter.h"

#include <algorithm>
#include <cstring>

#include <QPainter>

#include "layout/CellFields.h"
#include "map/CellPixels.h"
#include "map/MapModel.h"
#include "mapview/PaintTarget.h"
#include "tileview/TilePainter.h"

namespace kesh::ui {

const QImage& MapStripPainter::Blank(int width, int height) {
    if (m_blank.width() != width || m_blank.height() != height) {
        m_blank = QImage(width, height, QImage::Format_RGB32);
        m_blank.fill(Qt::black);
        // As DrawTile marks a cell without a tile.
        const QRgb white = qRgb(255, 255, 255);
        for (int y = height / 2 - 1; y <= height / 2; ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_blank.scanLine(y));
            line[width / 2 - 1] = white;
            line[width / 2] = white;
        }
    }
    return m_blank;
}

namespace {

// Copies `Width` pixels; a width known at compile time makes it a few moves.
template <int Width> void CopyTileLine(uchar* out, const uchar* in) {
    std::memcpy(out, in, size_t(Width) * sizeof(QRgb));
}

template <int Width>
uchar* CopyWholeTiles(uchar* out, const uchar* const* tiles, const qsizetype* strides, size_t n,
                      int ty) {
    for (size_t i = 0; i < n; ++i, out += Width * int(sizeof(QRgb))) {
        CopyTileLine<Width>(out, tiles[i] + ty * strides[i]);
    }
    return out;
}

} // namespace

const MapStripPainter::Slot& MapStripPainter::TileSlot(TilePainter& tiles, uint16_t value,
                                                       uint16_t attr, const QImage& blank,
                                                       bool grid) {
    // Numbers past the set's tiles and empty cells share the last slot: the
    // marker (an empty cell even when the set has a tile 65535), never flipped.
    const size_t tileSlots = m_slots.size() / kFlipSlots;
    const size_t index =
        value == kEmptyCell ? tileSlots - 1 : std::min<size_t>(value, tileSlots - 1);
    attr = index + 1 < tileSlots ? DrawnAttr(attr) : 0;
    if ((attr & cellbit::kPaletteMask) != 0) {
        // A palette-shifted cell: looked up each time, not kept in a slot.
        const QImage* image = grid ? &m_gridded.Image(tiles, value, attr)
                                   : tiles.CellImage(value, attr, m_coloursPerPalette);
        m_paletteSlot = {m_generation, image->constBits(), image->bytesPerLine()};
        return m_paletteSlot;
    }
    Slot& slot = m_slots[index * kFlipSlots + (attr & cellbit::kFlips)];
    if (slot.generation != m_generation) {
        const QImage* image = nullptr;
        if (grid) {
            // The tile with the grid drawn in.
            image = &m_gridded.Image(tiles, value, attr);
        } else {
            image =
                index + 1 < tileSlots ? tiles.CellImage(value, attr, m_coloursPerPalette) : nullptr;
            if (!image || image->isNull()) {
                image = &blank;
            }
        }
        slot = {m_generation, image->constBits(), image->bytesPerLine()};
    }
    return slot;
}

void MapStripPainter::ComposeLine(int ty, int from, int to, int w, uchar* out) const {
    const size_t n = m_rowTiles.size();
    const uchar* const* tiles = m_rowTiles.data();
    const qsizetype* strides = m_rowStrides.data();
    constexpr int kPixel = int(sizeof(QRgb));
    // The first and last cells may be cut by the clip; those between are whole.
    if (n == 1) {
        std::memcpy(out, tiles[0] + ty * strides[0] + from * kPixel, size_t(to - from) * kPixel);
        return;
    }
    std::memcpy(out, tiles[0] + ty * strides[0] + from * kPixel, size_t(w - from) * kPixel);
    out += (w - from) * kPixel;
    switch (w) {
    case 8:
        out = CopyWholeTiles<8>(out, tiles + 1, strides + 1, n - 2, ty);
        break;
    case 16:
        out = CopyWholeTiles<16>(out, tiles + 1, strides + 1, n - 2, ty);
        break;
    case 32:
        out = CopyWholeTiles<32>(out, tiles + 1, strides + 1, n - 2, ty);
        break;
    default:
        for (size_t i = 1; i + 1 < n; ++i, out += w * kPixel) {
            std::memcpy(out, tiles[i] + ty * strides[i], size_t(w) * kPixel);
        }
        break;
    }
    std::memcpy(out, tiles[n - 1] + ty * strides[n - 1], size_t(to) * kPixel);
}

QRect MapStripPainter::Covered(QPainter& dc, const TilePainter& tiles, const QRect& clip,
                               int32_t firstCol, int32_t endCol, int32_t firstRow, int32_t endRow) {
    const int w = tiles.tileWidth();
    const int h = tiles.tileHeight();
    const TileList& list = tiles.tileSet().tiles();
    const QPaintDevice* device = dc.device();
    if (w < 2 || h < 2 || int64_t(list.width()) != w || int64_t(list.height()) != h ||
        dc.transform().type() > QTransform::TxTranslate || !device ||
        device->devicePixelRatio() != 1.0 || firstCol >= endCol || firstRow >= endRow) {
        return {};
    }
    return clip.intersected(
        QRect(firstCol * w, firstRow * h, (endCol - firstCol) * w, (endRow - firstRow) * h));
}

bool MapStripPainter::Draw(QPainter& dc, const MapModel& map, TilePainter& tiles, const QRect& clip,
                           int32_t firstCol, int32_t endCol, int32_t firstRow, int32_t endRow,
                           bool grid) {
    const QRect area = Covered(dc, tiles, clip, firstCol, endCol, firstRow, endRow);
    if (area.isEmpty()) {
        return false; // cell by cell, which draws nothing when no cell meets the clip
    }
    const int w = tiles.tileWidth();
    const int h = tiles.tileHeight();
    const TileList& list = tiles.tileSet().tiles();
    const int32_t colFrom = area.left() / w;
    const int32_t colTo = area.right() / w + 1;
    const QImage& blank = Blank(w, h);
    m_rowTiles.resize(size_t(colTo - colFrom));
    m_rowStrides.resize(m_rowTiles.size());
    // The first and last cells may be cut by the clip.
    const int cutLeft = area.left() - colFrom * w;
    const int cutRight = colTo * w - 1 - area.right();

    qsizetype directStride = 0;
    QPoint offset;
    uchar* const direct = DirectTarget(dc, area, directStride, offset);
    // Opaque pixels have the same bits in either format; drawn in the
    // target's own format and copied over it, the strip costs one copy.
    const QImage::Format format = OpaqueCopyFormat(dc);
    if (!direct &&
        (m_strip.width() != area.width() || m_strip.height() < h || m_strip.format() != format)) {
        m_strip = QImage(area.width(), h, format);
    }
    ++m_generation;
    m_slots.resize((size_t(list.count()) + 1) * kFlipSlots);
    m_coloursPerPalette = map.format().cells.coloursPerPalette;
    if (grid) {
        m_gridded.Sync(tiles, w, h, true, m_coloursPerPalette);
    }
    for (int32_t row = area.top() / h; row <= area.bottom() / h; ++row) {
        const uint16_t* cells = map.cells().data() + size_t(row) * size_t(map.width());
        const uint16_t* attrs =
            map.hasAttrs() ? map.attrs().data() + size_t(row) * size_t(map.width()) : nullptr;
        for (int32_t col = colFrom; col < colTo; ++col) {
            const Slot& tile =
                TileSlot(tiles, cells[col], attrs ? attrs[col] : uint16_t(0), blank, grid);
            m_rowTiles[size_t(col - colFrom)] = tile.bits;
            m_rowStrides[size_t(col - colFrom)] = tile.stride;
        }
        const int top = std::max(row * h, area.top());
        const int bottom = std::min(row * h + h - 1, area.bottom());
        if (direct) {
            uchar* line = direct + qsizetype(top + offset.y()) * directStride +
                          qsizetype(area.left() + offset.x()) * qsizetype(sizeof(QRgb));
            for (int y = top; y <= bottom; ++y, line += directStride) {
                ComposeLine(y - row * h, cutLeft, w - cutRight, w, line);
            }
            continue;
        }
        for (int y = top; y <= bottom; ++y) {
            ComposeLine(y - row * h, cutLeft, w - cutRight, w, m_strip.scanLine(y - top));
        }
        const QPainter::CompositionMode mode = dc.compositionMode();
        dc.setCompositionMode(QPainter::CompositionMode_Source);
        dc.drawImage(QPoint(area.left(), top), m_strip,
                     QRect(0, 0, area.width(), bottom - top + 1));
        dc.setCompositionMode(mode);
    }
    return true;
}

} // namespace kesh::ui
