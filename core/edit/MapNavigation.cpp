#include "edit/MapNavigation.h"

#include <algorithm>
#include <limits>

namespace kesh {

namespace {

// How far to scroll along one axis so that a cell starting at client pixel
// `pos`, `tile` pixels long, lies wholly inside a client area `client` long.
int64_t ShowDelta(int64_t pos, int32_t tile, int32_t client) {
    if (pos < 0)
        return pos;
    if (pos > int64_t(client) - tile)
        return pos + tile - client;
    return 0;
}

// A scroll position worked out in 64 bits, made a valid one.
Point ScrollTo(int64_t x, int64_t y, const MapModel& map, const Viewport& view, int32_t tileWidth,
               int32_t tileHeight) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const Point p{static_cast<int32_t>(std::clamp<int64_t>(x, 0, kMax)),
                  static_cast<int32_t>(std::clamp<int64_t>(y, 0, kMax))};
    return ClampScroll(p, map, view, tileWidth, tileHeight);
}

} // namespace

bool IsPageKey(MapKey key) {
    return key == MapKey::PageUp || key == MapKey::PageDown || key == MapKey::Home ||
           key == MapKey::End;
}

std::optional<int32_t> KeyTarget(MapKey key, const MapModel& map, const MapViewState& state,
                                 const Viewport& view, int32_t tileHeight) {
    if (!map.hasCells() || tileHeight <= 0)
        return std::nullopt;
    const int32_t w = map.width();
    const int32_t total = map.cellCount();
    const int32_t cur = state.m_nCurCell;
    const int32_t rowStart = cur - cur % w;
    switch (key) {
    case MapKey::Up:
        return cur - w < 0 ? std::nullopt : std::optional(cur - w);
    case MapKey::Down:
        return cur + w >= total ? std::nullopt : std::optional(cur + w);
    case MapKey::Left:
        return cur % w == 0 ? std::nullopt : std::optional(cur - 1);
    case MapKey::Right:
        return cur + 1 >= total || (cur + 1) % w == 0 ? std::nullopt : std::optional(cur + 1);
    case MapKey::Enter:
        return cur;
    case MapKey::PageUp:
    case MapKey::PageDown: {
        const int64_t step = int64_t(view.clientHeight / tileHeight) * w;
        const int64_t next = key == MapKey::PageUp ? cur - step : cur + step;
        if (next < 0)
            return cur % w;
        if (next >= total)
            return total - w + cur % w;
        return static_cast<int32_t>(next);
    }
    case MapKey::Home:
        return rowStart;
    case MapKey::End:
        return rowStart + w - 1;
    case MapKey::Shift:
        break;
    }
    return std::nullopt;
}

Point ScrollToShowCell(const MapModel& map, int32_t cell, const Viewport& view, int32_t tileWidth,
                       int32_t tileHeight) {
    const Point corner = CellCorner(map, cell, tileWidth, tileHeight);
    const Point s = view.scroll;
    const int64_t dx = ShowDelta(int64_t(corner.x) - s.x, tileWidth, view.clientWidth);
    const int64_t dy = ShowDelta(int64_t(corner.y) - s.y, tileHeight, view.clientHeight);
    return ScrollTo(s.x + dx, s.y + dy, map, view, tileWidth, tileHeight);
}

Point ScrollForPageStep(const MapModel& map, int32_t oldCell, int32_t newCell, const Viewport& view,
                        int32_t tileWidth, int32_t tileHeight) {
    const Point s = view.scroll;
    const Point oldCorner = CellCorner(map, oldCell, tileWidth, tileHeight);
    const Point newCorner = CellCorner(map, newCell, tileWidth, tileHeight);
    const int64_t dx = ShowDelta(int64_t(newCorner.x) - s.x, tileWidth, view.clientWidth);
    const int64_t dy = int64_t(newCorner.y) - oldCorner.y;
    return ScrollTo(s.x + dx, s.y + dy, map, view, tileWidth, tileHeight);
}

} // namespace kesh
