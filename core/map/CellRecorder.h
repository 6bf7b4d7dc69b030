#pragma once

#include <cstdint>

#include "map/MapModel.h"

namespace kesh {

// The edits a paste or fill makes, for naming the step they become.
enum class RegionEdit { Paste, Fill };

// Hears every change MapEditor makes to the cells, so that the changes can
// be taken back. A stroke is every cell painted from the start of a paint
// drag, an Enter press or an Enter+arrow run until the button or key that
// began it is let go.
class CellRecorder {
public:
    virtual ~CellRecorder() = default;

    // Cell `index` went from `before` to `after` (they differ).
    virtual void CellPainted(int32_t index, uint16_t before, uint16_t after) = 0;
    // The paint drag or Enter run is over; cells painted later start a new stroke.
    virtual void StrokeEnded() = 0;
    // A paste or fill is about to write the cells of `cells` (inclusive, inside
    // the grid; left > right or top > bottom when it writes none).
    virtual void RegionChanging(const Rect& cells) = 0;
    // ... and has written them.
    virtual void RegionChanged(RegionEdit edit) = 0;
};

} // namespace kesh
