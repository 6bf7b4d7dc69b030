#include "map/MapReader.h"

#include <bit>
#include <cstring>
#include <new>

#include "app/Messages.h"
#include "map/MapModel.h"

namespace kesh {

namespace {

// The bytes up to the first zero byte, as a header string is kept.
std::string HeaderFrom(std::span<const uint8_t> bytes) {
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    return std::string(p, strnlen(p, bytes.size()));
}

} // namespace

MapReader::MapReader(std::span<const uint8_t> bytes, const MapReadLayout& layout,
                     const TileSet& current)
    : m_in(bytes), m_layout(layout), m_current(current) {
    if (layout.hasSize) {
        m_width = layout.width;
        m_height = layout.height;
    }
}

Status MapReader::Run() {
    const int headerLength = m_layout.descriptor.headerLength;
    if (headerLength > 0) {
        const auto header = m_in.peek(uint64_t(headerLength));
        if (header.size() != size_t(headerLength))
            return Status::Fail(msg::kDamagedFile);
        m_format.header = HeaderFrom(header);
        m_in.skip(uint64_t(headerLength));
    }
    for (uint8_t item : m_layout.descriptor.items) {
        Status st = ReadItem(item);
        if (!st)
            return st;
    }
    return EnsureCells();
}

MapFormat MapReader::TakeFormat() {
    m_format.items = m_layout.descriptor.items;
    m_format.width = int32_t(*m_width);
    m_format.height = int32_t(*m_height);
    return std::move(m_format);
}

Status MapReader::ReadItem(uint8_t item) {
    switch (item) {
    case MapItem::SizeByte:
        return ReadSize(1);
    case MapItem::SizeWord:
        return ReadSize(2);
    case MapItem::SizeDword:
        return ReadSize(4);
    case MapItem::TileFile:
        return ReadTiles();
    case MapItem::CellsByte:
        return ReadCells(1);
    case MapItem::CellsWord:
        return ReadCells(2);
    default:
        return Status::Ok();
    }
}

Status MapReader::ReadSize(int bytes) {
    int32_t width = 0;
    int32_t height = 0;
    if (!m_in.readLE(bytes, width) || !m_in.readLE(bytes, height))
        return Status::Fail(msg::kDamagedFile);
    // The grid was made for the size read before; a layout that changes it
    // afterwards does not describe these cells.
    if (m_gridMade && (width != *m_width || height != *m_height))
        return Status::Fail(msg::kDamagedFile);
    m_width = width;
    m_height = height;
    return Status::Ok();
}

Status MapReader::ReadTiles() {
    if (!m_tiles) {
        m_tiles.emplace();
        // Colours the embedded file does not set stay as the user has them.
        ColourTable table;
        std::memcpy(table.data(), m_current.colourTable(), table.size());
        m_tiles->SetColourTable(table);
        m_tiles->setCurrent(m_current.current());
    }
    m_tiles->format().items = m_layout.descriptor.tile.items;
    m_tiles->format().attrWidth = m_layout.descriptor.tile.attrWidth;
    return m_tiles->ReadTileFile(m_in, m_layout.descriptor.tile.headerLength);
}

Status MapReader::ReadCells(int bytesPerCell) {
    // A file too short for its cells fails before a grid is made for them,
    // so a few bytes of header cannot make us allocate and fill 128 MiB.
    if (m_width && m_height && MapModel::IsValidSize(*m_width, *m_height) &&
        m_in.remaining() < uint64_t(*m_width) * uint64_t(*m_height) * uint64_t(bytesPerCell))
        return Status::Fail(msg::kDamagedFile);
    Status st = EnsureCells();
    if (!st)
        return st;
    const auto data = m_in.peek(uint64_t(m_cells.size()) * uint64_t(bytesPerCell));
    if (data.size() != m_cells.size() * size_t(bytesPerCell))
        return Status::Fail(msg::kDamagedFile);
    if (bytesPerCell == 1) {
        for (size_t i = 0; i < m_cells.size(); ++i)
            m_cells[i] = data[i];
    } else if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(m_cells.data(), data.data(), data.size());
    } else {
        for (size_t i = 0; i < m_cells.size(); ++i)
            m_cells[i] = uint16_t(data[2 * i] | data[2 * i + 1] << 8);
    }
    m_in.skip(data.size());
    return Status::Ok();
}

Status MapReader::EnsureCells() {
    if (!m_width || !m_height)
        return Status::Fail(msg::kNoTileSize);
    if (m_gridMade)
        return Status::Ok();
    if (!MapModel::IsValidSize(*m_width, *m_height))
        return Status::Fail(msg::kBadMapSize);
    try {
        m_cells.assign(size_t(*m_width) * size_t(*m_height), kEmptyCell);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    m_gridMade = true;
    return Status::Ok();
}

} // namespace kesh
