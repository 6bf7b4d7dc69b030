#include "edit/Zoom.h"

#include <algorithm>
#include <array>
#include <limits>

#include "edit/CellAttrText.h"

namespace kesh {

namespace {

constexpr std::array<ZoomFactor, kZoomSteps> kFactors = {
    {{1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}, {8, 1}}};

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Floor division, for points left of or above the map.
int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// One axis of AnchoredScroll: the map pixel under the pointer, as a cell and
// an offset in it, is put back under the pointer with the new cell size.
int64_t AnchorAxis(int32_t pointer, int32_t scroll, int32_t oldSize, int32_t newSize) {
    const int64_t at = int64_t(scroll) + pointer;
    const int64_t cell = FloorDiv(at, oldSize);
    const int64_t offset = at - cell * oldSize;
    return cell * newSize + offset * newSize / oldSize - pointer;
}

} // namespace

int WheelNotches(int& pending, int delta) {
    constexpr int kNotch = 120;
    // A turn the other way forgets what was gathered the first way.
    if ((pending > 0 && delta < 0) || (pending < 0 && delta > 0)) {
        pending = 0;
    }
    pending = static_cast<int>(
        std::clamp<int64_t>(int64_t(pending) + delta, -kNotch * 100, kNotch * 100));
    const int notches = pending / kNotch;
    pending -= notches * kNotch;
    return notches;
}

ZoomFactor ZoomAt(int step) {
    return kFactors[size_t(ClampZoomStep(step))];
}

int ClampZoomStep(int step) {
    return std::clamp(step, 0, kZoomSteps - 1);
}

int32_t ZoomedSize(int32_t size, int step) {
    if (size <= 0) {
        return 0;
    }
    const ZoomFactor f = ZoomAt(step);
    const int64_t scaled = (int64_t(size) * f.num * 2 + f.den) / (int64_t(f.den) * 2);
    return Saturate(std::max<int64_t>(scaled, 1));
}

TileContext ZoomedTile(const TileContext& tile, int step) {
    if (!tile.valid()) {
        return tile;
    }
    return {ZoomedSize(tile.width, step), ZoomedSize(tile.height, step), tile.current};
}

Point AnchoredScroll(Point pointer, const Viewport& view, const MapModel& map, int32_t oldWidth,
                     int32_t oldHeight, int32_t newWidth, int32_t newHeight) {
    if (oldWidth <= 0 || oldHeight <= 0 || newWidth <= 0 || newHeight <= 0) {
        return view.scroll;
    }
    const Point wanted{Saturate(AnchorAxis(pointer.x, view.scroll.x, oldWidth, newWidth)),
                       Saturate(AnchorAxis(pointer.y, view.scroll.y, oldHeight, newHeight))};
    return ClampScroll(wanted, map, view, newWidth, newHeight);
}

Rect RescaleSelection(const Rect& sel, int32_t oldWidth, int32_t oldHeight, int32_t newWidth,
                      int32_t newHeight) {
    if (oldWidth <= 0 || oldHeight <= 0 || newWidth <= 0 || newHeight <= 0 || sel.left < 0 ||
        sel.top < 0 || sel.left % oldWidth != 0 || sel.top % oldHeight != 0 ||
        sel.right < sel.left || sel.bottom < sel.top) {
        return sel;
    }
    const int64_t left = sel.left / oldWidth;
    const int64_t top = sel.top / oldHeight;
    const int64_t right = sel.right / oldWidth;
    const int64_t bottom = sel.bottom / oldHeight;
    return {Saturate(left * newWidth), Saturate(top * newHeight),
            Saturate((right + 1) * newWidth - 1), Saturate((bottom + 1) * newHeight - 1)};
}

std::optional<int32_t> CellUnderPointer(const MapModel& map, Point pointer, Point scroll,
                                        int32_t cellWidth, int32_t cellHeight) {
    if (!map.hasCells() || cellWidth <= 0 || cellHeight <= 0) {
        return std::nullopt;
    }
    const int64_t x = int64_t(pointer.x) + scroll.x;
    const int64_t y = int64_t(pointer.y) + scroll.y;
    if (x < 0 || y < 0) {
        return std::nullopt;
    }
    const int64_t col = x / cellWidth;
    const int64_t row = y / cellHeight;
    if (col >= map.width() || row >= map.height()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(row * map.width() + col);
}

Point SelectionSize(const Rect& sel, int32_t cellWidth, int32_t cellHeight) {
    if (cellWidth <= 0 || cellHeight <= 0) {
        return {};
    }
    return {sel.right / cellWidth - sel.left / cellWidth + 1,
            sel.bottom / cellHeight - sel.top / cellHeight + 1};
}

std::string PointerReadout(const MapModel& map, std::optional<int32_t> cell,
                           std::optional<Point> dragCells) {
    std::string text;
    if (cell && map.hasCells() && *cell >= 0 && int64_t(*cell) < map.cellCount()) {
        const int32_t col = *cell % map.width();
        const int32_t row = *cell / map.width();
        const uint16_t value = map.cellAt(col, row);
        text = "(" + std::to_string(col) + ", " + std::to_string(row) + ") ";
        text += value == kEmptyCell ? std::string("빈 칸") : "타일 " + std::to_string(value);
        if (value != kEmptyCell && map.hasAttrs())
            text += CellAttrText(map.format(), map.attrAt(size_t(*cell)));
    }
    if (dragCells) {
        if (!text.empty()) {
            text += "  ";
        }
        text += std::to_string(dragCells->x) + " × " + std::to_string(dragCells->y);
    }
    return text;
}

} // namespace kesh
