#include "app/AppServices.h"
#include "app/MapProcedures.h"
#include "io/FileSystem.h"
#include "map/CKeshView.h"
#include "tileset/CTile1View.h"

namespace kesh::ui {

// The map file procedures the view runs itself: saving when a changed map is
// about to be dropped. Asking for a name when the map has none, the save and
// its messages are the map procedures' own.
int CKeshView::SaveMap() {
    CTile1View* tiles = TileView();
    MapProcedures procedures(m_map, tiles ? &tiles->tileSet() : nullptr, Services(),
                             FileSystem::Native());
    const bool saved = procedures.SaveMap();
    viewport()->update();
    return saved ? 1 : 0;
}

} // namespace kesh::ui
