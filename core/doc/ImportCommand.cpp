#include "doc/ImportCommand.h"

#include <algorithm>
#include <utility>

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

TileRun TileRun::Of(const TileList& tiles, int32_t from) {
    TileRun run;
    const size_t size = size_t(tiles.tileSize());
    for (int64_t i = from; i < int64_t(tiles.count()); ++i) {
        const uint8_t* p = tiles.PixelsAt(i);
        run.pixels.insert(run.pixels.end(), p, p + size);
        run.attributes.push_back(tiles.AttributeAt(i));
    }
    return run;
}

ImportCommand::ImportCommand(const char* name, const TileSetState& before, int32_t keep,
                             TileRun removed, const TileSet& now, MapFormat format,
                             std::vector<uint16_t> cells, std::vector<uint16_t> attrs)
    : m_name(name), m_before(before), m_after(TileSetState::Of(now)), m_keep(keep),
      m_removed(std::move(removed)), m_added(TileRun::Of(now.tiles(), keep)),
      m_otherMap{std::move(format), std::move(cells), std::move(attrs), FileIdentity{}} {}

void ImportCommand::PlaceMap(Document& doc) {
    const MapModel& map = doc.map();
    // The history counts a step's bytes when it comes and when it goes, so
    // the figure is the larger grid either way.
    const size_t grid = std::max(m_otherMap.cells.size() + m_otherMap.attrs.size(),
                                 map.cells().size() + map.attrs().size()) *
                        sizeof(uint16_t);
    const size_t layouts = m_otherMap.format.items.size() + m_otherMap.format.header.size() +
                           map.format().items.size() + map.format().header.size() +
                           m_otherMap.file.name.size() + m_otherMap.file.path.size() +
                           doc.file().name.size() + doc.file().path.size();
    m_bytes = sizeof(*this) + m_removed.Bytes() + m_added.Bytes() + grid + layouts +
              m_before.format.items.size() + m_after.format.items.size() +
              m_before.format.header.size() + m_after.format.header.size();
    swapMap(doc);
}

void ImportCommand::swapMap(Document& doc) {
    doc.swapMap(m_otherMap.format, m_otherMap.cells, m_otherMap.attrs, m_otherMap.file);
}

void ImportCommand::Undo(Document& doc) {
    TileSetCommand::Apply(doc.tiles(), m_before, m_keep, m_removed.pixels, m_removed.attributes);
    swapMap(doc);
}

void ImportCommand::Redo(Document& doc) {
    TileSetCommand::Apply(doc.tiles(), m_after, m_keep, m_added.pixels, m_added.attributes);
    swapMap(doc);
}

size_t ImportCommand::Bytes() const {
    return m_bytes;
}

uint32_t ImportCommand::Changes() const {
    return change::kCells | change::kTiles | change::kColours | change::kTileLayout |
           change::kCurrentTile | change::kMapLayout | change::kReplaced;
}

} // namespace kesh
