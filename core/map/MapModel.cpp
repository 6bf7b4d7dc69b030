#include "map/MapModel.h"

#include <algorithm>
#include <limits>
#include <new>

#include "base/Messages.h"

namespace kesh {

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// A grid of empty cells, or nullopt when memory runs out.
std::optional<std::vector<uint16_t>> EmptyGrid(int32_t width, int32_t height) {
    try {
        return std::vector<uint16_t>(size_t(width) * size_t(height), kEmptyCell);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace

MapModel::MapModel() : m_format(MapFormat::Default()) {
    m_cells.assign(size_t(width()) * size_t(height()), kEmptyCell);
}

bool MapModel::IsValidSize(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
           width * height <= kMaxMapCells;
}

Status MapModel::AllocateCells(int32_t width, int32_t height) {
    if (!IsValidSize(width, height))
        return Status::Fail(msg::kBadMapSize);
    auto grid = EmptyGrid(width, height);
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    const int32_t oldWidth = this->width();
    m_cells = std::move(*grid);
    ++m_gridGeneration;
    m_format.width = width;
    m_format.height = height;
    clampState(oldWidth);
    return Status::Ok();
}

Status MapModel::EnsureCells() {
    if (width() < 0 || height() < 0)
        return Status::Fail(msg::kNoTileSize);
    if (!IsValidSize(width(), height()))
        return Status::Fail(msg::kBadMapSize);
    if (m_cells.size() == size_t(width()) * size_t(height()))
        return Status::Ok();
    auto grid = EmptyGrid(width(), height());
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    m_cells = std::move(*grid);
    ++m_gridGeneration;
    // The width the current cell was made for is gone; read it with the new one.
    clampState(width());
    return Status::Ok();
}

Status MapModel::ReplaceGrid(MapFormat format, std::vector<uint16_t> cells) {
    if (!IsValidSize(format.width, format.height) ||
        cells.size() != size_t(format.width) * size_t(format.height))
        return Status::Fail(msg::kBadMapSize);
    const int32_t oldWidth = width();
    m_format = std::move(format);
    m_cells = std::move(cells);
    ++m_gridGeneration;
    clampState(oldWidth);
    return Status::Ok();
}

void MapModel::clampState(int32_t oldWidth) {
    if (m_nCurCell < 0 || m_nCurCell >= cellCount()) {
        const int32_t cur = std::max(m_nCurCell, 0);
        const int32_t col = oldWidth > 0 ? cur % oldWidth : 0;
        const int32_t row = oldWidth > 0 ? cur / oldWidth : 0;
        m_nCurCell = std::min(row, height() - 1) * width() + std::min(col, width() - 1);
    }
    if (m_rcCopySource) {
        Rect& r = *m_rcCopySource;
        r.left = std::clamp(r.left, 0, width() - 1);
        r.right = std::clamp(r.right, 0, width() - 1);
        r.top = std::clamp(r.top, 0, height() - 1);
        r.bottom = std::clamp(r.bottom, 0, height() - 1);
    }
}

int32_t MapModel::HitTestCell(Point& pt, Point scroll, int32_t tileWidth, int32_t tileHeight,
                              Point* pPrev) {
    if (tileWidth <= 0 || tileHeight <= 0 || !hasCells())
        return -1;
    const int64_t pixelWidth = int64_t(tileWidth) * width();
    const int64_t pixelHeight = int64_t(tileHeight) * height();
    const int64_t x = std::clamp<int64_t>(int64_t(pt.x) + scroll.x, 0, pixelWidth - 1);
    const int64_t y = std::clamp<int64_t>(int64_t(pt.y) + scroll.y, 0, pixelHeight - 1);
    const auto index = static_cast<int32_t>((y / tileHeight) * width() + x / tileWidth);
    pt.x = Saturate(x - x % tileWidth - scroll.x);
    pt.y = Saturate(y - y % tileHeight - scroll.y);
    if (pPrev) {
        pPrev->x = Saturate(int64_t(curCol()) * tileWidth - scroll.x);
        pPrev->y = Saturate(int64_t(curRow()) * tileHeight - scroll.y);
        m_nCurCell = index;
    }
    return index;
}

void MapModel::ClampSelection(int32_t tileWidth, int32_t tileHeight) {
    if (tileWidth <= 0 || tileHeight <= 0 || !hasCells())
        return;
    Rect& s = m_rcSelect;
    if (s.right < 0 || s.bottom < 0)
        return; // no selection drag yet: it stays outside the map
    const bool inside = int64_t(s.right) < int64_t(tileWidth) * width() &&
                        int64_t(s.bottom) < int64_t(tileHeight) * height();
    const bool wholeCells = s.left % tileWidth == 0 && s.top % tileHeight == 0 &&
                            (int64_t(s.right) + 1) % tileWidth == 0 &&
                            (int64_t(s.bottom) + 1) % tileHeight == 0;
    if (inside && wholeCells)
        return;
    const int32_t c0 = std::clamp(s.left / tileWidth, 0, width() - 1);
    const int32_t c1 = std::clamp(s.right / tileWidth, 0, width() - 1);
    const int32_t r0 = std::clamp(s.top / tileHeight, 0, height() - 1);
    const int32_t r1 = std::clamp(s.bottom / tileHeight, 0, height() - 1);
    s.left = Saturate(int64_t(c0) * tileWidth);
    s.top = Saturate(int64_t(r0) * tileHeight);
    s.right = Saturate(int64_t(c1 + 1) * tileWidth - 1);
    s.bottom = Saturate(int64_t(r1 + 1) * tileHeight - 1);
}

void MapModel::RenumberAfterDelete(int32_t deleted) {
    if (deleted < 0 || deleted >= kEmptyCell)
        return;
    const auto d = static_cast<uint16_t>(deleted);
    // Written without branches so the loop vectorises: one pass over up to 128 MiB.
    for (uint16_t& c : m_cells) {
        const uint16_t v = c;
        const uint16_t down = static_cast<uint16_t>(v - ((v > d) & (v != kEmptyCell)));
        c = v == d ? kEmptyCell : down;
    }
    m_bModified = 1;
}

} // namespace kesh
