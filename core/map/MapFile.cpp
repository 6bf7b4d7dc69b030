#include "map/MapFile.h"

#include <bit>
#include <cstring>

#include "app/Messages.h"
#include "io/SaveRecovery.h"
#include "map/MapReader.h"

namespace kesh {

namespace {

int SizeWidthCode(uint8_t item) {
    return item == MapItem::SizeByte ? 0 : item == MapItem::SizeWord ? 1 : 2;
}

// A first guess at the file size, so the cells are copied into place once.
size_t EstimateSize(const MapModel& map, const TileSet& tiles) {
    const size_t cells = map.cells().size();
    const size_t tileBlock =
        size_t(tiles.count()) *
            (size_t(std::max(tiles.tileWidth(), 0)) * size_t(std::max(tiles.tileHeight(), 0)) + 4) +
        2048;
    size_t total = map.format().header.size();
    for (uint8_t item : map.format().items) {
        if (item == MapItem::CellsByte)
            total += cells;
        else if (item == MapItem::CellsWord)
            total += cells * 2;
        else if (item == MapItem::TileFile)
            total += tileBlock;
        else
            total += 8;
    }
    return total;
}

void WriteCellsByte(ByteWriter& out, const std::vector<uint16_t>& cells) {
    auto& bytes = out.bytes();
    const size_t start = bytes.size();
    bytes.resize(start + cells.size());
    uint8_t* dst = bytes.data() + start;
    for (size_t i = 0; i < cells.size(); ++i)
        dst[i] = static_cast<uint8_t>(cells[i]);
}

void WriteCellsWord(ByteWriter& out, const std::vector<uint16_t>& cells) {
    if constexpr (std::endian::native == std::endian::little) {
        out.write(cells.data(), cells.size() * 2);
    } else {
        for (uint16_t c : cells)
            out.writeU16(c);
    }
}

} // namespace

void WriteValue(ByteWriter& out, uint32_t value, int widthCode) {
    out.writeLE(value, BytesForWidthCode(widthCode));
}

Status WriteMapFile(const MapModel& map, const TileSet& tiles, ByteWriter& out) {
    const MapFormat& format = map.format();
    if (!map.hasCells() ||
        map.cells().size() != size_t(map.width()) * size_t(std::max(map.height(), 0)))
        return Status::Fail(msg::kBadMapSize);
    out.reserve(out.size() + EstimateSize(map, tiles));
    out.write(std::string_view(format.header).substr(0, size_t(HeaderLength(format.header))));
    for (uint8_t item : format.items) {
        switch (item) {
        case MapItem::SizeByte:
        case MapItem::SizeWord:
        case MapItem::SizeDword:
            WriteValue(out, uint32_t(map.width()), SizeWidthCode(item));
            WriteValue(out, uint32_t(map.height()), SizeWidthCode(item));
            break;
        case MapItem::TileFile:
            if (!tiles.WriteTileFile(out))
                return Status::Fail(msg::kNoTilesToEmbed);
            break;
        case MapItem::CellsByte:
            WriteCellsByte(out, map.cells());
            break;
        case MapItem::CellsWord:
            WriteCellsWord(out, map.cells());
            break;
        default:
            break;
        }
    }
    return Status::Ok();
}

Status SaveMapFiles(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles) {
    const std::string kmfPath = DescriptorPath(path, kMapDescriptorExt);
    // A map named like its own descriptor would be overwritten by it.
    if (kmfPath == path)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    ByteWriter out;
    Status st = WriteMapFile(map, tiles, out);
    if (!st)
        return st;
    std::vector<FileContents> files(2);
    files[0].path = path;
    files[0].bytes = out.take();
    files[1].path = kmfPath;
    files[1].bytes = BuildKmf(map.format(), tiles.format());
    return SaveFiles(fs, files);
}

Status ReadMapFile(std::span<const uint8_t> mapBytes, const MapReadLayout& layout, MapModel& map,
                   TileSet& tiles) {
    MapReader reader(mapBytes, layout, tiles);
    Status st = reader.Run();
    if (!st)
        return st;
    st = map.ReplaceGrid(reader.TakeFormat(), std::move(reader.Cells()));
    if (!st)
        return st;
    // Nothing can fail from here on.
    if (auto& read = reader.Tiles()) {
        const uint64_t revision = tiles.revision();
        tiles = std::move(*read);
        // Views compare revisions to drop what they drew from the old set.
        while (tiles.revision() <= revision)
            tiles.touch();
    } else {
        tiles.format().items = layout.descriptor.tile.items;
        tiles.format().attrWidth = layout.descriptor.tile.attrWidth;
    }
    return Status::Ok();
}

Status ReadMapFile(std::span<const uint8_t> mapBytes, std::span<const uint8_t> kmfBytes,
                   MapModel& map, TileSet& tiles) {
    MapReadLayout layout;
    Status st = ParseKmf(kmfBytes, layout.descriptor);
    if (!st)
        return st;
    return ReadMapFile(mapBytes, layout, map, tiles);
}

Status LoadMapDescriptor(FileSystem& fs, const std::string& mapPath, MapDescriptor& out,
                         bool& missing) {
    // A save of the pair cut short is finished or undone first; when that
    // cannot be done, whatever is there is read.
    const std::string kmfPath = DescriptorPath(mapPath, kMapDescriptorExt);
    (void)FinishInterruptedSaves(fs, {mapPath, kmfPath});
    const auto bytes = fs.readFile(kmfPath);
    missing = !bytes;
    if (!bytes)
        return Status::Fail(msg::kKmfMissing);
    return ParseKmf(*bytes, out);
}

Status LoadMapFile(FileSystem& fs, const std::string& mapPath, const MapReadLayout& layout,
                   MapModel& map, TileSet& tiles) {
    const auto bytes = fs.readFile(mapPath);
    if (!bytes)
        return Status::Fail(std::string(msg::kOpenFailed) + "\n" + mapPath);
    return ReadMapFile(*bytes, layout, map, tiles);
}

Status OpenMapFiles(FileSystem& fs, const std::string& mapPath, MapModel& map, TileSet& tiles,
                    bool& descriptorMissing) {
    MapReadLayout layout;
    Status st = LoadMapDescriptor(fs, mapPath, layout.descriptor, descriptorMissing);
    if (!st)
        return st;
    return LoadMapFile(fs, mapPath, layout, map, tiles);
}

} // namespace kesh
