// Map layout descriptors (.kmf): ParseKmf on the whole input.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    MapDescriptor read;
    read.headerLength = 9;
    read.items = {3, 3, 99};
    read.tile.headerLength = 200;
    read.tile.attrWidth = 2;
    read.tile.items = {1, 250};
    const MapDescriptor before = read;

    const Status status = ParseKmf(bytes, read);
    if (!status) {
        FUZZ_CHECK(status.message() == msg::kDamagedFile);
        FUZZ_CHECK(read == before);
        return 0;
    }
    FUZZ_CHECK(read.headerLength >= 0 && read.headerLength <= kMaxHeaderBytes);
    FUZZ_CHECK(read.items.size() <= size_t(kMaxLayoutItems));
    FUZZ_CHECK(read.tile.headerLength >= 0 && read.tile.headerLength <= kMaxHeaderBytes);
    FUZZ_CHECK(read.tile.attrWidth >= 0 && read.tile.attrWidth <= 2);
    FUZZ_CHECK(read.tile.items.size() <= size_t(kMaxLayoutItems));

    MapFormat map;
    map.header.assign(size_t(read.headerLength), 'm');
    map.items = read.items;
    TileFormat tile;
    tile.header.assign(size_t(read.tile.headerLength), 't');
    tile.attrWidth = read.tile.attrWidth;
    tile.items = read.tile.items;
    map.cells = read.cells;
    // Cell fields are read only as the layout CheckCellLayout accepts, and
    // written again only while an item uses them.
    FUZZ_CHECK(CheckCellLayout(read.cells).ok());
    const bool fields = map.HasFieldItems();
    const std::vector<uint8_t> again = BuildKmf(map, tile);
    MapDescriptor back;
    FUZZ_CHECK(ParseKmf(again, back).ok());
    MapDescriptor expected = read;
    if (!fields)
        expected.cells = MapDescriptor().cells;
    FUZZ_CHECK(back == expected);
    // The tile part of a .kmf is a .ktf of its own.
    const size_t tileAt = 2 + read.items.size();
    const size_t plainSize = tileAt + 3 + read.tile.items.size();
    TileDescriptor tilePart;
    FUZZ_CHECK(ParseKtf(std::span(again).subspan(tileAt, plainSize - tileAt), tilePart).ok());
    FUZZ_CHECK(tilePart == read.tile);
    FUZZ_CHECK(fields == (again.size() > plainSize));
    const size_t selectorAt = tileAt + 1;
    if (bytes[selectorAt] <= 2) {
        // The plain part is written as read; so is an extension in use.
        const size_t same = fields ? size : plainSize;
        FUZZ_CHECK(again.size() == same && size >= same &&
                   std::equal(again.begin(), again.end(), bytes.begin()));
    }
    return 0;
}
