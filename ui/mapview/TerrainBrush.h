#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "doc/Document.h"
#include "mapview/MapTool.h"

namespace kesh::ui {

class CKeshView;

// "지형 붓": the map view's tool that paints the chosen terrain. The press
// and every move paint the value point under the pointer (the nearest cell
// corner for a corner set, the cell for a blob set), and the points a fast
// move jumped over on the way; the release ends the stroke, one step.
class TerrainBrush : public MapTool {
public:
    // `terrain` answers the terrain to paint (the terrain panel's choice);
    // `done` hears how many cells the finished stroke left on the nearest
    // tile.
    TerrainBrush(CKeshView& view, std::function<int()> terrain,
                 std::function<void(uint64_t unmatched)> done);

    // The value point of `layer` nearest map pixel (x, y), tiles being
    // `tileWidth` x `tileHeight`; nullopt off the value grid.
    static std::optional<Point> ValuePoint(const TerrainLayer& layer, int x, int y,
                                           int32_t tileWidth, int32_t tileHeight);

    bool Press(const MapToolPoint& at) override;
    void Move(const MapToolPoint& at) override;
    void Release() override;

private:
    std::optional<Point> pointAt(const MapToolPoint& at) const;
    void paint(Point p);
    // Repaints the cells `cells` (inclusive) on screen.
    void repaint(const Rect& cells);

    CKeshView& m_view;
    std::function<int()> m_terrain;
    std::function<void(uint64_t)> m_done;
    std::optional<Point> m_last;
    int m_painting = -1;
};

} // namespace kesh::ui
