#pragma once

#include <cstdint>
#include <functional>

#include "base/Status.h"

namespace pugi {
class xml_node;
}

namespace kesh {

// Reads the gids of a layer's <data> element (or of one <chunk> in it) in
// the order stored, handing each to `put`, which may stop the reading by
// failing. Encodings: CSV, base64 (uncompressed, zlib or gzip) and <tile>
// elements; zstd and anything else fail with a message. At most `expected`
// gids are read and inflating stops there, so a small file cannot claim more
// memory than its cells; fewer or more gids than `expected` fail.
Status ReadLayerGids(const pugi::xml_node& data, const char* encoding, const char* compression,
                     int64_t expected, const std::function<Status(uint32_t)>& put);

} // namespace kesh
