#include "map/MapReader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <new>

#include "base/Messages.h"
#include "io/HugePages.h"
#include "layout/NesAttributeTable.h"
#include "map/MapModel.h"

namespace kesh {

namespace {

// The bytes up to the first zero byte, as a header string is kept.
std::string HeaderFrom(std::span<const uint8_t> bytes) {
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    return std::string(p, strnlen(p, bytes.size()));
}

// The cells stored two bytes each, little-endian, at any alignment, read as
// a range of tile numbers.
class WordCells {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = uint16_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const uint16_t*;
    using reference = uint16_t;

    WordCells() = default;
    explicit WordCells(const uint8_t* at) : m_at(at) {}
    uint16_t operator*() const { return uint16_t(m_at[0] | m_at[1] << 8); }
    uint16_t operator[](difference_type i) const { return *(*this + i); }
    WordCells& operator++() {
        m_at += 2;
        return *this;
    }
    WordCells operator++(int) {
        WordCells was = *this;
        m_at += 2;
        return was;
    }
    WordCells& operator--() {
        m_at -= 2;
        return *this;
    }
    WordCells operator--(int) {
        WordCells was = *this;
        m_at -= 2;
        return was;
    }
    WordCells& operator+=(difference_type n) {
        m_at += 2 * n;
        return *this;
    }
    WordCells& operator-=(difference_type n) {
        m_at -= 2 * n;
        return *this;
    }
    friend WordCells operator+(WordCells it, difference_type n) { return it += n; }
    friend WordCells operator+(difference_type n, WordCells it) { return it += n; }
    friend WordCells operator-(WordCells it, difference_type n) { return it -= n; }
    friend difference_type operator-(WordCells a, WordCells b) { return (a.m_at - b.m_at) / 2; }
    friend auto operator<=>(WordCells a, WordCells b) = default;

private:
    const uint8_t* m_at = nullptr;
};

// Whether the words at `bytes` can be copied as they are.
bool CopiesAsWords(std::span<const uint8_t> bytes) {
    return std::endian::native == std::endian::little &&
           reinterpret_cast<uintptr_t>(bytes.data()) % alignof(uint16_t) == 0;
}

// Adds the cells stored in `bytes` to the end of `cells` (room reserved).
void AppendCells(std::span<const uint8_t> bytes, int bytesPerCell, std::vector<uint16_t>& cells) {
    if (bytesPerCell == 1) {
        cells.insert(cells.end(), bytes.begin(), bytes.end());
    } else if (CopiesAsWords(bytes)) {
        const auto* words = reinterpret_cast<const uint16_t*>(bytes.data());
        cells.insert(cells.end(), words, words + bytes.size() / 2);
    } else {
        cells.insert(cells.end(), WordCells(bytes.data()), WordCells(bytes.data() + bytes.size()));
    }
}

// Overwrites the cells from `out` on with those stored in `bytes`.
void CopyCells(std::span<const uint8_t> bytes, int bytesPerCell, uint16_t* out) {
    if (bytesPerCell == 1)
        std::copy(bytes.begin(), bytes.end(), out);
    else if (std::endian::native == std::endian::little)
        std::memcpy(out, bytes.data(), bytes.size());
    else
        std::copy(WordCells(bytes.data()), WordCells(bytes.data() + bytes.size()), out);
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
    m_format.cells = m_layout.descriptor.cells;
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
    case MapItem::CellFields:
        return ReadFieldWords(m_layout.descriptor.cells.word, 0);
    case MapItem::CellAttributes:
        return ReadFieldWords(m_layout.descriptor.cells.plane,
                              UserFieldCount(m_layout.descriptor.cells.word));
    case MapItem::NesAttributes:
        return ReadNesTable();
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
    m_tiles->format().params = m_layout.descriptor.tile.params;
    m_tiles->format().tileLimit = m_layout.descriptor.tile.tileLimit;
    m_tiles->format().attrWidth = m_layout.descriptor.tile.attrWidth;
    return m_tiles->ReadTileFile(m_in, m_layout.descriptor.tile.headerLength);
}

Status MapReader::ReadCells(int bytesPerCell) {
    // A file too short for its cells fails before a grid is made for them,
    // so a few bytes of header cannot make us allocate and fill 512 MiB.
    if (m_width && m_height && MapModel::IsValidSize(*m_width, *m_height) &&
        m_in.remaining() < uint64_t(*m_width) * uint64_t(*m_height) * uint64_t(bytesPerCell))
        return Status::Fail(msg::kDamagedFile);
    Status st = CheckGridSize();
    if (!st)
        return st;
    const size_t count = size_t(*m_width) * size_t(*m_height);
    const auto data = m_in.peek(uint64_t(count) * uint64_t(bytesPerCell));
    if (data.size() != count * size_t(bytesPerCell))
        return Status::Fail(msg::kDamagedFile);
    // The first cell item makes the grid straight from the bytes, with no
    // filling first; a later one overwrites it. Either goes in pieces, each
    // let go when copied, so a mapped file and the grid are never both held
    // whole.
    try {
        if (!m_gridMade) {
            m_cells.clear();
            m_cells.reserve(count);
            AdviseHugePages(m_cells.data(), count * sizeof(uint16_t));
        }
        constexpr size_t kPiece = size_t(1) << 20; // cells
        for (size_t first = 0; first < count; first += kPiece) {
            const size_t n = std::min(kPiece, count - first);
            const auto piece = data.subspan(first * size_t(bytesPerCell), n * size_t(bytesPerCell));
            if (m_gridMade)
                CopyCells(piece, bytesPerCell, m_cells.data() + first);
            else
                AppendCells(piece, bytesPerCell, m_cells);
            if (m_release)
                m_release(m_in.pos() + first * size_t(bytesPerCell), piece.size());
        }
    } catch (const std::bad_alloc&) {
        m_cells = {};
        return Status::Fail(msg::kAllocFailed);
    }
    m_gridMade = true;
    m_in.skip(data.size());
    return Status::Ok();
}

Status MapReader::ReadFieldWords(const CellWord& word, int firstUser) {
    if (word.fields.empty())
        return Status::Ok();
    const size_t bytes = size_t(word.bytes());
    if (m_width && m_height && MapModel::IsValidSize(*m_width, *m_height) &&
        m_in.remaining() < uint64_t(*m_width) * uint64_t(*m_height) * bytes)
        return Status::Fail(msg::kDamagedFile);
    Status st = EnsureCells();
    if (!st)
        return st;
    const size_t count = m_cells.size();
    const auto data = m_in.peek(uint64_t(count) * bytes);
    if (data.size() != count * bytes)
        return Status::Fail(msg::kDamagedFile);
    try {
        if (m_attrs.size() != count)
            m_attrs.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    const uint8_t* at = data.data();
    for (size_t i = 0; i < count; ++i, at += bytes) {
        uint32_t value = 0;
        for (size_t b = 0; b < bytes; ++b)
            value |= uint32_t(at[b]) << (8 * (word.bigEndian ? bytes - 1 - b : b));
        UnpackCell(word, value, m_cells[i], m_attrs[i], firstUser);
    }
    if (m_release)
        m_release(m_in.pos(), data.size());
    m_in.skip(data.size());
    return Status::Ok();
}

Status MapReader::ReadNesTable() {
    if (m_width && m_height && MapModel::IsValidSize(*m_width, *m_height) &&
        m_in.remaining() < NesAttributeBytes(*m_width, *m_height))
        return Status::Fail(msg::kDamagedFile);
    Status st = EnsureCells();
    if (!st)
        return st;
    const uint64_t bytes = NesAttributeBytes(*m_width, *m_height);
    const auto data = m_in.peek(bytes);
    if (data.size() != bytes)
        return Status::Fail(msg::kDamagedFile);
    try {
        if (m_attrs.size() != m_cells.size())
            m_attrs.assign(m_cells.size(), 0);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    DecodeNesAttributes(data.data(), int32_t(*m_width), int32_t(*m_height), m_attrs.data());
    if (m_release)
        m_release(m_in.pos(), data.size());
    m_in.skip(data.size());
    return Status::Ok();
}

Status MapReader::CheckGridSize() const {
    if (!m_width || !m_height)
        return Status::Fail(msg::kNoTileSize);
    if (!m_gridMade)
        return MapModel::CheckSize(*m_width, *m_height);
    return Status::Ok();
}

Status MapReader::EnsureCells() {
    Status st = CheckGridSize();
    if (!st || m_gridMade)
        return st;
    try {
        m_cells.assign(size_t(*m_width) * size_t(*m_height), kEmptyCell);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    m_gridMade = true;
    return Status::Ok();
}

} // namespace kesh
