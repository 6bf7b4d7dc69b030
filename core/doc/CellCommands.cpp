#include "doc/CellCommands.h"

#include <algorithm>
#include <utility>

#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

Rect CutToGrid(const MapModel& map, const Rect& cells) {
    return {std::max(cells.left, 0), std::max(cells.top, 0), std::min(cells.right, map.width() - 1),
            std::min(cells.bottom, map.height() - 1)};
}

void StrokeCommand::Paint(MapModel& map, int32_t index, Cell after) {
    const auto offset = static_cast<int32_t>(m_before.size());
    const Cell before = map.cell(size_t(index));
    m_before.push_back(before.tile);
    m_after.push_back(after.tile);
    if (map.hasAttrs()) {
        // A stroke begun without attribute words gets them for the cells before.
        m_beforeAttr.resize(size_t(offset), 0);
        m_afterAttr.resize(size_t(offset), 0);
        m_beforeAttr.push_back(before.attr);
        m_afterAttr.push_back(after.attr);
    }
    map.SetCell(size_t(index), after);
    if (!m_runs.empty()) {
        Run& last = m_runs.back();
        if (last.start + last.length == index && last.offset + last.length == offset) {
            ++last.length;
            return;
        }
    }
    m_runs.push_back({index, offset, 1});
}

void StrokeCommand::Undo(Document& doc) {
    MapModel& map = doc.map();
    const bool attrs = map.hasAttrs() && m_beforeAttr.size() == m_before.size();
    // Backwards, so that a cell painted twice ends with its first value.
    for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run) {
        std::copy_n(m_before.begin() + run->offset, run->length, map.cells().begin() + run->start);
        if (attrs)
            std::copy_n(m_beforeAttr.begin() + run->offset, run->length,
                        map.attrs().begin() + run->start);
    }
}

void StrokeCommand::Redo(Document& doc) {
    MapModel& map = doc.map();
    const bool attrs = map.hasAttrs() && m_afterAttr.size() == m_after.size();
    for (const Run& run : m_runs) {
        std::copy_n(m_after.begin() + run.offset, run.length, map.cells().begin() + run.start);
        if (attrs)
            std::copy_n(m_afterAttr.begin() + run.offset, run.length,
                        map.attrs().begin() + run.start);
    }
}

const char* StrokeCommand::Name() const {
    return command::kPaint;
}

size_t StrokeCommand::Bytes() const {
    return sizeof(*this) + m_runs.capacity() * sizeof(Run) +
           (m_before.capacity() + m_after.capacity() + m_beforeAttr.capacity() +
            m_afterAttr.capacity()) *
               sizeof(uint16_t);
}

uint32_t StrokeCommand::Changes() const {
    return change::kCells;
}

RegionCommand::RegionCommand(const MapModel& map, const Rect& cells, const char* name)
    : m_cells(cells), m_name(name) {
    if (empty())
        return;
    m_before = read(map, map.cells());
    if (map.hasAttrs())
        m_beforeAttr = read(map, map.attrs());
}

std::vector<uint16_t> RegionCommand::read(const MapModel& map,
                                          const std::vector<uint16_t>& grid) const {
    const size_t w = size_t(m_cells.right - m_cells.left + 1);
    std::vector<uint16_t> values(w * size_t(m_cells.bottom - m_cells.top + 1));
    auto out = values.begin();
    for (int32_t row = m_cells.top; row <= m_cells.bottom; ++row, out += ptrdiff_t(w))
        std::copy_n(grid.begin() + ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(m_cells.left)),
                    w, out);
    return values;
}

std::unique_ptr<RegionCommand> RegionCommand::Fill(const MapModel& map, const Rect& cells,
                                                   Cell cell) {
    auto made = std::make_unique<RegionCommand>(map, cells, command::kFill);
    if (!made->empty()) {
        made->m_after.assign(1, cell.tile);
        if (map.hasAttrs())
            made->m_afterAttr.assign(1, cell.attr);
    }
    return made;
}

namespace {

// Where a paste of `source` to (`col`, `row`) writes: the source cut to the
// grid, moved, cut again; and the move.
struct PasteTarget {
    Rect cells;
    int64_t offX, offY;
};

PasteTarget TargetOf(const MapModel& map, const Rect& src, int32_t col, int32_t row) {
    const int64_t w = map.width(), h = map.height();
    const int64_t offX = int64_t(col) - src.left, offY = int64_t(row) - src.top;
    const auto cut = [](int64_t lo, int64_t hi, int64_t off, int64_t size) {
        return std::pair{std::max<int64_t>(std::max<int64_t>(lo, 0) + off, 0),
                         std::min<int64_t>(std::min<int64_t>(hi, size - 1) + off, size - 1)};
    };
    const auto [x0, x1] = cut(src.left, src.right, offX, w);
    const auto [y0, y1] = cut(src.top, src.bottom, offY, h);
    return {Rect{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)}, offX, offY};
}

} // namespace

std::unique_ptr<RegionCommand> RegionCommand::Paste(const MapModel& map, const Rect& source,
                                                    int32_t col, int32_t row) {
    const PasteTarget target = TargetOf(map, source, col, row);
    auto made = std::make_unique<RegionCommand>(map, target.cells, command::kPaste);
    if (made->empty())
        return made;
    // The source as it is now, read before anything is written.
    const Rect& t = target.cells;
    const auto sourceOf = [&](const std::vector<uint16_t>& grid) {
        std::vector<uint16_t> after;
        after.reserve(made->m_before.size());
        for (int64_t y = t.top; y <= t.bottom; ++y) {
            const auto from =
                grid.begin() + ptrdiff_t((y - target.offY) * map.width() + t.left - target.offX);
            after.insert(after.end(), from, from + ptrdiff_t(t.right - t.left + 1));
        }
        return after;
    };
    SetAfter(made->m_after, sourceOf(map.cells()));
    if (map.hasAttrs())
        SetAfter(made->m_afterAttr, sourceOf(map.attrs()));
    return made;
}

std::unique_ptr<RegionCommand> RegionCommand::Flip(const MapModel& map, const Rect& cells,
                                                   bool horizontal) {
    auto made = std::make_unique<RegionCommand>(map, cells, command::kFlipCells);
    if (made->empty())
        return made;
    const size_t w = size_t(cells.right - cells.left + 1);
    const size_t h = size_t(cells.bottom - cells.top + 1);
    const auto mirrored = [&](const std::vector<uint16_t>& before, uint16_t toggle) {
        std::vector<uint16_t> after(before.size());
        for (size_t y = 0; y < h; ++y)
            for (size_t x = 0; x < w; ++x) {
                const size_t from = horizontal ? y * w + (w - 1 - x) : (h - 1 - y) * w + x;
                after[y * w + x] = uint16_t(before[from] ^ toggle);
            }
        return after;
    };
    made->m_after = mirrored(made->m_before, 0);
    if (map.hasAttrs()) {
        const uint16_t flip = horizontal ? cellbit::kHFlip : cellbit::kVFlip;
        made->m_afterAttr =
            mirrored(made->m_beforeAttr, uint16_t(flip & map.format().AttrMask()));
    }
    return made;
}

void RegionCommand::SetAfter(std::vector<uint16_t>& to, std::vector<uint16_t> after) {
    const uint16_t first = after.empty() ? 0 : after.front();
    if (std::all_of(after.begin(), after.end(), [first](uint16_t v) { return v == first; }))
        to.assign(1, first);
    else
        to = std::move(after);
}

void RegionCommand::FillInPlace(MapModel& map, const Rect& cells, Cell cell) {
    for (int32_t row = cells.top; row <= cells.bottom; ++row) {
        const auto at = ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(cells.left));
        const auto n = std::max(cells.right - cells.left + 1, 0);
        std::fill_n(map.cells().begin() + at, n, cell.tile);
        if (map.hasAttrs())
            std::fill_n(map.attrs().begin() + at, n, cell.attr);
    }
}

void RegionCommand::PasteInPlace(MapModel& map, const Rect& src, int32_t col, int32_t row) {
    const int64_t w = map.width(), h = map.height();
    const int64_t spanX = int64_t(src.right) - src.left, spanY = int64_t(src.bottom) - src.top;
    const bool ltr = src.left >= col, ttb = src.top >= row;
    const int64_t offX = int64_t(col) - src.left, offY = int64_t(row) - src.top;
    for (int64_t i = 0; i <= spanY; ++i) {
        const int64_t sy = ttb ? src.top + i : src.bottom - i;
        const int64_t ty = sy + offY;
        if (sy < 0 || sy >= h || ty < 0 || ty >= h)
            continue;
        for (int64_t j = 0; j <= spanX; ++j) {
            const int64_t sx = ltr ? src.left + j : src.right - j;
            const int64_t tx = sx + offX;
            if (sx < 0 || sx >= w || tx < 0 || tx >= w)
                continue;
            map.SetCell(size_t(ty * w + tx), map.cell(size_t(sy * w + sx)));
        }
    }
}

void RegionCommand::write(MapModel& map, std::vector<uint16_t>& grid,
                          const std::vector<uint16_t>& values) const {
    if (empty() || values.empty() || grid.empty())
        return;
    const size_t w = size_t(m_cells.right - m_cells.left + 1);
    auto in = values.begin();
    for (int32_t row = m_cells.top; row <= m_cells.bottom; ++row) {
        auto to = grid.begin() + ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(m_cells.left));
        if (values.size() == 1) {
            std::fill_n(to, w, values.front());
        } else {
            std::copy_n(in, w, to);
            in += ptrdiff_t(w);
        }
    }
}

void RegionCommand::Undo(Document& doc) {
    write(doc.map(), doc.map().cells(), m_before);
    write(doc.map(), doc.map().attrs(), m_beforeAttr);
}

void RegionCommand::Redo(Document& doc) {
    write(doc.map(), doc.map().cells(), m_after);
    write(doc.map(), doc.map().attrs(), m_afterAttr);
}

size_t RegionCommand::Bytes() const {
    return sizeof(*this) + (m_before.capacity() + m_after.capacity() + m_beforeAttr.capacity() +
                            m_afterAttr.capacity()) *
                               sizeof(uint16_t);
}

uint32_t RegionCommand::Changes() const {
    return change::kCells;
}

} // namespace kesh
