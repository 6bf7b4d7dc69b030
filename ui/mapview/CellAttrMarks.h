#pragma once

#include <cstdint>

#include <QColor>
#include <QString>

#include "edit/MapGeometry.h"
#include "layout/CellFields.h"

class QPainter;

namespace kesh {
class MapModel;
}

namespace kesh::ui {

// 셀 속성 보기: the bits of a cell that draw nothing (priority and the user
// fields) shown as small squares in a row along the cell's top edge, one
// colour a bit, and the legend that names the colours.
class CellAttrMarks {
public:
    // The marks: 0 priority, 1 + n user field n.
    static constexpr int kMarks = 1 + cellbit::kUserBits;
    static uint16_t Bit(int mark) {
        return mark == 0 ? cellbit::kPriority : cellbit::UserBit(mark - 1);
    }
    static QColor Colour(int mark);
    // The side of a mark in a cell of w x h pixels on screen.
    static int Side(int w, int h);

    // Marks the set bits of `cells` (zoomed map pixels, cells of w x h).
    static void Draw(QPainter& dc, const MapModel& map, const CellRange& cells, int w, int h);
    // The legend of the bits the layout has, as rich text; empty without any.
    static QString Legend(const CellLayout& layout);
};

} // namespace kesh::ui
