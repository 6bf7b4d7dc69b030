#pragma once

#include <cstdint>

#include "FuzzSupport.h"
#include "map/MapModel.h"
#include "tmx/TmxImport.h"

namespace kesh::fuzz {

// What every TMX import must give, whatever its input: a refusal with a
// message and nothing else, or a map the editor can hold whose cells name
// tiles the import brought.
inline void CheckTmxImport(const TmxImportResult& r) {
    if (!r.status) {
        FUZZ_CHECK(!r.status.message().empty());
        FUZZ_CHECK(r.cells.empty() && r.tiles.count() == 0 && r.warnings.empty());
        return;
    }
    FUZZ_CHECK(MapModel::IsValidSize(r.width, r.height));
    FUZZ_CHECK(r.cells.size() == size_t(r.width) * size_t(r.height));
    for (const uint16_t cell : r.cells)
        FUZZ_CHECK(cell == kEmptyCell || cell < r.tiles.count());
}

} // namespace kesh::fuzz
