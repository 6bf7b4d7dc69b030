#include "map/CKeshView.h"

namespace kesh::ui {

// The map file procedures. Saving is not offered yet: nothing is written.
int CKeshView::SaveMap() {
    return 0;
}

} // namespace kesh::ui
