#include "edit/TilePixelTools.h"

#include <algorithm>
#include <cstdlib>

namespace kesh {

namespace {

bool Inside(Point p, int32_t width, int32_t height) {
    return p.x >= 0 && p.y >= 0 && p.x < width && p.y < height;
}

} // namespace

std::vector<Point> TilePixelTools::Line(Point a, Point b, int32_t width, int32_t height) {
    std::vector<Point> out;
    const int32_t dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int32_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int32_t err = dx + dy;
    for (Point p = a;;) {
        if (Inside(p, width, height))
            out.push_back(p);
        if (p == b)
            break;
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
    return out;
}

std::vector<Point> TilePixelTools::Rectangle(Point a, Point b, bool filled, int32_t width,
                                             int32_t height) {
    std::vector<Point> out;
    const int32_t left = std::max(std::min(a.x, b.x), 0);
    const int32_t right = std::min(std::max(a.x, b.x), width - 1);
    const int32_t top = std::max(std::min(a.y, b.y), 0);
    const int32_t bottom = std::min(std::max(a.y, b.y), height - 1);
    const int32_t x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const int32_t y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    for (int32_t y = top; y <= bottom; ++y)
        for (int32_t x = left; x <= right; ++x)
            if (filled || x == x0 || x == x1 || y == y0 || y == y1)
                out.push_back({x, y});
    return out;
}

std::vector<Point> TilePixelTools::FloodFill(const uint8_t* pixels, int32_t width,
                                             int32_t height, Point start) {
    std::vector<Point> out;
    if (!Inside(start, width, height))
        return out;
    const auto at = [&](Point p) { return size_t(p.y) * size_t(width) + size_t(p.x); };
    const uint8_t value = pixels[at(start)];
    std::vector<uint8_t> seen(size_t(width) * size_t(height), 0);
    std::vector<Point> todo{start};
    seen[at(start)] = 1;
    while (!todo.empty()) {
        const Point p = todo.back();
        todo.pop_back();
        out.push_back(p);
        for (const Point q : {Point{p.x - 1, p.y}, Point{p.x + 1, p.y}, Point{p.x, p.y - 1},
                              Point{p.x, p.y + 1}})
            if (Inside(q, width, height) && !seen[at(q)] && pixels[at(q)] == value) {
                seen[at(q)] = 1;
                todo.push_back(q);
            }
    }
    return out;
}

std::vector<uint8_t> TilePixelTools::Paint(const uint8_t* pixels, int32_t width, int32_t height,
                                           const std::vector<Point>& points, uint8_t value) {
    std::vector<uint8_t> out(pixels, pixels + size_t(width) * size_t(height));
    for (const Point p : points)
        if (Inside(p, width, height))
            out[size_t(p.y) * size_t(width) + size_t(p.x)] = value;
    return out;
}

} // namespace kesh
