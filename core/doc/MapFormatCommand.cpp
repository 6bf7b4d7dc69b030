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
    map.format().cells = format.cells;
}

} // namespace

void MapFormatCommand::Undo(Document& doc) {
    MapModel& map = doc.map();
    TakeLayout(map, m_before);
    if (!m_attrsBefore.empty() && map.cells().size() == m_attrsBefore.size())
        (void)map.SetAttrs(m_attrsBefore);
    else if (!map.MatchAttrs())
        (void)map.SetAttrs({});
}

void MapFormatCommand::Redo(Document& doc) {
    MapModel& map = doc.map();
    const uint16_t kept = m_after.AttrMask();
    const bool cuts = map.hasAttrs() && (m_before.AttrMask() & ~kept) != 0;
    if (cuts && m_attrsBefore.empty())
        m_attrsBefore = map.attrs();
    TakeLayout(map, m_after);
    // Without memory for the words a layout with fields keeps none; the
    // cells still paint, their bits read as clear.
    if (!map.MatchAttrs())
        (void)map.SetAttrs({});
    if (cuts && map.hasAttrs())
        for (uint16_t& attr : map.attrs())
            attr = uint16_t(attr & kept);
}

const char* MapFormatCommand::Name() const {
    return command::kMapFormat;
}

size_t MapFormatCommand::Bytes() const {
    return sizeof(*this) + m_before.items.capacity() + m_after.items.capacity() +
           m_before.header.capacity() + m_after.header.capacity() +
           m_attrsBefore.capacity() * sizeof(uint16_t);
}

uint32_t MapFormatCommand::Changes() const {
    return change::kMapLayout | change::kCells;
}

} // namespace kesh
