#include "doc/AttributeChange.h"

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "doc/StepNames.h"

namespace kesh {

void AttributeChange::Undo(Document& doc) {
    doc.tiles().tiles().SetAttributeAt(m_tile, m_before);
    doc.tiles().touch();
}

void AttributeChange::Redo(Document& doc) {
    doc.tiles().tiles().SetAttributeAt(m_tile, m_after);
    doc.tiles().touch();
}

const char* AttributeChange::Name() const {
    return step::kAttribute;
}

uint32_t AttributeChange::Changes() const {
    return change::kTiles;
}

} // namespace kesh
