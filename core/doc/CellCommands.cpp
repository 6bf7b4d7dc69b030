#include "doc/CellCommands.h"

#include <algorithm>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "doc/StepNames.h"

namespace kesh {

void StrokeCommand::Add(int32_t index, uint16_t before, uint16_t after) {
    const auto offset = static_cast<int32_t>(m_before.size());
    m_before.push_back(before);
    m_after.push_back(after);
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
    std::vector<uint16_t>& cells = doc.map().cells();
    // Backwards, so that a cell painted twice ends with its first value.
    for (auto run = m_runs.rbegin(); run != m_runs.rend(); ++run)
        std::copy_n(m_before.begin() + run->offset, run->length, cells.begin() + run->start);
}

void StrokeCommand::Redo(Document& doc) {
    std::vector<uint16_t>& cells = doc.map().cells();
    for (const Run& run : m_runs)
        std::copy_n(m_after.begin() + run.offset, run.length, cells.begin() + run.start);
}

const char* StrokeCommand::Name() const {
    return step::kPaint;
}

size_t StrokeCommand::Bytes() const {
    return sizeof(*this) + m_runs.capacity() * sizeof(Run) +
           (m_before.capacity() + m_after.capacity()) * sizeof(uint16_t);
}

uint32_t StrokeCommand::Changes() const {
    return change::kCells;
}

RegionCommand::RegionCommand(const MapModel& map, const Rect& cells, const char* name)
    : m_cells(cells), m_name(name) {
    if (empty())
        return;
    const size_t w = size_t(cells.right - cells.left + 1);
    m_before.resize(w * size_t(cells.bottom - cells.top + 1));
    auto out = m_before.begin();
    for (int32_t row = cells.top; row <= cells.bottom; ++row, out += ptrdiff_t(w))
        std::copy_n(map.cells().begin() +
                        ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(cells.left)),
                    w, out);
}

void RegionCommand::Finish(const MapModel& map) {
    if (empty())
        return;
    const size_t w = size_t(m_cells.right - m_cells.left + 1);
    const auto rowAt = [&](int32_t row) {
        return map.cells().begin() +
               ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(m_cells.left));
    };
    // A fill writes one value everywhere: keep just that one.
    const uint16_t first = *rowAt(m_cells.top);
    bool uniform = true;
    for (int32_t row = m_cells.top; row <= m_cells.bottom && uniform; ++row)
        uniform = std::all_of(rowAt(row), rowAt(row) + ptrdiff_t(w),
                              [first](uint16_t v) { return v == first; });
    if (uniform) {
        m_after.assign(1, first);
        return;
    }
    m_after.resize(m_before.size());
    auto out = m_after.begin();
    for (int32_t row = m_cells.top; row <= m_cells.bottom; ++row, out += ptrdiff_t(w))
        std::copy_n(rowAt(row), w, out);
}

void RegionCommand::write(MapModel& map, const std::vector<uint16_t>& values) const {
    if (empty() || values.empty())
        return;
    const size_t w = size_t(m_cells.right - m_cells.left + 1);
    auto in = values.begin();
    for (int32_t row = m_cells.top; row <= m_cells.bottom; ++row) {
        auto to = map.cells().begin() +
                  ptrdiff_t(size_t(row) * size_t(map.width()) + size_t(m_cells.left));
        if (values.size() == 1) {
            std::fill_n(to, w, values.front());
        } else {
            std::copy_n(in, w, to);
            in += ptrdiff_t(w);
        }
    }
}

void RegionCommand::Undo(Document& doc) {
    write(doc.map(), m_before);
}

void RegionCommand::Redo(Document& doc) {
    write(doc.map(), m_after);
}

size_t RegionCommand::Bytes() const {
    return sizeof(*this) + (m_before.capacity() + m_after.capacity()) * sizeof(uint16_t);
}

uint32_t RegionCommand::Changes() const {
    return change::kCells;
}

} // namespace kesh
