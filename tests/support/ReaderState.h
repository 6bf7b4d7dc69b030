#pragma once

// Everything a reader could change in the objects it fills, as comparable
// bytes, so a test or fuzz target can check that a failed read changed nothing.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "io/ByteWriter.h"
#include "map/MapModel.h"
#include "raster/ImageDecoders.h"
#include "tileset/TileSet.h"

namespace kesh::test {

inline void PutText(ByteWriter& out, const std::string& text) {
    out.writeU32(uint32_t(text.size()));
    out.write(text);
}

inline void PutItems(ByteWriter& out, const std::vector<uint8_t>& items) {
    out.writeU32(uint32_t(items.size()));
    out.write(items.data(), items.size());
}

inline std::vector<uint8_t> ImageState(const Image& image) {
    ByteWriter out;
    out.writeU32(uint32_t(image.m_width));
    out.writeU32(uint32_t(image.m_height));
    out.writeU32(uint32_t(image.m_pixelCount));
    out.write(image.m_palette.rgb.data(), image.m_palette.rgb.size());
    out.writeU32(uint32_t(image.m_pixels.size()));
    out.write(image.m_pixels.data(), image.m_pixels.size());
    return out.take();
}

inline void PutTileFormat(ByteWriter& out, const TileFormat& format) {
    PutText(out, format.header);
    out.writeU32(uint32_t(format.width));
    out.writeU32(uint32_t(format.height));
    out.writeU32(uint32_t(format.attrWidth));
    PutItems(out, format.items);
}

// The tiles alone: size, count, and every tile's attribute and pixels.
// Made in place in one step (a writer without a sink): the fuzz targets take
// this for every input, and a set may hold thousands of tiles.
inline void PutTiles(ByteWriter& out, const TileList& tiles) {
    out.writeU32(uint32_t(tiles.width()));
    out.writeU32(uint32_t(tiles.height()));
    out.writeU32(tiles.count());
    const size_t tileBytes = size_t(tiles.width()) * size_t(tiles.height());
    std::vector<uint8_t>& bytes = out.bytes();
    size_t at = bytes.size();
    bytes.resize(at + size_t(tiles.count()) * (4 + tileBytes));
    for (uint32_t i = 0; i < tiles.count(); ++i, at += 4 + tileBytes) {
        const uint32_t attribute = tiles.AttributeAt(i);
        std::memcpy(bytes.data() + at, &attribute, 4);
        std::memcpy(bytes.data() + at + 4, tiles.PixelsAt(i), tileBytes);
    }
}

inline std::vector<uint8_t> TilesState(const TileList& tiles) {
    ByteWriter out;
    PutTiles(out, tiles);
    return out.take();
}

inline std::vector<uint8_t> TileSetState(const TileSet& set) {
    ByteWriter out;
    const size_t tileBytes = size_t(set.tiles().width()) * size_t(set.tiles().height());
    out.reserve(64 + set.format().header.size() + set.format().items.size() +
                size_t(set.count()) * (4 + tileBytes) + set.bitmapInfo().size());
    PutTileFormat(out, set.format());
    PutTiles(out, set.tiles());
    out.write(set.bitmapInfo().data(), set.bitmapInfo().size());
    out.writeU32(uint32_t(set.current()));
    out.writeU32(uint32_t(set.revision()));
    return out.take();
}

inline std::vector<uint8_t> MapState(const MapModel& map) {
    ByteWriter out;
    out.reserve(64 + map.format().header.size() + map.format().items.size() +
                2 * map.cells().size());
    PutText(out, map.format().header);
    out.writeU32(uint32_t(map.width()));
    out.writeU32(uint32_t(map.height()));
    PutItems(out, map.format().items);
    out.writeU32(uint32_t(map.cells().size()));
    out.write(map.cells().data(), map.cells().size() * sizeof(uint16_t));
    return out.take();
}

} // namespace kesh::test
