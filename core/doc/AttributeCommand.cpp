#include "doc/AttributeCommand.h"

#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

void AttributeCommand::Undo(Document& doc) {
    doc.tiles().tiles().SetAttributeAt(m_tile, m_before);
    doc.tiles().touch();
}

void AttributeCommand::Redo(Document& doc) {
    doc.tiles().tiles().SetAttributeAt(m_tile, m_after);
    doc.tiles().touch();
}

const char* AttributeCommand::Name() const {
    return command::kAttribute;
}

uint32_t AttributeCommand::Changes() const {
    return change::kTiles;
}

} // namespace kesh
