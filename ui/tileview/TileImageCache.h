#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <QImage>

namespace kesh {
class TileSet;
}

namespace kesh::ui {

// Ready-to-draw images of the tiles of one tile set, each at its natural size
// and already coloured through the display colour table. Images are made on
// first use and all dropped when the tile set's revision changes.
class TileImageCache {
public:
    // The image of tile `number`, or null when the set has no such tile.
    // The pointer stays valid until the next call.
    const QImage* Image(const TileSet& tiles, int64_t number);
    // The image of tile `number` as a map cell with attribute bits `attr`
    // shows it (flipped, its colours those of its palette: CellPixels), or
    // null when the set has no such tile. Bits that draw nothing give
    // Image(). The pointer stays valid until the tile set's revision or
    // `coloursPerPalette` changes.
    const QImage* CellImage(const TileSet& tiles, int64_t number, uint16_t attr,
                            int coloursPerPalette);

    // Forgets every image.
    void Clear();

    // Images currently held (for tests).
    size_t HeldCount() const;

private:
    void Sync(const TileSet& tiles);
    QImage Build(const TileSet& tiles, const uint8_t* pixels) const;

    struct Entry {
        const uint8_t* pixels = nullptr; // the tile the image was made from
        QImage image;
    };

    const TileSet* m_owner = nullptr;
    uint64_t m_revision = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<Entry> m_entries;
    std::vector<Entry> m_flipped;                   // by number x 3 + flips - 1, for palette 0
    std::unordered_map<uint64_t, Entry> m_variants; // palette-shifted: number << 16 | bits
    int m_variantColours = 0;                       // the colours per palette they were made with
    std::vector<QRgb> m_colours;                    // display colour table as QRgb
};

} // namespace kesh::ui
