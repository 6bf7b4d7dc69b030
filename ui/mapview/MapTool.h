#pragma once

#include <Qt>

namespace kesh::ui {

// Where the pointer is on the map, as a tool sees it: the map pixel at 1x
// under it (which may lie outside the map), the cell holding that pixel, and
// whether that cell exists.
struct MapToolPoint {
    int pixelX = 0;
    int pixelY = 0;
    int cellX = 0;
    int cellY = 0;
    bool inside = false;
    Qt::KeyboardModifiers modifiers;
};

// A tool that takes over the left button in the map view (픽셀 그리기,
// 지형 붓...). The view hands it the press, the moves while the button is
// down and the release, in map coordinates; the tool makes its requests to
// the document, which repaints the view through its listeners. Without a
// tool the view edits cells as always.
class MapTool {
public:
    virtual ~MapTool() = default;
    // False leaves the press to the view's own editing (a tool that cannot
    // work here, at this zoom or with this map).
    virtual bool Press(const MapToolPoint& at) = 0;
    virtual void Move(const MapToolPoint& at) = 0;
    // Ends the stroke: one undo step for the whole of it.
    virtual void Release() = 0;
};

} // namespace kesh::ui
