#include "tileset/TileSet.h"

#include <algorithm>
#include <new>
#include <span>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "raster/ColourEncoding.h"
#include "tileset/EncodedTiles.h"
#include "tileset/ShownColours.h"
#include "tileset/TileFileReader.h"

namespace kesh {

namespace {

using BitmapInfo = std::array<uint8_t, 40 + 1024>;
constexpr size_t kHeaderBytes = 40;

void Put16(BitmapInfo& info, size_t at, uint16_t v) {
    info[at] = uint8_t(v);
    info[at + 1] = uint8_t(v >> 8);
}

void Put32(BitmapInfo& info, size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i)
        info[at + i] = uint8_t(v >> (8 * i));
}

// The header of one tile as an 8-bit, uncompressed, top-down bitmap.
void FillBitmapHeader(BitmapInfo& info, int32_t width, int32_t height) {
    std::fill_n(info.begin(), kHeaderBytes, uint8_t(0));
    Put32(info, 0, kHeaderBytes);
    Put32(info, 4, uint32_t(width));
    Put32(info, 8, uint32_t(-int64_t(height)));
    Put16(info, 12, 1);
    Put16(info, 14, 8);
    Put32(info, 20, uint32_t(int64_t(width) * height));
}

// Entries 0-127: blue 64 or 128, green and red running through 64, 88, ... 232.
void FillColourCube(BitmapInfo& info) {
    uint8_t* table = info.data() + kHeaderBytes;
    for (int i = 0; i < 128; ++i) {
        table[4 * i] = uint8_t(64 + 64 * (i / 64));
        table[4 * i + 1] = uint8_t(64 + 24 * ((i / 8) % 8));
        table[4 * i + 2] = uint8_t(64 + 24 * (i % 8));
        table[4 * i + 3] = 0;
    }
}

std::span<uint8_t, 1024> ColoursOf(BitmapInfo& info) {
    return std::span<uint8_t, 1024>(info.data() + kHeaderBytes, 1024);
}

} // namespace

TileSet::TileSet() : m_format(TileFormat::Default()) {
    InitTileSet();
}

int TileSet::AttrBytes() const {
    return AttrBytesFor(m_format.attrWidth);
}

uint32_t TileSet::argbOf(uint8_t v) const {
    const Rgb shown = ShownColour(m_format, colourTable(), v);
    return 0xFF000000u | uint32_t(shown.r) << 16 | uint32_t(shown.g) << 8 | shown.b;
}

void TileSet::InitTileSet() {
    FillBitmapHeader(m_bitmapInfo, tileWidth(), tileHeight());
    m_tiles.Setup(tileWidth(), tileHeight());
    FillColourCube(m_bitmapInfo);
    touch();
}

void TileSet::SetPalette(const Palette& palette) {
    uint8_t* table = m_bitmapInfo.data() + kHeaderBytes;
    for (size_t i = 0; i < 256; ++i) {
        table[4 * i] = uint8_t(palette.rgb[3 * i + 2] * 4);
        table[4 * i + 1] = uint8_t(palette.rgb[3 * i + 1] * 4);
        table[4 * i + 2] = uint8_t(palette.rgb[3 * i] * 4);
        table[4 * i + 3] = 0;
    }
    touch();
}

void TileSet::SetColourTable(const ColourTable& table) {
    std::copy(table.begin(), table.end(), m_bitmapInfo.begin() + kHeaderBytes);
    touch();
}

Status TileSet::CheckTileFormat(int32_t width, int32_t height, int64_t count) {
    if (width < 0 || height < 0)
        return Status::Fail(msg::kNoTileSize);
    if (count < 0)
        return Status::Fail(msg::kNoTileCount);
    return Status::Ok();
}

Status TileSet::CheckEncodings() const {
    const auto& items = m_format.items;
    if (std::find(items.begin(), items.end(), TileItem::Pixels) == items.end())
        return Status::Ok();
    return CheckEncodedTiles(m_tiles, m_format.params.pixels);
}

bool TileSet::WriteTileFile(ByteWriter& out) const {
    if (!CheckEncodings())
        return false;
    // Room for the whole file at once rather than block by block.
    uint64_t total = uint64_t(HeaderLength(m_format.header));
    for (const uint8_t item : m_format.items)
        total += TileItemBytes(m_format, item, m_tiles.count());
    out.reserve(out.size() + size_t(total));
    out.write(m_format.header.data(), size_t(HeaderLength(m_format.header)));
    // An AttrWidth outside 0-2 only comes from a damaged layout; it is written
    // as one byte per attribute, the way it is read back.
    const int attrSel = m_format.attrWidth >= 0 && m_format.attrWidth <= 2 ? m_format.attrWidth : 0;
    const uint8_t* table = colourTable();
    for (const uint8_t item : m_format.items) {
        int ok = 1;
        switch (item) {
        case TileItem::SizeByte:
        case TileItem::SizeWord:
        case TileItem::SizeDword:
            ok = m_tiles.WriteSize(out, item - TileItem::SizeByte);
            break;
        case TileItem::CountByte:
        case TileItem::CountWord:
        case TileItem::CountDword:
            ok = m_tiles.WriteCount(out, item - TileItem::CountByte);
            break;
        case TileItem::TileData:
            ok = m_tiles.WritePixels(out);
            break;
        case TileItem::AttrData:
            ok = m_tiles.WriteAttributes(out, attrSel);
            break;
        case TileItem::TileAttrData:
            ok = m_tiles.WritePixelsAndAttributes(out, attrSel);
            break;
        case TileItem::Palette768: {
            std::array<uint8_t, 768> rgb;
            for (size_t i = 0; i < 256; ++i) {
                rgb[3 * i] = uint8_t(table[4 * i + 2] >> 2);
                rgb[3 * i + 1] = uint8_t(table[4 * i + 1] >> 2);
                rgb[3 * i + 2] = uint8_t(table[4 * i] >> 2);
            }
            out.write(rgb.data(), rgb.size());
            break;
        }
        case TileItem::Palette1024:
            out.write(table, 1024);
            break;
        case TileItem::Pixels:
            ok = m_tiles.count() > 0 && WriteEncodedTiles(m_tiles, m_format.params.pixels, out).ok();
            break;
        case TileItem::Palette: {
            const TileItemParams& p = m_format.params;
            ColourTable colours;
            std::copy_n(table, colours.size(), colours.begin());
            std::vector<uint8_t> bytes(TileItemBytes(m_format, item, 0));
            EncodeColours(p.colours, colours, 0, p.coloursPerPalette * p.paletteCount, bytes.data());
            out.write(bytes.data(), bytes.size());
            break;
        }
        default:
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

Status TileSet::ReadTileFile(ByteReader& in, int headerLength,
                             std::optional<std::pair<int32_t, int32_t>> presetSize) {
    const size_t start = in.pos();
    const auto fail = [&](Status st) {
        in.seek(start);
        return st;
    };
    TileFileReader reader(in, AttrBytes());
    if (presetSize)
        reader.presetSize(presetSize->first, presetSize->second);
    std::string header;
    if (Status st = reader.ReadHeader(headerLength, header); !st)
        return fail(st);
    if (Status st = reader.Scan(m_format.items, m_format.params); !st)
        return fail(st);

    // Everything is built aside and only swapped in once the whole file has
    // been read. Tiles of no pixels, tiles larger than a pool block and more
    // tiles than the pool holds can't have been saved by this program.
    const int32_t width = reader.width();
    const int32_t height = reader.height();
    TileList tiles;
    if (width <= 0 || height <= 0 || !tiles.Setup(width, height) || tiles.capacity() == 0 ||
        tiles.capacity() < reader.count())
        return fail(Status::Fail(msg::kDamagedFile));
    try {
        tiles.reserve(size_t(reader.count()));
    } catch (const std::bad_alloc&) {
        return fail(Status::Fail(msg::kDamagedFile));
    }
    BitmapInfo info = m_bitmapInfo;
    FillBitmapHeader(info, width, height);
    FillColourCube(info);
    reader.ApplyPalettes(ColoursOf(info));
    if (Status st = reader.ApplyEncodedPalette(ColoursOf(info)); !st)
        return fail(st);
    const bool read = reader.ForEachTile(
        [&](const uint8_t* pixels, uint32_t attribute) { return tiles.Append(pixels, attribute); });
    if (!read)
        return fail(Status::Fail(msg::kDamagedFile));

    m_tiles = std::move(tiles);
    m_format.width = width;
    m_format.height = height;
    m_format.header = std::move(header);
    m_bitmapInfo = info;
    touch();
    in.seek(reader.end());
    return Status::Ok();
}

} // namespace kesh
