#include "edit/MapViewState.h"

#include <algorithm>
#include <limits>

namespace kesh {

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

int32_t MapViewState::HitTestCell(const MapModel& map, Point& pt, Point scroll, int32_t tileWidth,
                                  int32_t tileHeight, Point* pPrev) {
    if (tileWidth <= 0 || tileHeight <= 0 || !map.hasCells())
        return -1;
    const int64_t pixelWidth = int64_t(tileWidth) * map.width();
    const int64_t pixelHeight = int64_t(tileHeight) * map.height();
    const int64_t x = std::clamp<int64_t>(int64_t(pt.x) + scroll.x, 0, pixelWidth - 1);
    const int64_t y = std::clamp<int64_t>(int64_t(pt.y) + scroll.y, 0, pixelHeight - 1);
    const auto index = static_cast<int32_t>((y / tileHeight) * map.width() + x / tileWidth);
    pt.x = Saturate(x - x % tileWidth - scroll.x);
    pt.y = Saturate(y - y % tileHeight - scroll.y);
    if (pPrev) {
        pPrev->x = Saturate(int64_t(curCol(map)) * tileWidth - scroll.x);
        pPrev->y = Saturate(int64_t(curRow(map)) * tileHeight - scroll.y);
        m_nCurCell = index;
    }
    return index;
}

void MapViewState::ClampSelection(const MapModel& map, int32_t tileWidth, int32_t tileHeight) {
    if (tileWidth <= 0 || tileHeight <= 0 || !map.hasCells())
        return;
    Rect& s = m_rcSelect;
    if (s.right < 0 || s.bottom < 0)
        return; // no selection drag yet: it stays outside the map
    const int32_t width = map.width(), height = map.height();
    const bool inside = int64_t(s.right) < int64_t(tileWidth) * width &&
                        int64_t(s.bottom) < int64_t(tileHeight) * height;
    const bool wholeCells = s.left % tileWidth == 0 && s.top % tileHeight == 0 &&
                            (int64_t(s.right) + 1) % tileWidth == 0 &&
                            (int64_t(s.bottom) + 1) % tileHeight == 0;
    if (inside && wholeCells)
        return;
    const int32_t c0 = std::clamp(s.left / tileWidth, 0, width - 1);
    const int32_t c1 = std::clamp(s.right / tileWidth, 0, width - 1);
    const int32_t r0 = std::clamp(s.top / tileHeight, 0, height - 1);
    const int32_t r1 = std::clamp(s.bottom / tileHeight, 0, height - 1);
    s.left = Saturate(int64_t(c0) * tileWidth);
    s.top = Saturate(int64_t(r0) * tileHeight);
    s.right = Saturate(int64_t(c1 + 1) * tileWidth - 1);
    s.bottom = Saturate(int64_t(r1 + 1) * tileHeight - 1);
}

void MapViewState::FollowChange(const MapModel& map, int32_t tileWidth, int32_t tileHeight) {
    const bool newGrid = map.gridGeneration() != m_grid;
    if (newGrid)
        FitGrid(map, m_gridWidth);
    if (newGrid || tileWidth != m_tileWidth || tileHeight != m_tileHeight)
        ClampSelection(map, tileWidth, tileHeight);
    m_grid = map.gridGeneration();
    m_gridWidth = map.width();
    m_tileWidth = tileWidth;
    m_tileHeight = tileHeight;
}

void MapViewState::FitGrid(const MapModel& map, int32_t oldWidth) {
    if (!map.hasCells())
        return;
    const int32_t width = map.width(), height = map.height();
    if (m_nCurCell < 0 || m_nCurCell >= map.cellCount()) {
        const int32_t cur = std::max(m_nCurCell, 0);
        const int32_t col = oldWidth > 0 ? cur % oldWidth : 0;
        const int32_t row = oldWidth > 0 ? cur / oldWidth : 0;
        m_nCurCell = std::min(row, height - 1) * width + std::min(col, width - 1);
    }
    if (m_rcCopySource) {
        Rect& r = *m_rcCopySource;
        r.left = std::clamp(r.left, 0, width - 1);
        r.right = std::clamp(r.right, 0, width - 1);
        r.top = std::clamp(r.top, 0, height - 1);
        r.bottom = std::clamp(r.bottom, 0, height - 1);
    }
}

} // namespace kesh
