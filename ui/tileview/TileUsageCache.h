#pragma once

#include <cstdint>

#include "doc/Document.h"
#include "map/TileUsage.h"

namespace kesh::ui {

// How many cells show each tile, counted once per change of the map or the
// tiles: a 4096 x 4096 map is 16M cells, too many to count per paint or per
// hover. The owner calls MarkStale when the document says the cells, the
// tiles or the map changed; the next question counts again.
class TileUsageCache {
public:
    explicit TileUsageCache(const Document& doc) : m_doc(doc) {}

    void MarkStale() { m_stale = true; }
    // The counts for the document as it is now.
    const TileUsage& Usage();
    // The cells that show tile `number`; 0 for a number the set lacks.
    uint64_t CountOf(int number);
    // How often the cells were counted, for the tests of the cache.
    int recounts() const { return m_recounts; }

private:
    const Document& m_doc;
    TileUsage m_usage;
    bool m_stale = true;
    int m_recounts = 0;
};

} // namespace kesh::ui
