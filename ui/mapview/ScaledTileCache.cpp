#include "mapview/ScaledTileCache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "layout/CellFields.h"
#include "map/CellPixels.h"
#include "map/MapModel.h"
#include "tileview/TilePainter.h"
#include "widgets/GridLines.h"

namespace kesh::ui {

void ScaledTileCache::Sync(TilePainter& tiles, int width, int height, bool grid,
                           int coloursPerPalette) {
    const TileSet& set = tiles.tileSet();
    const size_t slotCount = size_t(std::max(set.count(), 0)) + 1;
    if (m_owner != &set || m_revision != set.revision() || m_width != width || m_height != height ||
        m_grid != grid || m_images.size() != slotCount ||
        m_coloursPerPalette != coloursPerPalette) {
        m_coloursPerPalette = coloursPerPalette;
        m_cellImages.clear();
        m_cellColours.clear();
        m_grid = grid;
        m_owner = &set;
        m_revision = set.revision();
        m_width = width;
        m_height = height;
        m_images.assign(slotCount, QImage());
        m_colours.assign(size_t(kEmptyCell) + 1, 0);
    }
}

size_t ScaledTileCache::Slot(uint16_t value) const {
    // Numbers past the set's tiles and empty cells share the last slot.
    return value == kEmptyCell ? m_images.size() - 1 : std::min<size_t>(value, m_images.size() - 1);
}

QImage ScaledTileCache::Source(TilePainter& tiles, size_t slot, uint16_t attr) const {
    if (slot + 1 < m_images.size()) {
        const QImage* image = tiles.CellImage(int(slot), attr, m_coloursPerPalette);
        if (image && !image->isNull()) {
            return *image;
        }
    }
    // As DrawTile marks a cell without a tile: black, 2 x 2 white in the middle.
    const int w = std::max(tiles.tileWidth(), 1);
    const int h = std::max(tiles.tileHeight(), 1);
    QImage blank(w, h, QImage::Format_RGB32);
    blank.fill(Qt::black);
    for (int y = std::max(h / 2 - 1, 0); y <= h / 2 && y < h; ++y) {
        for (int x = std::max(w / 2 - 1, 0); x <= w / 2 && x < w; ++x) {
            blank.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    return blank;
}

const QImage& ScaledTileCache::Image(TilePainter& tiles, uint16_t value) {
    QImage& image = m_images[Slot(value)];
    if (image.isNull()) {
        image = Scale(Source(tiles, Slot(value)), m_width, m_height);
        if (m_grid) {
            BakeGrid(image);
        }
    }
    return image;
}

const QImage& ScaledTileCache::Image(TilePainter& tiles, uint16_t value, uint16_t attr) {
    attr = DrawnAttr(attr);
    const size_t slot = Slot(value);
    if (attr == 0 || slot + 1 == m_images.size()) {
        return Image(tiles, value);
    }
    QImage& image = m_cellImages[Key(slot, attr)];
    if (image.isNull()) {
        image = Scale(Source(tiles, slot, attr), m_width, m_height);
        if (m_grid) {
            BakeGrid(image);
        }
    }
    return image;
}

QRgb ScaledTileCache::Colour(TilePainter& tiles, uint16_t value, uint16_t attr) {
    attr = uint16_t(attr & cellbit::kPaletteMask);
    const size_t slot = Slot(value);
    if (attr == 0 || slot + 1 == m_images.size()) {
        return Colour(tiles, value);
    }
    QRgb& colour = m_cellColours[Key(slot, attr)];
    if (colour == 0) {
        colour = Scale(Source(tiles, slot, attr), 1, 1).pixel(0, 0);
    }
    return colour;
}

QRgb ScaledTileCache::MakeColour(TilePainter& tiles, uint16_t value) {
    // Opaque, so never 0.
    const QRgb colour = Scale(Source(tiles, Slot(value)), 1, 1).pixel(0, 0);
    m_colours[value] = colour;
    return colour;
}

QImage ScaledTileCache::Scale(const QImage& source, int width, int height) {
    QImage out(width, height, QImage::Format_RGB32);
    const QImage src = source.format() == QImage::Format_RGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
    const int sw = src.width();
    const int sh = src.height();
    if (width >= sw && height >= sh) {
        // Enlarged, every pixel covers one source pixel: the box below comes
        // to picking it, and a row that repeats the source row above is a copy.
        std::vector<int> column(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) {
            column[size_t(x)] = int(int64_t(x) * sw / width);
        }
        int previous = -1;
        for (int y = 0; y < height; ++y) {
            const int sy = int(int64_t(y) * sh / height);
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            if (sy == previous) {
                std::memcpy(line, out.constScanLine(y - 1), size_t(width) * sizeof(QRgb));
                continue;
            }
            const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
            for (int x = 0; x < width; ++x) {
                line[x] = in[column[size_t(x)]] | 0xff000000u;
            }
            previous = sy;
        }
        return out;
    }
    for (int y = 0; y < height; ++y) {
        const int y0 = int(int64_t(y) * sh / height);
        const int y1 = std::max(y0 + 1, int(int64_t(y + 1) * sh / height));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(int64_t(x) * sw / width);
            const int x1 = std::max(x0 + 1, int(int64_t(x + 1) * sw / width));
            // The box of source pixels this pixel covers (one when enlarging).
            uint32_t r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy) {
                const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
                for (int sx = x0; sx < x1; ++sx, ++n) {
                    r += uint32_t(qRed(in[sx]));
                    g += uint32_t(qGreen(in[sx]));
                    b += uint32_t(qBlue(in[sx]));
                }
            }
            line[x] = qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
        }
    }
    return out;
}

} // namespace kesh::ui
