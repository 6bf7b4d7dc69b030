#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "layout/MapFormat.h"
#include "layout/TileFormat.h"

namespace kesh {

// Layout descriptors: the small files saved beside a data file that say how
// to read it. A .ktf (beside a .til) is
//   header length, AttrWidth, item count N, N tile item codes;
// a .kmf (beside a .map) is
//   map header length, map item count N, N map item codes, then a whole .ktf
//   describing the tile block of each TileFile item.
// Neither holds the header text, sizes or counts: those live in the data file.

inline constexpr std::string_view kTileDescriptorExt = ".ktf";
inline constexpr std::string_view kMapDescriptorExt = ".kmf";

// What a .ktf holds (also the tile part of a .kmf).
struct TileDescriptor {
    int headerLength = 0; // bytes of header string at the start of the data
    AttrWidth attrWidth = 0;
    std::vector<uint8_t> items; // TileItem codes, unknown codes kept as read

    bool operator==(const TileDescriptor&) const = default;
};

// What a .kmf holds.
struct MapDescriptor {
    int headerLength = 0;
    std::vector<uint8_t> items; // MapItem codes
    TileDescriptor tile;

    bool operator==(const MapDescriptor&) const = default;
};

// Bytes of the header string that files store: at most kMaxHeaderBytes.
inline int HeaderLength(std::string_view header) {
    return header.size() > size_t(kMaxHeaderBytes) ? kMaxHeaderBytes : int(header.size());
}

// The descriptor bytes for a layout. At most kMaxLayoutItems items are written.
std::vector<uint8_t> BuildKtf(const TileFormat& tile);
std::vector<uint8_t> BuildKmf(const MapFormat& map, const TileFormat& tile);

// Reads descriptor bytes. A file that ends early, has an item count above
// kMaxLayoutItems or goes on after its items fails with msg::kDamagedFile and
// leaves `out` unchanged. An AttrWidth outside 0-2 is taken as 0.
Status ParseKtf(std::span<const uint8_t> bytes, TileDescriptor& out);
Status ParseKmf(std::span<const uint8_t> bytes, MapDescriptor& out);

// The descriptor beside a data file: the file name cut before its last "."
// (a "." in a folder name never counts), then `extension`:
// "/maps/town.old.til" -> "/maps/town.old.ktf", "/a/set.1/tiles" -> "/a/set.1/tiles.ktf".
std::string DescriptorPath(std::string_view dataPath, std::string_view extension);

} // namespace kesh
