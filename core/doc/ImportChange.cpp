#include "doc/ImportChange.h"

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

MapState MapState::TakeFrom(MapModel& map) {
    MapState state{map.format(), std::move(map.cells()), map.m_strFileName, map.m_strPathName};
    map.cells().clear();
    return state;
}

void MapState::PutInto(MapModel& map) {
    // A grid the map held before, so its size is one the map can hold.
    (void)map.ReplaceGrid(std::move(format), std::move(cells));
    map.m_strFileName = std::move(fileName);
    map.m_strPathName = std::move(pathName);
}

ImportChange::ImportChange(const char* name, const TileSetState& before, int32_t keep,
                           TileRun removed, const TileSet& now, const MapModel& map,
                           MapState otherMap)
    : m_name(name), m_before(before), m_after(TileSetState::Of(now)), m_keep(keep),
      m_removed(std::move(removed)), m_added(TileRun::Of(now.tiles(), keep)),
      m_otherMap(std::move(otherMap)) {
    // The history counts a step's bytes when it comes and when it goes, so
    // the figure is the larger grid either way.
    const size_t grid = std::max(m_otherMap.cells.size(), map.cells().size()) * sizeof(uint16_t);
    const size_t layouts = m_otherMap.format.items.size() + m_otherMap.format.header.size() +
                           map.format().items.size() + map.format().header.size() +
                           m_otherMap.fileName.size() + m_otherMap.pathName.size() +
                           map.m_strFileName.size() + map.m_strPathName.size();
    m_bytes = sizeof(*this) + m_removed.Bytes() + m_added.Bytes() + grid + layouts +
              m_before.format.items.size() + m_after.format.items.size() +
              m_before.format.header.size() + m_after.format.header.size();
}

void ImportChange::swapMap(Document& doc) {
    MapModel& map = doc.map();
    MapState shown = MapState::TakeFrom(map);
    m_otherMap.PutInto(map);
    m_otherMap = std::move(shown);
    doc.view().ClampSelection(map, doc.tiles().tileWidth(), doc.tiles().tileHeight());
}

void ImportChange::Undo(Document& doc) {
    TileSetChange::Apply(doc.tiles(), m_before, m_keep, m_removed.pixels, m_removed.attributes);
    swapMap(doc);
}

void ImportChange::Redo(Document& doc) {
    TileSetChange::Apply(doc.tiles(), m_after, m_keep, m_added.pixels, m_added.attributes);
    swapMap(doc);
}

size_t ImportChange::Bytes() const {
    return m_bytes;
}

uint32_t ImportChange::Changes() const {
    return change::kCells | change::kTiles | change::kColours | change::kTileLayout |
           change::kCurrentTile | change::kMapLayout | change::kReplaced;
}

} // namespace kesh
