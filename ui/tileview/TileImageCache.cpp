#include "tileview/TileImageCache.h"

#include <algorithm>

#include "layout/CellFields.h"
#include "map/CellPixels.h"
#include "tileset/TileSet.h"

namespace kesh::ui {

const QImage* TileImageCache::Image(const TileSet& tiles, int64_t number) {
    const uint8_t* pixels = tiles.tiles().PixelsAt(number);
    if (!pixels) {
        return nullptr;
    }
    Sync(tiles);
    const auto index = static_cast<size_t>(number);
    if (index >= m_entries.size()) {
        m_entries.resize(static_cast<size_t>(tiles.count()));
    }
    Entry& entry = m_entries[index];
    // The pixel pointer tells a tile that moved to this number (after a
    // delete, say) from the one the image was made of.
    if (entry.pixels != pixels || entry.image.isNull()) {
        entry.image = Build(tiles, pixels);
        entry.pixels = pixels;
    }
    return &entry.image;
}

const QImage* TileImageCache::CellImage(const TileSet& tiles, int64_t number, uint16_t attr,
                                        int coloursPerPalette) {
    attr = DrawnAttr(attr);
    if (attr == 0) {
        return Image(tiles, number);
    }
    const uint8_t* pixels = tiles.tiles().PixelsAt(number);
    if (!pixels) {
        return nullptr;
    }
    Sync(tiles);
    if (m_variantColours != coloursPerPalette) {
        m_variants.clear();
        m_flipped.clear();
        m_variantColours = coloursPerPalette;
    }
    // Flipped tiles by number, as the plain ones; palette-shifted ones by key.
    Entry* found = nullptr;
    if ((attr & cellbit::kPaletteMask) == 0) {
        const size_t slot = size_t(number) * 3 + (attr & cellbit::kFlips) - 1;
        if (slot >= m_flipped.size()) {
            m_flipped.resize(size_t(tiles.count()) * 3);
        }
        found = &m_flipped[slot];
    } else {
        found = &m_variants[uint64_t(number) << 16 | attr];
    }
    Entry& entry = *found;
    if (entry.pixels != pixels || entry.image.isNull()) {
        const int w = tiles.tiles().width();
        const int h = tiles.tiles().height();
        std::vector<uint8_t> shown(size_t(std::max(w, 0)) * size_t(std::max(h, 0)));
        CellPixels(pixels, w, h, attr, coloursPerPalette, shown.data());
        entry.image = Build(tiles, shown.data());
        entry.pixels = pixels;
    }
    return &entry.image;
}

void TileImageCache::Clear() {
    m_variants.clear();
    m_flipped.clear();
    m_entries.clear();
    m_colours.clear();
    m_owner = nullptr;
}

size_t TileImageCache::HeldCount() const {
    size_t held = 0;
    for (const Entry& entry : m_entries) {
        held += entry.image.isNull() ? 0 : 1;
    }
    return held;
}

void TileImageCache::Sync(const TileSet& tiles) {
    if (m_owner == &tiles && m_revision == tiles.revision() && m_width == tiles.tileWidth() &&
        m_height == tiles.tileHeight() && !m_colours.empty()) {
        return;
    }
    m_entries.clear();
    m_variants.clear();
    m_flipped.clear();
    m_owner = &tiles;
    m_revision = tiles.revision();
    m_width = tiles.tileWidth();
    m_height = tiles.tileHeight();
    m_colours.resize(256);
    for (int v = 0; v < 256; ++v) {
        m_colours[size_t(v)] = tiles.argbOf(static_cast<uint8_t>(v));
    }
}

QImage TileImageCache::Build(const TileSet& tiles, const uint8_t* pixels) const {
    const int width = tiles.tiles().width();
    const int height = tiles.tiles().height();
    if (width <= 0 || height <= 0) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const uint8_t* row = pixels + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            line[x] = m_colours[row[x]];
        }
    }
    return image;
}

} // namespace kesh::ui
