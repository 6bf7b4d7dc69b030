#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tileset/TileSet.h"

namespace kesh::test {

// Pixels of test tile `seed`: every pixel differs with the seed, so tiles of
// different seeds are never identical.
inline std::vector<uint8_t> TilePixels(int32_t width, int32_t height, int seed) {
    std::vector<uint8_t> pixels(size_t(width) * size_t(height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint8_t(i * 7 + size_t(seed) * 31);
    std::memcpy(pixels.data(), &seed, std::min(sizeof seed, pixels.size()));
    return pixels;
}

// An empty tile set of `w` x `h` with the default layout.
inline TileSet EmptyTileSet(int32_t w, int32_t h) {
    TileSet set;
    set.format().width = w;
    set.format().height = h;
    set.InitTileSet();
    return set;
}

// An empty tile set of `width` x `height` with the default layout, then
// `count` distinct tiles whose attributes are 100 + their number.
inline void MakeTiles(TileSet& set, int32_t width, int32_t height, int count) {
    set.format().width = width;
    set.format().height = height;
    set.InitTileSet();
    for (int i = 0; i < count; ++i)
        set.tiles().Append(TilePixels(width, height, i).data(), uint32_t(100 + i));
}

// Everything a procedure could change in a tile set, for "nothing changed" checks.
struct TileSetState {
    TileFormat format;
    std::vector<std::vector<uint8_t>> pixels;
    std::vector<uint32_t> attributes;
    std::vector<uint8_t> colours;

    explicit TileSetState(const TileSet& set)
        : format(set.format()), colours(set.colourTable(), set.colourTable() + 1024) {
        const size_t size = size_t(set.tiles().tileSize());
        for (int i = 0; i < set.count(); ++i) {
            const uint8_t* p = set.tiles().PixelsAt(i);
            pixels.emplace_back(p, p + size);
            attributes.push_back(set.tiles().AttributeAt(i));
        }
    }
    bool operator==(const TileSetState&) const = default;
};

} // namespace kesh::test
