#include "map/MapFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#include "base/Messages.h"
#include "io/InputLimits.h"
#include "io/SaveRecovery.h"
#include "layout/NesAttributeTable.h"
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
        else if (item == MapItem::CellFields || item == MapItem::CellAttributes ||
                 item == MapItem::NesAttributes)
            total += size_t(MapItemBytes(map.format(), item));
        else
            total += 8;
    }
    return total;
}

// Whether the map has cells, exactly width x height of them.
bool HasWholeGrid(const MapModel& map) {
    return map.hasCells() &&
           map.cells().size() == size_t(map.width()) * size_t(std::max(map.height(), 0));
}

// Whether tiles.WriteTileFile() succeeds: it only fails without tiles or
// with a pixel its layout cannot store.
bool TileFileWritable(const TileSet& tiles) {
    if (!tiles.CheckEncodings())
        return false;
    if (tiles.count() > 0)
        return true;
    ByteWriter probe;
    return tiles.WriteTileFile(probe);
}

void WriteCellsByte(ByteWriter& out, const std::vector<uint16_t>& cells) {
    // Narrowed a piece at a time, so a writer with a sink never holds them all.
    uint8_t piece[1 << 14];
    for (size_t first = 0; first < cells.size(); first += sizeof piece) {
        const size_t n = std::min(sizeof piece, cells.size() - first);
        for (size_t i = 0; i < n; ++i)
            piece[i] = static_cast<uint8_t>(cells[first + i]);
        out.write(piece, n);
    }
}

void WriteCellsWord(ByteWriter& out, const std::vector<uint16_t>& cells) {
    if constexpr (std::endian::native == std::endian::little) {
        out.write(cells.data(), cells.size() * 2);
    } else {
        for (uint16_t c : cells)
            out.writeU16(c);
    }
}

// One word per cell, each packed from the cell's tile number and
// attribute bits by the word's fields.
void WriteFieldWords(ByteWriter& out, const MapModel& map, const CellWord& word, int firstUser) {
    const size_t bytes = size_t(word.bytes());
    uint8_t piece[1 << 14];
    const size_t perPiece = sizeof piece / bytes;
    const auto& cells = map.cells();
    for (size_t first = 0; first < cells.size(); first += perPiece) {
        const size_t n = std::min(perPiece, cells.size() - first);
        uint8_t* at = piece;
        for (size_t i = first; i < first + n; ++i) {
            const uint32_t value = PackCell(word, cells[i], map.attrAt(i), firstUser);
            for (size_t b = 0; b < bytes; ++b)
                *at++ = uint8_t(value >> (8 * (word.bigEndian ? bytes - 1 - b : b)));
        }
        out.write(piece, n * bytes);
    }
}

void WriteNesTable(ByteWriter& out, const MapModel& map) {
    std::vector<uint8_t> table(size_t(NesAttributeBytes(map.width(), map.height())));
    EncodeNesAttributes(map.width(), map.height(),
                        map.hasAttrs() ? map.attrs().data() : nullptr, table.data());
    out.write(table.data(), table.size());
}

} // namespace

void WriteValue(ByteWriter& out, uint32_t value, int widthCode) {
    out.writeLE(value, BytesForWidthCode(widthCode));
}

Status WriteMapFile(const MapModel& map, const TileSet& tiles, ByteWriter& out) {
    const MapFormat& format = map.format();
    if (!HasWholeGrid(map))
        return Status::Fail(msg::kBadMapSize);
    // A palette both in a word and in the table would be read back from one of them only.
    if (format.HasNesAttributes())
        if (Status st = CheckCellLayout(format.cells, true); !st)
            return st;
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
            if (Status st = tiles.CheckEncodings(); !st)
                return st;
            if (!tiles.WriteTileFile(out))
                return Status::Fail(msg::kNoTilesToEmbed);
            break;
        case MapItem::CellsByte:
            WriteCellsByte(out, map.cells());
            break;
        case MapItem::CellsWord:
            WriteCellsWord(out, map.cells());
            break;
        case MapItem::CellFields:
            if (!format.cells.word.fields.empty())
                WriteFieldWords(out, map, format.cells.word, 0);
            break;
        case MapItem::CellAttributes:
            if (!format.cells.plane.fields.empty())
                WriteFieldWords(out, map, format.cells.plane, UserFieldCount(format.cells.word));
            break;
        case MapItem::NesAttributes:
            WriteNesTable(out, map);
            break;
        default:
            break;
        }
    }
    return Status::Ok();
}

Status SaveMapFiles(FileSystem& fs, const std::string& path, const MapModel& map,
                    const TileSet& tiles, const std::vector<FileSource>& beside) {
    const std::string kmfPath = DescriptorPath(path, kMapDescriptorExt);
    // A map named like its own descriptor would be overwritten by it.
    if (kmfPath == path)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    // What WriteMapFile would refuse is refused before any file is touched.
    const bool embeds = std::find(map.format().items.begin(), map.format().items.end(),
                                  MapItem::TileFile) != map.format().items.end();
    if (!HasWholeGrid(map) || (embeds && !TileFileWritable(tiles))) {
        ByteWriter out;
        return WriteMapFile(map, tiles, out);
    }
    // The .map goes to its temporary file as it is made; the cells are
    // written straight from the grid.
    const std::vector<uint8_t> kmf = BuildKmf(map.format(), tiles.format());
    std::vector<FileSource> files{
        {path, [&](ByteWriter& out) { return WriteMapFile(map, tiles, out); }},
        {kmfPath, [&kmf](ByteWriter& out) {
             out.write(kmf.data(), kmf.size());
             return Status::Ok();
         }}};
    files.insert(files.end(), beside.begin(), beside.end());
    return SaveFiles(fs, files);
}

namespace {

// Runs `reader` and, when the whole file was read, puts what it read in place.
// `cutShort` tells whether the bytes read were cut short under the reader.
Status TakeRead(MapReader& reader, const MapReadLayout& layout, MapModel& map, TileSet& tiles,
                const std::function<bool()>& cutShort = {}) {
    Status st = reader.Run();
    if (!st)
        return st;
    if (cutShort && cutShort())
        return Status::Fail(msg::kDamagedFile);
    st = map.ReplaceGrid(reader.TakeFormat(), std::move(reader.Cells()),
                         std::move(reader.Attrs()));
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
        tiles.format().params = layout.descriptor.tile.params;
        tiles.format().tileLimit = layout.descriptor.tile.tileLimit;
        tiles.format().attrWidth = layout.descriptor.tile.attrWidth;
    }
    return Status::Ok();
}

} // namespace

Status ReadMapFile(std::span<const uint8_t> mapBytes, const MapReadLayout& layout, MapModel& map,
                   TileSet& tiles) {
    MapReader reader(mapBytes, layout, tiles);
    return TakeRead(reader, layout, map, tiles);
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
    // cannot be done, whatever is there is read. What dead saves left goes.
    const std::string kmfPath = DescriptorPath(mapPath, kMapDescriptorExt);
    (void)FinishInterruptedSaves(fs, {mapPath, kmfPath});
    RemoveDeadSavesLeftovers(fs, {mapPath, kmfPath});
    const auto bytes = fs.readFile(kmfPath, kMaxDescriptorBytes);
    missing = bytes.error() == ReadError::CannotOpen;
    if (!bytes)
        return bytes.Refusal(Status::Fail(msg::kKmfMissing));
    return ParseKmf(*bytes, out);
}

Status LoadMapFile(FileSystem& fs, const std::string& mapPath, const MapReadLayout& layout,
                   MapModel& map, TileSet& tiles) {
    const auto bytes = fs.readBytes(mapPath, kMaxMapFileBytes);
    // A file larger than the largest map can be holds a map too large to open.
    if (bytes.error() == ReadError::TooLarge)
        return Status::Fail(MapModel::TooLargeMessage() + "\n" + bytes.status().message());
    if (!bytes)
        return bytes.status();
    MapReader reader(bytes->span(), layout, tiles);
    reader.SetRelease([&bytes](size_t offset, size_t n) { bytes->Release(offset, n); });
    // Another program may shorten the file while we read it.
    return TakeRead(reader, layout, map, tiles, [&bytes] { return bytes->cutShort(); });
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
