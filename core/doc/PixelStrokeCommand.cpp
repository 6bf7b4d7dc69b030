#include "doc/PixelStrokeCommand.h"

#include <algorithm>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

bool PixelStrokeCommand::Paint(TileSet& tiles, int32_t number, const std::vector<Point>& points,
                               uint8_t value) {
    TileList& list = tiles.tiles();
    const uint8_t* now = list.PixelsAt(number);
    const int32_t w = list.width();
    const int32_t h = list.height();
    std::vector<uint8_t> pixels(now, now + list.tileSize());
    bool changed = false;
    for (const Point& p : points) {
        if (p.x < 0 || p.y < 0 || p.x >= w || p.y >= h)
            continue;
        uint8_t& pixel = pixels[size_t(p.y) * size_t(w) + size_t(p.x)];
        changed = changed || pixel != value;
        pixel = value;
    }
    if (!changed)
        return false;
    // The tile as it was before the stroke first touched it.
    if (!m_tiles.contains(number))
        m_tiles[number].before.assign(now, now + list.tileSize());
    list.SetPixelsAt(number, pixels.data());
    tiles.touch();
    return true;
}

void PixelStrokeCommand::Finish(const TileSet& tiles) {
    const TileList& list = tiles.tiles();
    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        const uint8_t* now = list.PixelsAt(it->first);
        it->second.after.assign(now, now + list.tileSize());
        if (it->second.after == it->second.before)
            it = m_tiles.erase(it);
        else
            ++it;
    }
}

void PixelStrokeCommand::Put(Document& doc, bool after) const {
    TileList& list = doc.tiles().tiles();
    for (const auto& [number, pixels] : m_tiles)
        list.SetPixelsAt(number, (after ? pixels.after : pixels.before).data());
    doc.tiles().touch();
}

void PixelStrokeCommand::Undo(Document& doc) {
    Put(doc, false);
}

void PixelStrokeCommand::Redo(Document& doc) {
    Put(doc, true);
}

size_t PixelStrokeCommand::Bytes() const {
    size_t bytes = sizeof(*this);
    for (const auto& [number, pixels] : m_tiles)
        bytes += 64 + pixels.before.capacity() + pixels.after.capacity();
    return bytes;
}

uint32_t PixelStrokeCommand::Changes() const {
    return change::kTiles;
}

} // namespace kesh
