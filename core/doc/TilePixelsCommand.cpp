#include "doc/TilePixelsCommand.h"

#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

void TilePixelsCommand::Redo(Document& doc) {
    doc.tiles().tiles().SetPixelsAt(m_number, m_after.data());
    doc.tiles().touch();
}

void TilePixelsCommand::Undo(Document& doc) {
    doc.tiles().tiles().SetPixelsAt(m_number, m_before.data());
    doc.tiles().touch();
}

uint32_t TilePixelsCommand::Changes() const {
    return change::kTiles;
}

} // namespace kesh
