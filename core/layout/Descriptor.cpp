#include "layout/Descriptor.h"

#include <algorithm>

#include "base/Messages.h"
#include "io/ByteReader.h"
#include "io/ByteWriter.h"

namespace kesh {

namespace {

void WriteItems(ByteWriter& out, const std::vector<uint8_t>& items) {
    const size_t n = std::min(items.size(), size_t(kMaxLayoutItems));
    out.writeU8(uint8_t(n));
    out.write(items.data(), n);
}

void WriteTilePart(ByteWriter& out, const TileFormat& tile) {
    out.writeU8(uint8_t(HeaderLength(tile.header)));
    out.writeU8(uint8_t(tile.attrWidth));
    WriteItems(out, tile.items);
}

bool ReadItems(ByteReader& in, std::vector<uint8_t>& items) {
    uint8_t count = 0;
    if (!in.readU8(count) || count > kMaxLayoutItems)
        return false;
    const auto codes = in.peek(count);
    if (codes.size() != count)
        return false;
    items.assign(codes.begin(), codes.end());
    return in.skip(count);
}

bool ReadTilePart(ByteReader& in, TileDescriptor& tile) {
    uint8_t length = 0;
    uint8_t attrWidth = 0;
    if (!in.readU8(length) || !in.readU8(attrWidth))
        return false;
    tile.headerLength = length;
    tile.attrWidth = attrWidth <= 2 ? AttrWidth(attrWidth) : 0;
    return ReadItems(in, tile.items);
}

constexpr uint8_t kExtensionMagic[4] = {0xFF, 'K', 'X', 0x01};

void WriteWord(ByteWriter& out, const CellWord& word) {
    out.writeU8(word.bits);
    out.writeU8(word.bigEndian ? 1 : 0);
    out.writeU8(uint8_t(word.fields.size()));
    for (const CellField& field : word.fields) {
        out.writeU8(uint8_t(field.kind));
        out.writeU8(field.first);
        out.writeU8(field.width);
        out.writeU8(uint8_t(field.name.size()));
        out.write(field.name);
    }
}

bool ReadWord(ByteReader& in, CellWord& word) {
    uint8_t flags = 0;
    uint8_t count = 0;
    if (!in.readU8(word.bits) || !in.readU8(flags) || flags > 1 || !in.readU8(count) ||
        count > 32)
        return false;
    word.bigEndian = flags == 1;
    for (int i = 0; i < count; ++i) {
        CellField field;
        uint8_t kind = 0;
        uint8_t nameLength = 0;
        if (!in.readU8(kind) || kind > uint8_t(CellFieldKind::User) || !in.readU8(field.first) ||
            !in.readU8(field.width) || !in.readU8(nameLength))
            return false;
        field.kind = CellFieldKind(kind);
        const auto name = in.peek(nameLength);
        if (name.size() != nameLength)
            return false;
        field.name.assign(name.begin(), name.end());
        in.skip(nameLength);
        word.fields.push_back(std::move(field));
    }
    return true;
}

std::vector<uint8_t> CellSection(const CellLayout& cells) {
    ByteWriter out;
    WriteWord(out, cells.word);
    WriteWord(out, cells.plane);
    out.writeU16(cells.coloursPerPalette);
    return out.take();
}

bool ReadCellSection(std::span<const uint8_t> bytes, CellLayout& cells) {
    ByteReader in(bytes);
    CellLayout read;
    read.word = {};
    read.plane = {};
    if (!ReadWord(in, read.word) || !ReadWord(in, read.plane) ||
        !in.readU16(read.coloursPerPalette) || !in.atEnd() || !CheckCellLayout(read))
        return false;
    cells = std::move(read);
    return true;
}

std::vector<uint8_t> ParamsSection(const TileItemParams& params) {
    ByteWriter out;
    out.writeU8(uint8_t(params.pixels));
    out.writeU8(uint8_t(params.colours));
    out.writeU16(params.coloursPerPalette);
    out.writeU16(params.paletteCount);
    return out.take();
}

bool ReadParamsSection(std::span<const uint8_t> bytes, TileItemParams& params) {
    ByteReader in(bytes);
    uint8_t pixels = 0, colours = 0;
    TileItemParams read;
    if (!in.readU8(pixels) || !in.readU8(colours) || !in.readU16(read.coloursPerPalette) ||
        !in.readU16(read.paletteCount) || !in.atEnd() || pixels >= kPixelEncodingCount ||
        colours >= kColourEncodingCount)
        return false;
    read.pixels = PixelEncoding(pixels);
    read.colours = ColourEncoding(colours);
    if (!ValidTileItemParams(read))
        return false;
    params = read;
    return true;
}

bool HasParamItems(const std::vector<uint8_t>& items) {
    return std::any_of(items.begin(), items.end(), [](uint8_t code) {
        return code == TileItem::Pixels || code == TileItem::Palette;
    });
}

using Sections = std::vector<std::pair<uint8_t, std::vector<uint8_t>>>;

void AddParamsSection(const TileFormat& tile, Sections& sections) {
    if (tile.HasParamItems())
        sections.emplace_back(DescriptorSection::TileParams, ParamsSection(tile.params));
    if (tile.tileLimit != 0) {
        ByteWriter out;
        out.writeU32(tile.tileLimit);
        sections.emplace_back(DescriptorSection::TileLimit, out.take());
    }
}

// The tile limit's section; false for a damaged one.
bool ReadLimitSection(std::span<const uint8_t> bytes, uint32_t& limit) {
    ByteReader in(bytes);
    uint32_t read = 0;
    if (!in.readU32(read) || !in.atEnd() || read == 0 || read > 0xFFFF)
        return false;
    limit = read;
    return true;
}

void WriteExtension(ByteWriter& out,
                    const std::vector<std::pair<uint8_t, std::vector<uint8_t>>>& sections) {
    if (sections.empty())
        return;
    out.write(kExtensionMagic, sizeof kExtensionMagic);
    for (const auto& [tag, payload] : sections) {
        out.writeU8(tag);
        out.writeU16(uint16_t(payload.size()));
        out.write(payload.data(), payload.size());
    }
}

// Reads the extension, if any, after the plain bytes; `onSection` takes each
// section and says whether it understood it.
template <typename OnSection> bool ReadExtension(ByteReader& in, OnSection onSection) {
    if (in.atEnd())
        return true;
    const auto magic = in.peek(sizeof kExtensionMagic);
    if (magic.size() != sizeof kExtensionMagic ||
        !std::equal(magic.begin(), magic.end(), kExtensionMagic))
        return false;
    in.skip(sizeof kExtensionMagic);
    while (!in.atEnd()) {
        uint8_t tag = 0;
        uint16_t length = 0;
        if (!in.readU8(tag) || !in.readU16(length))
            return false;
        const auto payload = in.peek(length);
        if (payload.size() != length || !onSection(tag, payload))
            return false;
        in.skip(length);
    }
    return true;
}

} // namespace

std::vector<uint8_t> BuildKtf(const TileFormat& tile) {
    ByteWriter out;
    WriteTilePart(out, tile);
    Sections sections;
    AddParamsSection(tile, sections);
    WriteExtension(out, sections);
    return out.take();
}

std::vector<uint8_t> BuildKmf(const MapFormat& map, const TileFormat& tile) {
    ByteWriter out;
    out.writeU8(uint8_t(HeaderLength(map.header)));
    WriteItems(out, map.items);
    WriteTilePart(out, tile);
    Sections sections;
    if (map.HasFieldItems())
        sections.emplace_back(DescriptorSection::CellLayout, CellSection(map.cells));
    if (map.HasNesAttributes())
        sections.emplace_back(DescriptorSection::NesTable, std::vector<uint8_t>{});
    AddParamsSection(tile, sections);
    WriteExtension(out, sections);
    return out.take();
}

// Bytes after the last item are not accepted: this program never writes
// them, and a file that has them is most likely not a descriptor at all.
Status ParseKtf(std::span<const uint8_t> bytes, TileDescriptor& out) {
    ByteReader in(bytes);
    TileDescriptor result;
    bool hasParams = false;
    bool hasLimit = false;
    const auto onSection = [&](uint8_t tag, std::span<const uint8_t> payload) {
        if (tag == DescriptorSection::TileLimit && !hasLimit) {
            hasLimit = true;
            return ReadLimitSection(payload, result.tileLimit);
        }
        if (tag != DescriptorSection::TileParams || hasParams)
            return false;
        hasParams = true;
        return ReadParamsSection(payload, result.params);
    };
    if (!ReadTilePart(in, result) || !ReadExtension(in, onSection) ||
        hasParams != HasParamItems(result.items))
        return Status::Fail(msg::kDamagedFile);
    out = std::move(result);
    return Status::Ok();
}

Status ParseKmf(std::span<const uint8_t> bytes, MapDescriptor& out) {
    ByteReader in(bytes);
    MapDescriptor result;
    uint8_t length = 0;
    bool hasCells = false;
    bool hasParams = false;
    bool hasNes = false;
    bool hasLimit = false;
    const auto onSection = [&](uint8_t tag, std::span<const uint8_t> payload) {
        if (tag == DescriptorSection::NesTable && !hasNes) {
            hasNes = true;
            return payload.empty();
        }
        if (tag == DescriptorSection::TileLimit && !hasLimit) {
            hasLimit = true;
            return ReadLimitSection(payload, result.tile.tileLimit);
        }
        if (tag == DescriptorSection::TileParams && !hasParams) {
            hasParams = true;
            return ReadParamsSection(payload, result.tile.params);
        }
        if (tag != DescriptorSection::CellLayout || hasCells)
            return false;
        hasCells = true;
        return ReadCellSection(payload, result.cells);
    };
    if (!in.readU8(length) || !ReadItems(in, result.items) || !ReadTilePart(in, result.tile) ||
        !ReadExtension(in, onSection) || hasParams != HasParamItems(result.tile.items))
        return Status::Fail(msg::kDamagedFile);
    const bool nesItem = std::find(result.items.begin(), result.items.end(),
                                   MapItem::NesAttributes) != result.items.end();
    if (hasNes != nesItem || (hasNes && !CheckCellLayout(result.cells, true)))
        return Status::Fail(msg::kDamagedFile);
    result.headerLength = length;
    out = std::move(result);
    return Status::Ok();
}

std::string DescriptorPath(std::string_view dataPath, std::string_view extension) {
    const size_t slash = dataPath.find_last_of('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const size_t dot = dataPath.find_last_of('.');
    const size_t cut = dot != std::string_view::npos && dot >= nameStart ? dot : dataPath.size();
    std::string path(dataPath.substr(0, cut));
    path += extension;
    return path;
}

} // namespace kesh
