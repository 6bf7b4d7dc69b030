#include "terrain/TerrainLayer.h"

#include <new>

#include "base/Messages.h"
#include "layout/CellFields.h"

namespace kesh {

Status TerrainLayer::Attach(TerrainSet set, const MapModel& map) {
    if (Status st = set.Check(); !st)
        return st;
    TerrainLayer made;
    try {
        made.m_set = std::move(set);
        made.m_options = m_options;
        made.Rebuild(map);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kOutOfMemory);
    }
    *this = std::move(made);
    return Status::Ok();
}

Status TerrainLayer::Attach(TerrainSet set, const MapModel& map, std::vector<uint8_t> values) {
    if (Status st = set.Check(); !st)
        return st;
    TerrainLayer made;
    made.m_set = std::move(set);
    made.m_options = m_options;
    made.fit(map);
    const int top = int(made.m_set.terrains.size());
    if (values.size() != size_t(made.m_wide) * size_t(made.m_high) ||
        std::any_of(values.begin(), values.end(), [top](uint8_t v) { return v >= top; }))
        return Status::Fail(msg::kBadMapSize);
    made.m_values = std::move(values);
    *this = std::move(made);
    return Status::Ok();
}

void TerrainLayer::Detach() {
    *this = TerrainLayer{};
}

void TerrainLayer::Follow(const MapModel& map) {
    if (active() && (map.gridGeneration() != m_generation ||
                     (map.format().AttrMask() & cellbit::kFlips) != m_flipMask))
        Rebuild(map);
}

void TerrainLayer::fit(const MapModel& map) {
    m_flipMask = uint16_t(map.format().AttrMask() & cellbit::kFlips);
    m_resolver = TerrainResolver(m_set, m_flipMask);
    m_generation = map.gridGeneration();
    m_cellsWide = map.hasCells() ? map.width() : 0;
    m_cellsHigh = map.hasCells() ? map.height() : 0;
    const bool corner = m_set.kind == TerrainKind::Corner;
    m_wide = m_cellsWide + (corner && m_cellsWide ? 1 : 0);
    m_high = m_cellsHigh + (corner && m_cellsHigh ? 1 : 0);
}

void TerrainLayer::Rebuild(const MapModel& map) {
    fit(map);
    const bool corner = m_set.kind == TerrainKind::Corner;
    m_values.assign(size_t(m_wide) * size_t(m_high), 0);
    for (int32_t row = 0; row < m_cellsHigh; ++row)
        for (int32_t col = 0; col < m_cellsWide; ++col) {
            const size_t index = size_t(row) * size_t(m_cellsWide) + size_t(col);
            const Cell cell = map.cell(index);
            TerrainLabel label;
            if (!m_resolver.LabelOf(cell.tile, cell.attr, label))
                continue;
            if (!corner) {
                m_values[index] = uint8_t(TerrainAt(label, terrainpos::kBlobMiddle));
                continue;
            }
            const size_t nw = size_t(row) * size_t(m_wide) + size_t(col);
            m_values[nw] = uint8_t(TerrainAt(label, 0));
            m_values[nw + 1] = uint8_t(TerrainAt(label, 1));
            m_values[nw + size_t(m_wide) + 1] = uint8_t(TerrainAt(label, 2));
            m_values[nw + size_t(m_wide)] = uint8_t(TerrainAt(label, 3));
        }
}

Rect TerrainLayer::CellsOf(const Rect& points) const {
    // A corner value is read by the cells on its four sides, a blob value by
    // its cell and the eight around it.
    const int32_t before = 1, after = m_set.kind == TerrainKind::Corner ? 0 : 1;
    return {std::max(points.left - before, 0), std::max(points.top - before, 0),
            std::min(points.right + after, m_cellsWide - 1),
            std::min(points.bottom + after, m_cellsHigh - 1)};
}

TerrainLabel TerrainLayer::LabelAt(int32_t col, int32_t row) const {
    if (m_set.kind == TerrainKind::Corner) {
        const size_t nw = size_t(row) * size_t(m_wide) + size_t(col);
        const size_t sw = nw + size_t(m_wide);
        return TerrainLabel(m_values[nw]) | TerrainLabel(m_values[nw + 1]) << 3 |
               TerrainLabel(m_values[sw + 1]) << 6 | TerrainLabel(m_values[sw]) << 9;
    }
    const int c = value(col, row);
    const auto at = [&](int dx, int dy) {
        const int32_t x = col + dx, y = row + dy;
        if (x < 0 || y < 0 || x >= m_wide || y >= m_high)
            return c;
        return std::min(c, int(value(x, y)));
    };
    const int n = at(0, -1), e = at(1, 0), s = at(0, 1), w = at(-1, 0);
    const auto corner = [&](int a, int b, int dx, int dy) {
        return a == c && b == c ? at(dx, dy) : std::min(a, b);
    };
    const int ne = corner(n, e, 1, -1), se = corner(e, s, 1, 1), sw = corner(s, w, -1, 1),
              nw = corner(w, n, -1, -1);
    return TerrainLabel(n) | TerrainLabel(ne) << 3 | TerrainLabel(e) << 6 | TerrainLabel(se) << 9 |
           TerrainLabel(s) << 12 | TerrainLabel(sw) << 15 | TerrainLabel(w) << 18 |
           TerrainLabel(nw) << 21 | TerrainLabel(c) << 24;
}

uint64_t TerrainLayer::ChooseAll(MapModel& map) const {
    uint64_t unmatched = 0;
    if (!active() || m_cellsWide == 0)
        return 0;
    Choose(Rect{0, 0, m_cellsWide - 1, m_cellsHigh - 1},
           [&](size_t index, Cell cell, bool exact) {
               map.SetCell(index, cell);
               unmatched += exact ? 0 : 1;
           });
    return unmatched;
}

} // namespace kesh
