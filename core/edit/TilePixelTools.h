#pragma once

#include <cstdint>
#include <vector>

#include "map/MapModel.h"

namespace kesh {

// The pixel geometry of the tile editor's tools, inside one tile of
// `width` x `height` (pixels row by row, top first). Each gives the pixels
// a tool touches, cut to the tile, each once; a stroke then becomes one
// request to the document (Document::EditTilePixels).
class TilePixelTools {
public:
    // A line from `a` to `b`, both ends included, one pixel per step along
    // the longer axis.
    static std::vector<Point> Line(Point a, Point b, int32_t width, int32_t height);
    // The rectangle with corners `a` and `b`: its outline, or all of it.
    static std::vector<Point> Rectangle(Point a, Point b, bool filled, int32_t width,
                                        int32_t height);
    // The pixels of `start`'s value joined to it through edges (not corners);
    // none when `start` is outside the tile.
    static std::vector<Point> FloodFill(const uint8_t* pixels, int32_t width, int32_t height,
                                        Point start);
    // `pixels` with `points` set to `value`.
    static std::vector<uint8_t> Paint(const uint8_t* pixels, int32_t width, int32_t height,
                                      const std::vector<Point>& points, uint8_t value);
};

} // namespace kesh
