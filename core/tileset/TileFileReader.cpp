#include "tileset/TileFileReader.h"

#include <algorithm>

#include "base/Messages.h"
#include "layout/TileFormat.h"
#include "raster/ColourEncoding.h"
#include "tileset/TileSet.h"

namespace kesh {

namespace {

// Bytes of the values of a size or count item: 1, 2 or 4.
int ValueBytes(uint8_t item, uint8_t first) {
    return BytesForWidthCode(item - first);
}

} // namespace

TileFileReader::TileFileReader(ByteReader& in, int attrBytes) : m_in(in), m_attrBytes(attrBytes) {
    const size_t pos = in.pos();
    in.seek(0);
    m_data = in.peek(in.size());
    in.seek(pos);
    m_end = pos;
}

void TileFileReader::presetSize(int32_t width, int32_t height) {
    m_width = width;
    m_height = height;
}

Status TileFileReader::ReadHeader(int length, std::string& header) {
    if (length <= 0) {
        header.clear();
        return Status::Ok();
    }
    const auto bytes = m_in.peek(uint64_t(length));
    if (bytes.size() != size_t(length))
        return Status::Fail(msg::kDamagedFile);
    const auto zero = std::find(bytes.begin(), bytes.end(), uint8_t(0));
    header.assign(bytes.begin(), zero);
    m_in.skip(uint64_t(length));
    m_end = m_in.pos();
    return Status::Ok();
}

bool TileFileReader::fits(uint64_t at, int64_t count, uint64_t each) const {
    if (at > m_data.size() || count < 0)
        return false;
    const uint64_t room = m_data.size() - at;
    return each == 0 || uint64_t(count) <= room / each;
}

bool TileFileReader::skipRecords(int64_t count, uint64_t each) {
    if (!fits(m_in.pos(), count, each))
        return false;
    return m_in.skip(uint64_t(count) * each);
}

uint32_t TileFileReader::attributeAt(const uint8_t* p) const {
    uint32_t value = 0;
    for (int i = m_attrBytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

Status TileFileReader::Scan(const std::vector<uint8_t>& items, const TileItemParams& params) {
    const Status damaged = Status::Fail(msg::kDamagedFile);
    m_params = params;
    for (const uint8_t item : items) {
        const uint64_t here = m_in.pos();
        switch (item) {
        case TileItem::SizeByte:
        case TileItem::SizeWord:
        case TileItem::SizeDword: {
            const int bytes = ValueBytes(item, TileItem::SizeByte);
            if (!m_in.readLE(bytes, m_width) || !m_in.readLE(bytes, m_height))
                return damaged;
            break;
        }
        case TileItem::CountByte:
        case TileItem::CountWord:
        case TileItem::CountDword:
            if (!m_in.readLE(ValueBytes(item, TileItem::CountByte), m_count))
                return damaged;
            break;
        case TileItem::TileData:
        case TileItem::AttrData:
        case TileItem::TileAttrData: {
            if (Status st = TileSet::CheckTileFormat(m_width, m_height, m_count); !st)
                return st;
            const bool pixels = item != TileItem::AttrData;
            const bool attributes = item != TileItem::TileData;
            const uint64_t each =
                (pixels ? tileBytes() : 0) + (attributes ? uint64_t(m_attrBytes) : 0);
            if (!skipRecords(m_count, each))
                return damaged;
            if (pixels) {
                m_tiles = here;
                m_tilesInterleaved = attributes;
                m_tilesEncoded = false;
            }
            if (attributes) {
                m_attributes = here;
                m_attributesInterleaved = pixels;
            }
            break;
        }
        case TileItem::Palette768:
            if (!m_in.skip(768))
                return damaged;
            m_palette768 = here;
            break;
        case TileItem::Palette1024:
            if (!m_in.skip(1024))
                return damaged;
            m_palette1024 = here;
            break;
        case TileItem::Pixels: {
            if (Status st = TileSet::CheckTileFormat(m_width, m_height, m_count); !st)
                return st;
            if (!CheckTileSize(params.pixels, m_width, m_height) ||
                !skipRecords(m_count, EncodedTileBytes(params.pixels, m_width, m_height)))
                return damaged;
            m_tiles = here;
            m_tilesInterleaved = false;
            m_tilesEncoded = true;
            break;
        }
        case TileItem::Palette:
            if (!m_in.skip(PaletteBytes(params.colours,
                                        int64_t(params.coloursPerPalette) * params.paletteCount)))
                return damaged;
            m_paletteEncoded = here;
            break;
        default:
            break; // not an item of this program: nothing to read
        }
    }
    m_end = m_in.pos();
    if (Status st = TileSet::CheckTileFormat(m_width, m_height, m_count); !st)
        return st;

    // A later size or count item may have changed what the noted blocks must hold.
    const uint64_t record = tileBytes() + uint64_t(m_attrBytes);
    if (m_tiles && m_tilesEncoded) {
        if (!CheckTileSize(params.pixels, m_width, m_height) ||
            !fits(*m_tiles, m_count, EncodedTileBytes(params.pixels, m_width, m_height)))
            return damaged;
    } else if (m_tiles && !fits(*m_tiles, m_count, m_tilesInterleaved ? record : tileBytes())) {
        return damaged;
    }
    if (m_attributes &&
        !fits(*m_attributes, m_count, m_attributesInterleaved ? record : uint64_t(m_attrBytes)))
        return damaged;
    return Status::Ok();
}

void TileFileReader::ApplyPalettes(std::span<uint8_t, 1024> colours) const {
    if (m_palette768) {
        const uint8_t* rgb = m_data.data() + *m_palette768;
        for (size_t i = 0; i < 256; ++i) {
            colours[4 * i] = uint8_t(rgb[3 * i + 2] << 2);
            colours[4 * i + 1] = uint8_t(rgb[3 * i + 1] << 2);
            colours[4 * i + 2] = uint8_t(rgb[3 * i] << 2);
            colours[4 * i + 3] = 0;
        }
    }
    if (m_palette1024)
        std::copy_n(m_data.data() + *m_palette1024, 1024, colours.begin());
}

Status TileFileReader::ApplyEncodedPalette(std::span<uint8_t, 1024> colours) const {
    if (!m_paletteEncoded)
        return Status::Ok();
    ColourTable table;
    std::copy(colours.begin(), colours.end(), table.begin());
    if (Status st = DecodeColours(m_params.colours, m_data.data() + *m_paletteEncoded, 0,
                                  m_params.coloursPerPalette * m_params.paletteCount, table);
        !st)
        return st;
    std::copy(table.begin(), table.end(), colours.begin());
    return Status::Ok();
}

} // namespace kesh
