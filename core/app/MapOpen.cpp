#include <algorithm>
#include <utility>

#include "app/MapProcedures.h"
#include "app/TerrainHome.h"
#include "app/TileProcedures.h"
#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "io/SaveRecovery.h"
#include "layout/Descriptor.h"
#include "terrain/TerrainFile.h"

namespace kesh {

bool MapProcedures::LayoutByHand(MapReadLayout& layout, std::optional<std::string>& tileHeader) {
    MapFormatEdit edit = EditOf(MapFormat::Default(), false);
    edit.tiles = m_tiles.format();
    if (!m_user.EditMapFormat(edit))
        return false;
    // Only the header's length is taken: its bytes are in the file.
    layout.descriptor.headerLength = edit.hasHeader ? HeaderLength(edit.header) : 0;
    layout.descriptor.items = std::move(edit.items);
    layout.hasSize = true;
    layout.width = edit.width;
    layout.height = edit.height;

    // The tile file format command, run on a copy: the set's own layout only
    // changes once the map has been read.
    const TileFormat& current = m_tiles.format();
    TileFormatEdit tileEdit = TileProcedures::EditOf(current, true);
    TileDescriptor& tile = layout.descriptor.tile;
    if (m_user.EditTileFormat(tileEdit)) {
        tileHeader = tileEdit.hasHeader ? std::move(tileEdit.header) : std::string();
        tile.headerLength = HeaderLength(*tileHeader);
        tile.attrWidth = tileEdit.attrWidth;
        tile.items = std::move(tileEdit.items);
        tile.params = tileEdit.params;
    } else {
        tile.headerLength = HeaderLength(current.header);
        tile.attrWidth = current.attrWidth;
        tile.items = current.items;
        tile.params = current.params;
    }
    return true;
}

bool MapProcedures::OpenMap() {
    if (!AskSaveChanges())
        return false;
    const auto path = m_user.ChooseOpenFile(MapFileDialog(false));
    return path && OpenMapPath(*path);
}

bool MapProcedures::OpenMapPath(const std::string& path) {
    // A file that is not there is reported as such, before any layout
    // question; a first save of it cut short may still bring it in place.
    (void)FinishInterruptedSaves(m_fs, {path, DescriptorPath(path, kMapDescriptorExt)});
    if (!m_fs.exists(path)) {
        m_user.ShowMessage(std::string(msg::kOpenFailed) + "\n" + path);
        return false;
    }
    MapReadLayout layout;
    std::optional<std::string> tileHeader;
    bool missing = false;
    Status st = LoadMapDescriptor(m_fs, path, layout.descriptor, missing);
    if (missing) {
        if (!m_user.AskYesNo(msg::kAskKmfMissing) || !LayoutByHand(layout, tileHeader))
            return false;
    } else if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }

    // Read into fresh objects: on failure the map and the tile set are untouched.
    const FileIdentity file = FileIdentity::Of(AbsolutePath(path));
    st = m_doc.Replace(
        [&](MapModel& map, TileSet& tiles) {
            Status read = LoadMapFile(m_fs, path, layout, map, tiles);
            const auto& items = layout.descriptor.items;
            if (read && tileHeader &&
                std::find(items.begin(), items.end(), MapItem::TileFile) == items.end())
                tiles.format().header = std::move(*tileHeader);
            return read;
        },
        file, false);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    // The terrain set beside the map comes with it; a damaged one is told
    // and left out, the map open all the same. A map whose tiles are in a
    // tile file of their own keeps the tiles, and the set that came with
    // them: the set beside such a map (as kesh-cli and earlier versions
    // left it) is taken only when there is none.
    TerrainSet terrain;
    bool noTerrain = false;
    const bool ownSet = TerrainHome::InMap(m_map.format()) || !m_doc.terrain().active();
    if (ownSet) {
        if (Status read = LoadTerrainFile(m_fs, TerrainPathFor(file.path), terrain, noTerrain);
            !read && !noTerrain)
            m_user.ShowMessage(read.message());
        if (Status took = m_doc.SetTerrainSet(std::move(terrain), false); !took)
            m_user.ShowMessage(took.message());
    }
    if (m_setTitle)
        m_setTitle(file.name);
    if (m_fileUsed)
        m_fileUsed(file.path);
    return true;
}

} // namespace kesh
