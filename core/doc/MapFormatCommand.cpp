#include "doc/MapFormatCommand.h"

#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh {

namespace {

// Only the parts a layout change touches: the grid keeps its size.
void TakeLayout(MapModel& map, const MapFormat& format) {
    map.format().items = format.items;
    map.format().header = format.header;
}

} // namespace

void MapFormatCommand::Undo(Document& doc) {
    TakeLayout(doc.map(), m_before);
}

void MapFormatCommand::Redo(Document& doc) {
    TakeLayout(doc.map(), m_after);
}

const char* MapFormatCommand::Name() const {
    return command::kMapFormat;
}

size_t MapFormatCommand::Bytes() const {
    return sizeof(*this) + m_before.items.capacity() + m_after.items.capacity() +
           m_before.header.capacity() + m_after.header.capacity();
}

uint32_t MapFormatCommand::Changes() const {
    return change::kMapLayout;
}

} // namespace kesh
