#include "doc/TileSetCommand.h"

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "tileset/TileSet.h"

namespace kesh {

TileSetState TileSetState::Of(const TileSet& set) {
    return {set.format(), set.bitmapInfo(),    set.current(),
            set.count(),  set.tiles().width(), set.tiles().height()};
}

bool TileSetState::SameLook(const TileSetState& other) const {
    return format == other.format && bitmapInfo == other.bitmapInfo && current == other.current &&
           tileWidth == other.tileWidth && tileHeight == other.tileHeight;
}

bool TileSetCommand::Holds(const TileSetState& before, const TileSet& now) {
    const bool sameSize =
        before.tileWidth == now.tiles().width() && before.tileHeight == now.tiles().height();
    return now.count() >= before.count && (sameSize || before.count == 0);
}

bool TileSetCommand::Changed(const TileSetState& before, const TileSet& now) {
    return now.count() != before.count || !TileSetState::Of(now).SameLook(before);
}

TileSetCommand::TileSetCommand(const TileSetState& before, const TileSet& now, const char* name,
                               bool marksMap)
    : m_before(before), m_after(TileSetState::Of(now)), m_name(name), m_marksMap(marksMap) {
    const TileList& tiles = now.tiles();
    const size_t size = size_t(tiles.tileSize());
    for (int32_t i = before.count; i < now.count(); ++i) {
        const uint8_t* p = tiles.PixelsAt(i);
        m_addedPixels.insert(m_addedPixels.end(), p, p + size);
        m_addedAttributes.push_back(tiles.AttributeAt(i));
    }
}

void TileSetCommand::Apply(TileSet& set, const TileSetState& state, int32_t keep,
                           const std::vector<uint8_t>& pixels,
                           const std::vector<uint32_t>& attributes) {
    TileList& tiles = set.tiles();
    if (tiles.width() != state.tileWidth || tiles.height() != state.tileHeight) {
        tiles.Setup(state.tileWidth, state.tileHeight);
    } else {
        while (set.count() > keep)
            tiles.Delete(set.count() - 1);
    }
    const size_t size = size_t(tiles.tileSize());
    for (size_t i = 0; i < attributes.size(); ++i)
        tiles.Append(pixels.data() + i * size, attributes[i]);
    set.format() = state.format;
    set.SetBitmapInfo(state.bitmapInfo);
    set.setCurrent(state.current);
    set.touch();
}

void TileSetCommand::Undo(Document& doc) {
    Apply(doc.tiles(), m_before, m_before.count, {}, {});
}

void TileSetCommand::Redo(Document& doc) {
    Apply(doc.tiles(), m_after, m_before.count, m_addedPixels, m_addedAttributes);
}

size_t TileSetCommand::Bytes() const {
    return sizeof(*this) + m_addedPixels.capacity() + m_addedAttributes.capacity() * 4 +
           m_before.format.items.capacity() + m_after.format.items.capacity() +
           m_before.format.header.capacity() + m_after.format.header.capacity();
}

uint32_t TileSetCommand::Changes() const {
    return change::kTiles | change::kColours | change::kTileLayout | change::kCurrentTile |
           change::kCells;
}

} // namespace kesh
