#pragma once

#include <cstdint>
#include <vector>

#include "support/TestTiles.h"
#include "tileset/TileSet.h"

namespace kesh::test {

// An empty tile set of the given size, default layout otherwise.
inline TileSet MakeTileSet(int32_t width, int32_t height) {
    return EmptyTileSet(width, height);
}

// A tile whose pixels are seed, seed + 1, ... (mod 256).
inline std::vector<uint8_t> Pixels(const TileSet& set, int seed) {
    std::vector<uint8_t> px(size_t(set.tileWidth()) * size_t(set.tileHeight()));
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = uint8_t(seed + int(i));
    return px;
}

inline void AddTile(TileSet& set, int seed, uint32_t attribute) {
    set.tiles().Append(Pixels(set, seed).data(), attribute);
}

// Everything a read or an add may change, to check that a failure changed nothing.
struct Snapshot {
    TileFormat format;
    std::vector<uint8_t> info;
    std::vector<std::vector<uint8_t>> pixels;
    std::vector<uint32_t> attributes;
    int32_t listWidth, listHeight;

    explicit Snapshot(const TileSet& set)
        : format(set.format()), info(set.bitmapInfo().begin(), set.bitmapInfo().end()),
          listWidth(set.tiles().width()), listHeight(set.tiles().height()) {
        const size_t n = size_t(set.tiles().tileSize());
        for (int i = 0; i < set.count(); ++i) {
            const uint8_t* p = set.tiles().PixelsAt(i);
            pixels.emplace_back(p, p + n);
            attributes.push_back(set.tiles().AttributeAt(i));
        }
    }
    bool operator==(const Snapshot&) const = default;
};

} // namespace kesh::test
