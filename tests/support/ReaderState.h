#pragma once

// Everything a reader could change in the objects it fills, as comparable
// bytes, so a test or fuzz target can check that a failed read changed nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "io/ByteWriter.h"
#include "map/MapModel.h"
#include "tileset/ImageDecoders.h"
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
inline std::vector<uint8_t> TilesState(const TileList& tiles) {
    ByteWriter out;
    out.writeU32(uint32_t(tiles.width()));
    out.writeU32(uint32_t(tiles.height()));
    out.writeU32(tiles.count());
    const size_t tileBytes = size_t(tiles.width()) * size_t(tiles.height());
    for (uint32_t i = 0; i < tiles.count(); ++i) {
        out.writeU32(tiles.AttributeAt(i));
        out.write(tiles.PixelsAt(i), tileBytes);
    }
    return out.take();
}

inline std::vector<uint8_t> TileSetState(const TileSet& set) {
    ByteWriter out;
    PutTileFormat(out, set.format());
    out.write(TilesState(set.tiles()));
    out.write(set.bitmapInfo().data(), set.bitmapInfo().size());
    out.writeU32(uint32_t(set.current()));
    out.writeU32(uint32_t(set.revision()));
    return out.take();
}

inline std::vector<uint8_t> MapState(const MapModel& map) {
    ByteWriter out;
    PutText(out, map.format().header);
    out.writeU32(uint32_t(map.width()));
    out.writeU32(uint32_t(map.height()));
    PutItems(out, map.format().items);
    out.writeU32(uint32_t(map.cells().size()));
    for (const uint16_t cell : map.cells())
        out.writeU16(cell);
    out.writeU32(uint32_t(map.m_bModified));
    PutText(out, map.m_strFileName);
    PutText(out, map.m_strPathName);
    return out.take();
}

} // namespace kesh::test
