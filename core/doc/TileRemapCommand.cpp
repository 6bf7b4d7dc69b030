#include "doc/TileRemapCommand.h"

#include <algorithm>
#include <new>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

TileRemapCommand::TileRemapCommand(Document& doc, const char* name, TileRemap remap,
                                   std::optional<Rect> area, const TileUsage* usage)
    : m_name(name), m_remap(std::move(remap)), m_area(area),
      m_oldCount(doc.tiles().count()), m_currentBefore(doc.tiles().current()),
      m_usage(area ? nullptr : usage) {
    m_tilesMove = !m_area && int32_t(m_remap.keep.size()) != m_oldCount;
    for (size_t i = 0; !m_tilesMove && i < m_remap.keep.size(); ++i)
        m_tilesMove = m_remap.keep[i] != int32_t(i);
    if (!m_tilesMove)
        return;
    const TileList& tiles = doc.tiles().tiles();
    const size_t size = size_t(tiles.tileSize());
    m_pixels.resize(size_t(m_oldCount) * size);
    m_attributes.resize(size_t(m_oldCount));
    for (int32_t t = 0; t < m_oldCount; ++t) {
        std::copy_n(tiles.PixelsAt(t), size, m_pixels.begin() + ptrdiff_t(size_t(t) * size));
        m_attributes[size_t(t)] = tiles.AttributeAt(t);
    }
}

void TileRemapCommand::putTiles(Document& doc, bool old) {
    if (!m_tilesMove)
        return;
    TileSet& set = doc.tiles();
    TileList list;
    if (!list.Setup(set.tileWidth(), set.tileHeight()))
        throw std::bad_alloc();
    const size_t size = size_t(list.tileSize());
    const int32_t count = old ? m_oldCount : int32_t(m_remap.keep.size());
    list.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const int32_t t = old ? i : m_remap.keep[size_t(i)];
        if (!list.Append(m_pixels.data() + size_t(t) * size, m_attributes[size_t(t)]))
            throw std::bad_alloc();
    }
    set.tiles() = std::move(list);
    set.touch();
}

void TileRemapCommand::rewrite(MapModel& map, const std::vector<uint16_t>& table,
                               const std::vector<uint16_t>& flips, bool record) {
    if (!map.hasCells())
        return;
    const Rect area = m_area.value_or(Rect{0, 0, map.width() - 1, map.height() - 1});
    std::vector<uint8_t> lossy;
    bool lossyShown = false;
    if (record)
        for (int32_t t = 0; t < m_oldCount; ++t)
            if (!m_remap.Reversible(t)) {
                lossy.resize(table.size());
                lossy[size_t(t)] = 1;
                lossyShown |= !m_usage || m_usage->counts[size_t(t)] != 0;
            }
    if (record && m_usage && !lossyShown) {
        // Every cell goes back by rule: the counts say what changes.
        for (int32_t t = 0; t < m_oldCount; ++t)
            m_changed += table[size_t(t)] != t ? m_usage->counts[size_t(t)] : 0;
        if (int32_t(m_remap.keep.size()) != m_oldCount) // numbers past the set move
            m_changed += m_usage->outside;
        record = false;
    }
    uint16_t* cells = map.cells().data();
    uint16_t* attrs = map.hasAttrs() ? map.attrs().data() : nullptr;
    const bool flipping = attrs && !flips.empty();
    for (int32_t row = area.top; row <= area.bottom; ++row) {
        const size_t from = size_t(row) * size_t(map.width()) + size_t(area.left);
        const size_t to = from + size_t(area.right - area.left) + 1;
        if (!record) {
            for (size_t i = from; i < to; ++i)
                cells[i] = table[cells[i]];
            continue;
        }
        for (size_t i = from; i < to; ++i) {
            const uint16_t v = cells[i];
            const uint16_t now = table[v];
            // A merged tile's cell counts even when its number stays.
            const bool merged = !lossy.empty() && lossy[v];
            m_changed += now != v || merged;
            // Only merged tiles bring flips, and each of their cells is recorded.
            if (merged) {
                m_where.push_back(int32_t(i));
                m_before.push_back({v, attrs ? attrs[i] : uint16_t(0)});
                if (flipping)
                    attrs[i] ^= flips[v];
            }
            cells[i] = now;
        }
    }
}

void TileRemapCommand::Redo(Document& doc) {
    const int32_t newCount = m_area ? m_oldCount : int32_t(m_remap.keep.size());
    std::vector<uint16_t> table(65536);
    std::vector<uint16_t> flips;
    for (uint32_t v = 0; v < 65536; ++v)
        table[v] = v == kEmptyCell      ? kEmptyCell
                   : int32_t(v) < m_oldCount ? uint16_t(m_remap.target[v].tile)
                                            : uint16_t(int32_t(v) - m_oldCount + newCount);
    for (int32_t t = 0; t < m_oldCount; ++t)
        if (m_remap.target[size_t(t)].flip) {
            flips.resize(65536);
            flips[size_t(t)] = m_remap.target[size_t(t)].flip;
        }
    putTiles(doc, false);
    if (m_applied) {
        // Again after an undo: by rule, then the recorded cells' flips.
        rewrite(doc.map(), table, {}, false);
        if (doc.map().hasAttrs() && !flips.empty())
            for (size_t k = 0; k < m_where.size(); ++k)
                doc.map().attrs()[size_t(m_where[k])] ^= flips[m_before[k].tile];
    } else {
        rewrite(doc.map(), table, flips, true);
        m_applied = true;
        m_usage = nullptr;
    }
    TileSet& set = doc.tiles();
    if (m_currentBefore >= 0 && m_currentBefore < m_oldCount)
        set.setCurrent(m_remap.target[size_t(m_currentBefore)].tile);
    else if (set.current() >= set.count() || (set.current() < 0 && set.count() > 0))
        set.setCurrent(std::clamp(set.current(), 0, set.count() - 1));
}

void TileRemapCommand::Undo(Document& doc) {
    const int32_t newCount = m_area ? m_oldCount : int32_t(m_remap.keep.size());
    std::vector<uint16_t> table(65536);
    for (uint32_t v = 0; v < 65536; ++v)
        table[v] = v == kEmptyCell ? kEmptyCell
                   : int32_t(v) < newCount
                       ? uint16_t(m_remap.keep[v])
                       : uint16_t(std::min<int32_t>(int32_t(v) - newCount + m_oldCount, 0xFFFE));
    putTiles(doc, true);
    rewrite(doc.map(), table, {}, false);
    for (size_t k = 0; k < m_where.size(); ++k)
        doc.map().SetCell(size_t(m_where[k]), m_before[k]);
    doc.tiles().setCurrent(m_currentBefore);
}

size_t TileRemapCommand::Bytes() const {
    return sizeof(*this) + m_pixels.capacity() + m_attributes.capacity() * 4 +
           m_remap.keep.capacity() * 4 + m_remap.target.capacity() * sizeof(TileMatch) +
           m_where.capacity() * 4 + m_before.capacity() * sizeof(Cell);
}

uint32_t TileRemapCommand::Changes() const {
    return change::kCells | change::kCurrentTile | (m_tilesMove ? change::kTiles : 0);
}

} // namespace kesh
