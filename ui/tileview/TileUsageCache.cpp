#include "tileview/TileUsageCache.h"

namespace kesh::ui {

const TileUsage& TileUsageCache::Usage() {
    // A set whose size changed without a word would index past the counts.
    const auto tiles = size_t(m_doc.tiles().count());
    if (m_stale || m_usage.counts.size() != tiles) {
        m_usage = TileUsage::Count(m_doc.map().cells(), m_doc.tiles().count());
        m_stale = false;
        ++m_recounts;
    }
    return m_usage;
}

uint64_t TileUsageCache::CountOf(int number) {
    const TileUsage& usage = Usage();
    return number >= 0 && size_t(number) < usage.counts.size() ? usage.counts[size_t(number)] : 0;
}

} // namespace kesh::ui
