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

} // namespace

std::vector<uint8_t> BuildKtf(const TileFormat& tile) {
    ByteWriter out;
    WriteTilePart(out, tile);
    return out.take();
}

std::vector<uint8_t> BuildKmf(const MapFormat& map, const TileFormat& tile) {
    ByteWriter out;
    out.writeU8(uint8_t(HeaderLength(map.header)));
    WriteItems(out, map.items);
    WriteTilePart(out, tile);
    return out.take();
}

// Bytes after the last item are not accepted: this program never writes
// them, and a file that has them is most likely not a descriptor at all.
Status ParseKtf(std::span<const uint8_t> bytes, TileDescriptor& out) {
    ByteReader in(bytes);
    TileDescriptor result;
    if (!ReadTilePart(in, result) || !in.atEnd())
        return Status::Fail(msg::kDamagedFile);
    out = std::move(result);
    return Status::Ok();
}

Status ParseKmf(std::span<const uint8_t> bytes, MapDescriptor& out) {
    ByteReader in(bytes);
    MapDescriptor result;
    uint8_t length = 0;
    if (!in.readU8(length) || !ReadItems(in, result.items) || !ReadTilePart(in, result.tile) ||
        !in.atEnd())
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
