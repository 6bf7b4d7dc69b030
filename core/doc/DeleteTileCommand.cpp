#include "doc/DeleteTileCommand.h"

#include <algorithm>

#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

DeleteTileCommand::DeleteTileCommand(Document& doc, int32_t number)
    : m_number(number), m_currentBefore(doc.tiles().current()) {
    const TileList& tiles = doc.tiles().tiles();
    m_attribute = tiles.AttributeAt(number);
    const uint8_t* pixels = tiles.PixelsAt(number);
    m_pixels.assign(pixels, pixels + tiles.tileSize());
}

std::vector<int32_t> DeleteTileCommand::Renumber(MapModel& map, uint16_t number) {
    std::vector<int32_t> emptied;
    std::vector<uint16_t>& cells = map.cells();
    // One pass in blocks: a block is searched for the number (a test that
    // vectorises) and only a block holding it is walked cell by cell, before
    // the block is renumbered without branches, so that the loop vectorises.
    constexpr size_t kBlock = 64;
    for (size_t at = 0; at < cells.size(); at += kBlock) {
        uint16_t* block = cells.data() + at;
        const size_t n = std::min(kBlock, cells.size() - at);
        unsigned hit = 0;
        for (size_t i = 0; i < n; ++i)
            hit |= block[i] == number;
        if (hit)
            for (size_t i = 0; i < n; ++i)
                if (block[i] == number)
                    emptied.push_back(static_cast<int32_t>(at + i));
        for (size_t i = 0; i < n; ++i) {
            const uint16_t v = block[i];
            const uint16_t down = static_cast<uint16_t>(v - ((v > number) & (v != kEmptyCell)));
            block[i] = v == number ? kEmptyCell : down;
        }
    }
    return emptied;
}

void DeleteTileCommand::Restore(MapModel& map, uint16_t number,
                                const std::vector<int32_t>& emptied) {
    for (uint16_t& c : map.cells()) {
        const uint16_t v = c;
        c = static_cast<uint16_t>(v + ((v >= number) & (v != kEmptyCell)));
    }
    for (const int32_t i : emptied)
        map.cells()[size_t(i)] = number;
}

void DeleteTileCommand::Redo(Document& doc) {
    TileSet& set = doc.tiles();
    set.tiles().Delete(m_number);
    set.touch();
    if (set.current() >= set.count())
        set.setCurrent(set.count() - 1);
    if (doc.map().hasCells()) {
        std::vector<int32_t> emptied = Renumber(doc.map(), static_cast<uint16_t>(m_number));
        if (!m_renumbered)
            m_emptied = std::move(emptied);
        m_renumbered = true;
    }
}

void DeleteTileCommand::Undo(Document& doc) {
    TileSet& set = doc.tiles();
    set.tiles().Insert(m_number, m_pixels.data(), m_attribute);
    set.touch();
    set.setCurrent(m_currentBefore);
    if (doc.map().hasCells())
        Restore(doc.map(), static_cast<uint16_t>(m_number), m_emptied);
}

const char* DeleteTileCommand::Name() const {
    return command::kDeleteTile;
}

size_t DeleteTileCommand::Bytes() const {
    return sizeof(*this) + m_pixels.capacity() + m_emptied.capacity() * sizeof(int32_t);
}

uint32_t DeleteTileCommand::Changes() const {
    return change::kTiles | change::kCells | change::kCurrentTile;
}

} // namespace kesh
