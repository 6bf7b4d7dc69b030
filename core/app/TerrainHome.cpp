#include "app/TerrainHome.h"

#include <algorithm>

#include "terrain/TerrainFile.h"

namespace kesh {

bool TerrainHome::InMap(const MapFormat& format) {
    return std::find(format.items.begin(), format.items.end(), MapItem::TileFile) !=
           format.items.end();
}

std::vector<FileSource> TerrainHome::ForTileSave(const Document& doc,
                                                 const std::string& tilePath) {
    if (!doc.terrain().active() || InMap(doc.map().format()))
        return {};
    return {TerrainFileSource(TerrainPathFor(tilePath), doc.terrain().set())};
}

void TerrainHome::OpenBesideTiles(Document& doc, FileSystem& fs, UserServices& user,
                                  const std::string& tilePath) {
    TerrainSet set;
    bool missing = false;
    if (Status read = LoadTerrainFile(fs, TerrainPathFor(tilePath), set, missing);
        !read && !missing)
        user.ShowMessage(read.message());
    if (Status took = doc.SetTerrainSet(std::move(set), false); !took)
        user.ShowMessage(took.message());
}

} // namespace kesh
