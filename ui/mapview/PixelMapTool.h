#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QString>

#include "map/MapModel.h"
#include "mapview/MapTool.h"

namespace kesh::ui {

class CKeshView;

// 픽셀 그리기: the left button paints pixels straight into the tiles under
// the pointer, in the colour the 타일 편집 panel draws with; every cell
// showing a tile changes with it. One drag is one step. Below 4x a pixel is
// too small to aim at: the press is refused and `refused` is told why.
class PixelMapTool : public MapTool {
public:
    using Colour = std::function<uint8_t()>;
    using Notice = std::function<void(const QString&)>;
    PixelMapTool(CKeshView& view, Colour colour, Notice refused);

    // The smallest zoom it paints at, and what the status bar says below it.
    static bool ZoomAllowed(int step);
    static QString RefusedText();

    bool Press(const MapToolPoint& at) override;
    void Move(const MapToolPoint& at) override;
    void Release() override;

private:
    // Paints the pixels of the map from `from` to `to` (map pixels at 1x).
    void PaintLine(Point from, Point to);

    CKeshView& m_view;
    Colour m_colour;
    Notice m_refused;
    uint8_t m_value = 0;
    Point m_last;
    bool m_active = false;
};

} // namespace kesh::ui
