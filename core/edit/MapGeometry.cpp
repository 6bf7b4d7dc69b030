#include "edit/MapGeometry.h"

#include <algorithm>
#include <limits>

namespace kesh {

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

Point CellCorner(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight) {
    if (map.width() <= 0)
        return {};
    return {Saturate(int64_t(index % map.width()) * tileWidth),
            Saturate(int64_t(index / map.width()) * tileHeight)};
}

Rect CellRect(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight) {
    const Point p = CellCorner(map, index, tileWidth, tileHeight);
    return {p.x, p.y, Saturate(int64_t(p.x) + tileWidth - 1),
            Saturate(int64_t(p.y) + tileHeight - 1)};
}

Rect CellFrame(const MapModel& map, int32_t index, int32_t tileWidth, int32_t tileHeight) {
    const Point p = CellCorner(map, index, tileWidth, tileHeight);
    return {p.x - 2, p.y - 2, Saturate(int64_t(p.x) + tileWidth + 1),
            Saturate(int64_t(p.y) + tileHeight + 1)};
}

Rect SelectionCells(const MapViewState& state, int32_t tileWidth, int32_t tileHeight) {
    const Rect& s = state.m_rcSelect;
    return {s.left / tileWidth, s.top / tileHeight, s.right / tileWidth, s.bottom / tileHeight};
}

Point PixelSize(const MapModel& map, int32_t tileWidth, int32_t tileHeight) {
    if (!map.hasCells())
        return {};
    return {Saturate(int64_t(tileWidth) * map.width()),
            Saturate(int64_t(tileHeight) * map.height())};
}

Point MaxScroll(const MapModel& map, const Viewport& view, int32_t tileWidth, int32_t tileHeight) {
    const Point size = PixelSize(map, tileWidth, tileHeight);
    return {std::max(size.x - view.clientWidth, 0), std::max(size.y - view.clientHeight, 0)};
}

Point ClampScroll(Point pos, const MapModel& map, const Viewport& view, int32_t tileWidth,
                  int32_t tileHeight) {
    const Point max = MaxScroll(map, view, tileWidth, tileHeight);
    return {std::clamp(pos.x, 0, max.x), std::clamp(pos.y, 0, max.y)};
}

CellRange VisibleCells(const MapModel& map, const Viewport& view, int32_t tileWidth,
                       int32_t tileHeight) {
    if (!map.hasCells() || tileWidth <= 0 || tileHeight <= 0)
        return {};
    CellRange r;
    r.firstCol = std::clamp(view.scroll.x / tileWidth, 0, map.width());
    r.firstRow = std::clamp(view.scroll.y / tileHeight, 0, map.height());
    r.endCol = Saturate(std::min<int64_t>(
        map.width(), int64_t(r.firstCol) + std::max(view.clientWidth, 0) / tileWidth + 2));
    r.endRow = Saturate(std::min<int64_t>(
        map.height(), int64_t(r.firstRow) + std::max(view.clientHeight, 0) / tileHeight + 2));
    return r;
}

} // namespace kesh
