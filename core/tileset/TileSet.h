#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/Status.h"
#include "io/ByteReader.h"
#include "io/ByteWriter.h"
#include "layout/TileFormat.h"
#include "raster/Palette.h"
#include "tileset/TileList.h"

namespace kesh {

// The tile set the editor works on: the tiles, their layout in tile files
// (which also holds the live tile size), the display colour table and the
// current tile. The tile set view shows one of these; the map draws through it.
class TileSet {
public:
    // As at start-up: 32 x 32 tiles, the default layout, no tiles, the default colours.
    TileSet();
    TileSet(TileSet&&) noexcept = default;
    TileSet& operator=(TileSet&&) noexcept = default;

    const TileList& tiles() const { return m_tiles; }
    TileList& tiles() { return m_tiles; }
    const TileFormat& format() const { return m_format; }
    TileFormat& format() { return m_format; }

    int32_t tileWidth() const { return m_format.width; }
    int32_t tileHeight() const { return m_format.height; }
    int count() const { return static_cast<int>(m_tiles.count()); }
    // 1, 2 or 4 for AttrWidth 0, 1 or 2; anything else gives 1.
    int AttrBytes() const;

    // The 40-byte bitmap header describing one tile (8 bits, top-down) followed by
    // the display colour table.
    const std::array<uint8_t, 40 + 1024>& bitmapInfo() const { return m_bitmapInfo; }
    const uint8_t* colourTable() const { return m_bitmapInfo.data() + 40; }
    // Colour of pixel value v as the editor shows it (ShownColours.h: as the
    // console shows it while the layout has a Palette item), 0xAARRGGBB with alpha 0xFF.
    uint32_t argbOf(uint8_t v) const;

    // Starts an empty tile set of the current format size: the bitmap header is
    // rebuilt, entries 0-127 get the default colour cube (128-255 are kept).
    void InitTileSet();
    // Replaces all 256 display colours from a 6-bit palette (each value x 4).
    void SetPalette(const Palette& palette);
    // Replaces the colour table as held (blue, green, red, reserved).
    void SetColourTable(const ColourTable& table);
    // Puts back a header and colour table taken from bitmapInfo().
    void SetBitmapInfo(const std::array<uint8_t, 40 + 1024>& info) {
        m_bitmapInfo = info;
        touch();
    }

    int32_t current() const { return m_current; }
    void setCurrent(int32_t number) { m_current = number; }

    // Bumped whenever tiles, size or colours change, so views can drop cached images.
    uint64_t revision() const { return m_revision; }
    void touch() { ++m_revision; }

    // Writes the header and the item blocks of the current layout. False when a
    // tile block could not be written (the set is empty, or CheckEncodings
    // refuses); the bytes written so far stay.
    bool WriteTileFile(ByteWriter& out) const;
    // Whether the tiles can be stored in the layout's Pixels items: fails
    // with a Korean message for a tile size the encoding cannot store, or
    // naming the first tile with a pixel too large for it. Savers ask this
    // before writing anything.
    Status CheckEncodings() const;
    // Replaces this tile set with the one read at the reader's position, the
    // header being `headerLength` bytes, with the current item list and
    // AttrWidth. All-or-nothing: on failure nothing changes (tiles, size,
    // colours, header), the reader is back where it was and the status carries
    // the message. On success the reader is just after the tile block.
    // A count with no pixel block gives that many blank tiles. Blocks that run
    // past the end, sizes of 0 or too large for the tile pool and counts above
    // the pool's capacity fail with "파일이 손상되었거나 파일포맷과 맞지 않습니다.".
    // `presetSize` (a tile size set by hand for a file without a size item)
    // stands until a size item of the file says otherwise.
    Status ReadTileFile(ByteReader& in, int headerLength,
                        std::optional<std::pair<int32_t, int32_t>> presetSize = std::nullopt);

    // Whether a tile file read so far has what tile data needs: fails with
    // "파일 형식중에 타일의 크기가 없습니다." while the width or height is unset
    // (below 0), else with "파일 형식중에 타일의 갯수가 없습니다." while the count is.
    static Status CheckTileFormat(int32_t width, int32_t height, int64_t count);

private:
    TileList m_tiles;
    TileFormat m_format;
    std::array<uint8_t, 40 + 1024> m_bitmapInfo{};
    int32_t m_current = 0;
    uint64_t m_revision = 0;
};

} // namespace kesh
