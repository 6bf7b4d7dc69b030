#include "doc/MapFormatChange.h"

#include "doc/Document.h"
#include "doc/DocumentListener.h"
#include "doc/StepNames.h"

namespace kesh {

namespace {

// Only the parts a layout change touches: the grid keeps its size.
void TakeLayout(MapModel& map, const MapFormat& format) {
    map.format().items = format.items;
    map.format().header = format.header;
}

} // namespace

void MapFormatChange::Undo(Document& doc) {
    TakeLayout(doc.map(), m_before);
}

void MapFormatChange::Redo(Document& doc) {
    TakeLayout(doc.map(), m_after);
}

const char* MapFormatChange::Name() const {
    return step::kMapFormat;
}

size_t MapFormatChange::Bytes() const {
    return sizeof(*this) + m_before.items.capacity() + m_after.items.capacity() +
           m_before.header.capacity() + m_after.header.capacity();
}

uint32_t MapFormatChange::Changes() const {
    return change::kMapLayout;
}

} // namespace kesh
