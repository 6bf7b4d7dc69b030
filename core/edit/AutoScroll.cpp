#include "edit/AutoScroll.h"

#include <algorithm>

namespace kesh {

namespace {

int32_t Step(int32_t pos, int32_t dir, int32_t tile, int32_t max) {
    int64_t next = pos;
    if (dir < 0)
        next -= tile;
    else if (dir > 0)
        next += tile;
    return static_cast<int32_t>(std::clamp<int64_t>(next, 0, max));
}

} // namespace

Point AutoScrollDirection(Point pointer, const Viewport& view) {
    Point d;
    if (pointer.x < kAutoScrollBand)
        d.x -= 1;
    if (pointer.x > view.clientWidth - kAutoScrollBand)
        d.x += 1;
    if (pointer.y < kAutoScrollBand)
        d.y -= 1;
    if (pointer.y > view.clientHeight - kAutoScrollBand)
        d.y += 1;
    return d;
}

Point AutoScroll(int32_t dx, int32_t dy, const MapModel& map, const Viewport& view,
                 int32_t tileWidth, int32_t tileHeight) {
    const Point max = MaxScroll(map, view, tileWidth, tileHeight);
    return {Step(view.scroll.x, dx, tileWidth, max.x), Step(view.scroll.y, dy, tileHeight, max.y)};
}

} // namespace kesh
