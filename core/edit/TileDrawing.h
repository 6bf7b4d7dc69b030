#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "doc/Document.h"
#include "map/MapModel.h"

namespace kesh {

// The tile editor's tools.
enum class PixelTool { Pencil, Line, Rectangle, Fill, Picker };

// A pixel of a tile: which tile, and where in it.
struct TilePixel {
    int32_t tile = 0;
    Point at;
    bool operator==(const TilePixel&) const = default;
};

// A press, drag and release of one of the tile editor's tools over one tile,
// in that tile's pixels, turned into requests to the document: the pencil
// draws as it goes (a pixel stroke, one step), the line and the rectangle
// are one edit on release (Preview shows them meanwhile), the fill one edit
// on press; the picker changes nothing and gives the pixel's value.
class TileDrawing {
public:
    explicit TileDrawing(Document& doc) : m_doc(doc) {}

    // Begins a drag of `tool` with colour `value` at pixel `at` of tile
    // `tile`. The picker's answer is the value under it (none off the tile).
    std::optional<uint8_t> Press(int32_t tile, Point at, PixelTool tool, uint8_t value);
    void Move(Point at);
    void Release();
    bool dragging() const { return m_dragging; }
    // The pixels a line or rectangle would set if released now; else none.
    std::vector<Point> Preview() const;

    // The pixel of the tile a map cell shows at map pixel `pixel` (1x),
    // through the cell's flips; none off the map, on an empty cell or a
    // number the set does not have.
    static std::optional<TilePixel> UnderMapPixel(const Document& doc, Point pixel);

private:
    // The line or rectangle from the press to the pointer.
    std::vector<Point> Shape() const;

    Document& m_doc;
    PixelTool m_tool = PixelTool::Pencil;
    int32_t m_tile = -1;
    uint8_t m_value = 0;
    Point m_start;
    Point m_last;
    bool m_dragging = false;
};

} // namespace kesh
