#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/ByteReader.h"
#include "layout/TileFormat.h"
#include "raster/PixelEncoding.h"
#include "tileset/TileList.h"

namespace kesh {

// Reads one tile file laid out by a list of item codes: finds every block by
// walking the layout, checks that the file really holds them, then hands out
// the colours and the tiles. It only reads; what to do with the tiles is the
// caller's, so a bad file leaves every tile set as it was.
class TileFileReader {
public:
    // Reads from `in` at its position; attributes take `attrBytes` (1, 2 or 4) bytes each.
    TileFileReader(ByteReader& in, int attrBytes);

    // The tile size when it is known before the file is read (set by hand in
    // the layout dialog); a size item in the file still overrides it.
    void presetSize(int32_t width, int32_t height);

    // Reads `length` header bytes (none when length is 0 or less); the string
    // ends at the first zero byte, though all `length` bytes are consumed.
    Status ReadHeader(int length, std::string& header);

    // Walks the layout: size and count items are read, the other blocks are
    // noted and skipped; a later item of a kind overrides an earlier one. Tile
    // and attribute blocks need the size and count first. Afterwards the size
    // and count must be known and every noted block must lie inside the file
    // for the final size and count (and, for a Pixels block, of a size its
    // encoding stores). `params` sizes the Pixels and Palette items. Fails
    // with msg::kNoTileSize, kNoTileCount or kDamagedFile. On success the
    // reader is just after the last block.
    Status Scan(const std::vector<uint8_t>& items, const TileItemParams& params = {});

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t count() const { return m_count; }
    bool hasTileBlock() const { return m_tiles.has_value(); }
    bool hasAttributeBlock() const { return m_attributes.has_value(); }
    bool hasPalette() const { return m_palette768 || m_palette1024 || m_paletteEncoded; }
    // Just after the last block the scan reached.
    uint64_t end() const { return m_end; }

    // Applies the palette blocks to a colour table of blue, green, red, 0
    // entries: the 768-byte one (each value times 4, kept to 8 bits, fourth byte 0),
    // then the 1024-byte one as stored, so with both the 1024-byte one wins.
    void ApplyPalettes(std::span<uint8_t, 1024> colours) const;
    // Then the Palette item's P x K colours, from entry 0, as the hardware
    // shows them; the other entries stay. Fails with a Korean message naming
    // the first colour no hardware colour has, leaving `colours` as they were.
    Status ApplyEncodedPalette(std::span<uint8_t, 1024> colours) const;

    // Calls sink(const uint8_t* pixels, uint32_t attribute) for tiles 0 to
    // count - 1 until it returns false. Without a pixel block every tile is
    // blank (all pixels 0); without an attribute block every attribute is 0.
    // False when the sink stopped early or a blank tile could not be made.
    template <class Sink> bool ForEachTile(Sink&& sink) const;

private:
    uint64_t tileBytes() const { return uint64_t(m_width) * uint64_t(m_height); }
    // Skips `count` records of `each` bytes; false when the file is shorter.
    bool skipRecords(int64_t count, uint64_t each);
    // Whether `count` records of `each` bytes fit in the file from `at`.
    bool fits(uint64_t at, int64_t count, uint64_t each) const;
    uint32_t attributeAt(const uint8_t* p) const;

    ByteReader& m_in;
    std::span<const uint8_t> m_data; // the whole file
    int m_attrBytes;
    int32_t m_width = -1;
    int32_t m_height = -1;
    int32_t m_count = -1;
    std::optional<uint64_t> m_tiles, m_attributes, m_palette768, m_palette1024, m_paletteEncoded;
    TileItemParams m_params;
    // Whether the pixel block was noted from a Pixels item (m_params.pixels).
    bool m_tilesEncoded = false;
    // Whether each block was noted from a TileAttrData item (each tile's pixels,
    // then its attribute). The two can differ when a later TileData or AttrData
    // replaces one of them; each block is then read with its own record size.
    bool m_tilesInterleaved = false;
    bool m_attributesInterleaved = false;
    uint64_t m_end = 0;
};

template <class Sink> bool TileFileReader::ForEachTile(Sink&& sink) const {
    const uint64_t tileSize = tileBytes();
    // A blank tile without a pixel block; the decoded tile with a Pixels block.
    std::vector<uint8_t> scratch;
    if (!m_tiles || m_tilesEncoded) {
        if (tileSize > uint64_t(TileList::kBlockBudget))
            return false; // no tile list holds tiles that large
        scratch.assign(size_t(tileSize), 0);
    }
    const uint64_t record = tileSize + uint64_t(m_attrBytes);
    const uint64_t stride = m_tilesEncoded ? EncodedTileBytes(m_params.pixels, m_width, m_height)
                            : m_tilesInterleaved ? record
                                                 : tileSize;
    const uint64_t attrStride = m_attributesInterleaved ? record : uint64_t(m_attrBytes);
    const uint64_t attrStart =
        m_attributes ? *m_attributes + (m_attributesInterleaved ? tileSize : 0) : 0;
    for (int32_t i = 0; i < m_count; ++i) {
        const uint8_t* pixels = scratch.data();
        if (m_tiles && m_tilesEncoded)
            DecodeTile(m_params.pixels, m_width, m_height,
                       m_data.data() + *m_tiles + uint64_t(i) * stride, scratch.data());
        else if (m_tiles)
            pixels = m_data.data() + *m_tiles + uint64_t(i) * stride;
        const uint32_t attribute =
            m_attributes ? attributeAt(m_data.data() + attrStart + uint64_t(i) * attrStride) : 0;
        if (!sink(pixels, attribute))
            return false;
    }
    return true;
}

} // namespace kesh
