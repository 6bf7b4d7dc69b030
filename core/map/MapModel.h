#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/InputLimits.h"
#include "layout/MapFormat.h"

namespace kesh {

inline constexpr uint16_t kEmptyCell = 0xFFFF;
inline constexpr int32_t kMaxMapSide = 65535;

// A rectangle with all four edges inclusive.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// What one cell holds: its tile number and, while the layout has cell
// fields, its attribute bits (cellbit: flips, palette, priority, user bits).
struct Cell {
    uint16_t tile = kEmptyCell;
    uint16_t attr = 0;
    bool operator==(const Cell&) const = default;
};

// The map: a grid of tile numbers (0xFFFF empty) with its file layout, and
// beside it, while the layout has cell fields, a grid of attribute words.
// Knows nothing of windows, nor of the current cell, selection or copy
// source (the editing level's MapViewState), nor of its file's name or its
// changed flag (the document's).
class MapModel {
public:
    // As at start-up: 64 x 64 empty cells, the default layout.
    MapModel();

    const MapFormat& format() const { return m_format; }
    MapFormat& format() { return m_format; }
    int32_t width() const { return m_format.width; }
    int32_t height() const { return m_format.height; }
    bool hasCells() const { return !m_cells.empty(); }
    const std::vector<uint16_t>& cells() const { return m_cells; }
    std::vector<uint16_t>& cells() { return m_cells; }
    uint16_t cellAt(int32_t col, int32_t row) const {
        return m_cells[size_t(row) * size_t(width()) + size_t(col)];
    }
    // The attribute words, one per cell while the layout has fields
    // (format().AttrMask() != 0), none otherwise.
    bool hasAttrs() const { return !m_attrs.empty(); }
    const std::vector<uint16_t>& attrs() const { return m_attrs; }
    std::vector<uint16_t>& attrs() { return m_attrs; }
    uint16_t attrAt(size_t index) const { return m_attrs.empty() ? 0 : m_attrs[index]; }
    Cell cell(size_t index) const { return {m_cells[index], attrAt(index)}; }
    // Writes a cell; its attribute bits only while the map keeps them.
    void SetCell(size_t index, Cell cell) {
        m_cells[index] = cell.tile;
        if (!m_attrs.empty())
            m_attrs[index] = cell.attr;
    }
    // Brings the attribute words in line with the layout after format()
    // changed: zeros for a layout that gained fields, none for one without.
    // Fails with "메모리 할당에 실패 했습니다." (nothing changed).
    Status MatchAttrs();
    // Takes attribute words for the grid (one per cell), or drops them
    // (empty). Fails with "지도의 크기가 올바르지 않습니다." for any other count.
    Status SetAttrs(std::vector<uint16_t> attrs);

    // Width x height, or 0 when the map has no cells.
    int32_t cellCount() const { return static_cast<int32_t>(m_cells.size()); }

    // Whether a width and height can be held (1..65535 each, at most
    // kMaxMapCells, 268,435,456 cells).
    static bool IsValidSize(int64_t width, int64_t height);
    // Whether the sides are within 1..65535 but the cells more than a map holds.
    static bool IsTooLarge(int64_t width, int64_t height);
    // "지도가 너무 큽니다 (최대 268,435,456칸)." with the limit in force.
    static std::string TooLargeMessage();
    // Ok for a size that can be held; for one that is too large
    // TooLargeMessage() with the size below it ("20000 x 20000칸"),
    // otherwise "지도의 크기가 올바르지 않습니다.".
    static Status CheckSize(int64_t width, int64_t height);
    // A fresh grid of empty cells for `width` x `height`; fails as CheckSize
    // (nothing changed) for a size it cannot hold,
    // or "메모리 할당에 실패 했습니다." (nothing changed) when memory runs out.
    Status AllocateCells(int32_t width, int32_t height);

    // After a map file was read into this model: makes sure the grid matches the
    // width and height in format(). A negative size (none was read) fails with
    // "파일 형식중에 타일의 크기가 없습니다.", a size it cannot hold as
    // CheckSize does. A grid of the right size is kept as it
    // is; otherwise a grid of empty cells is made (a view state is then fitted
    // with the new width: the old one is not known).
    Status EnsureCells();

    // Takes over a map read elsewhere: its layout (and so its size) and its cells,
    // row by row, with their attribute words (none: zeros, when the layout has
    // fields). Fails with "지도의 크기가 올바르지 않습니다." (nothing changed)
    // unless the size can be held and `cells` (and `attrs`, when given) has
    // exactly width x height entries.
    Status ReplaceGrid(MapFormat format, std::vector<uint16_t> cells,
                       std::vector<uint16_t> attrs = {});

    // Changes whenever the grid is replaced (a new, opened or resized map),
    // and differs between any two grids of the process, so that an editing
    // drag begun on the old grid, or a view state made for it, can tell.
    uint64_t gridGeneration() const { return m_gridGeneration; }

private:
    MapFormat m_format;
    std::vector<uint16_t> m_cells;
    std::vector<uint16_t> m_attrs;
    uint64_t m_gridGeneration = 0;
};

} // namespace kesh
