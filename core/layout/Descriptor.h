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
//
// A layout with items that need more than their code (the cell fields of a
// map) adds an extension after those bytes: 0xFF 'K' 'X' 0x01, then
// sections of a tag byte, a 16-bit little-endian length and that many bytes.
// A reader that knows only the plain form refuses such a file (it goes on
// after its items), so it is never misread; a plain layout is written
// without the extension, byte for byte as before.
namespace DescriptorSection {
enum : uint8_t {
    CellLayout = 1,  // a map's cell fields
    TileParams = 2,  // the pixel and colour encodings of the tile layout's items
    // A map with a NesAttributes item; no payload. A reader that knows the
    // cell fields but not the table refuses the section, where it would
    // skip the item's code and misread the bytes after it.
    NesTable = 3,
    TileLimit = 4,   // the tile limit set for the tile layout: 32-bit LE, 1-65535
};
} // namespace DescriptorSection

inline constexpr std::string_view kTileDescriptorExt = ".ktf";
inline constexpr std::string_view kMapDescriptorExt = ".kmf";

// What a .ktf holds (also the tile part of a .kmf).
struct TileDescriptor {
    int headerLength = 0; // bytes of header string at the start of the data
    AttrWidth attrWidth = 0;
    std::vector<uint8_t> items; // TileItem codes, unknown codes kept as read
    TileItemParams params = {}; // of the Pixels and Palette items
    uint32_t tileLimit = 0;     // "타일 한도"; 0: none set

    bool operator==(const TileDescriptor&) const = default;
};

// What a .kmf holds.
struct MapDescriptor {
    int headerLength = 0;
    std::vector<uint8_t> items; // MapItem codes
    TileDescriptor tile;
    CellLayout cells; // the fields of CellFields and CellAttributes items

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
// leaves `out` unchanged. An AttrWidth outside 0-2 is taken as 0. So does
// an extension that is damaged, has a section this program does not know,
// or cell fields that CheckCellLayout refuses. Items with fields but no
// fields for them are skipped by the readers, as unknown codes are. Pixels
// and Palette items need the tile parameters' section, and the section
// needs them: either without the other, or parameters ValidTileItemParams
// refuses, are damaged too. So is a NesAttributes item without the NES
// table's section or the section without the item, a palette field in a
// word beside the table (CheckCellLayout with `nesTable`), and a tile limit
// of 0 or above 65,535.
Status ParseKtf(std::span<const uint8_t> bytes, TileDescriptor& out);
Status ParseKmf(std::span<const uint8_t> bytes, MapDescriptor& out);

// The descriptor beside a data file: the file name cut before its last "."
// (a "." in a folder name never counts), then `extension`:
// "/maps/town.old.til" -> "/maps/town.old.ktf", "/a/set.1/tiles" -> "/a/set.1/tiles.ktf".
std::string DescriptorPath(std::string_view dataPath, std::string_view extension);

} // namespace kesh
