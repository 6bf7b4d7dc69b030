#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "doc/Command.h"
#include "map/MapModel.h"

namespace kesh {

class TileSet;

// A drag of the pencil, in the tile editor or on the map: every pixel it set
// in every tile it touched, one step. The pixels change at once as the drag
// goes (Paint); each touched tile's pixels from before its first change are
// kept, and Finish takes the pixels after, for undo and redo.
class PixelStrokeCommand : public Command {
public:
    explicit PixelStrokeCommand(const char* name) : m_name(name) {}

    // Sets `points` (cut to the tile) of tile `number` to `value`; true when
    // a pixel changed. The caller has checked that the tile exists.
    bool Paint(TileSet& tiles, int32_t number, const std::vector<Point>& points, uint8_t value);
    // Takes each touched tile's pixels as they are now and drops the tiles
    // that ended as they began.
    void Finish(const TileSet& tiles);
    bool empty() const { return m_tiles.empty(); }

    void Undo(Document& doc) override;
    void Redo(Document& doc) override;
    const char* Name() const override { return m_name; }
    size_t Bytes() const override;
    uint32_t Changes() const override;

private:
    struct Pixels {
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
    };
    void Put(Document& doc, bool after) const;

    const char* m_name;
    std::map<int32_t, Pixels> m_tiles;
};

} // namespace kesh
