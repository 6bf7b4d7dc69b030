#pragma once

#include "app/UserServices.h"

namespace kesh::ui {

// The image import dialog starts where the user left it last time: the tile
// size (unless the set's tiles fix it) and the boxes. "팔레트도 가져오기"
// stays ticked when the procedure ticked it (an empty set).
void RecallImportOptions(ImportOptionsEdit& edit);
// Keeps what the user confirmed, for the next import.
void RememberImportOptions(const ImportOptionsEdit& edit);

} // namespace kesh::ui
