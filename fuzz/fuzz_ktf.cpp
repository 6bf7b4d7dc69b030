// Tile layout descriptors (.ktf): ParseKtf on the whole input.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    TileDescriptor read;
    read.headerLength = 77;
    read.attrWidth = 1;
    read.items = {42, 6};
    const TileDescriptor before = read;

    const Status status = ParseKtf(bytes, read);
    if (!status) {
        FUZZ_CHECK(status.message() == msg::kDamagedFile);
        FUZZ_CHECK(read == before);
        return 0;
    }
    FUZZ_CHECK(read.headerLength >= 0 && read.headerLength <= kMaxHeaderBytes);
    FUZZ_CHECK(read.attrWidth >= 0 && read.attrWidth <= 2);
    FUZZ_CHECK(read.items.size() <= size_t(kMaxLayoutItems));

    // Saving the layout that was read gives a descriptor that reads the same,
    // and the very same bytes when the selector was a valid one.
    TileFormat format;
    format.header.assign(size_t(read.headerLength), 'h');
    format.attrWidth = read.attrWidth;
    format.items = read.items;
    format.params = read.params;
    const std::vector<uint8_t> again = BuildKtf(format);
    TileDescriptor back;
    FUZZ_CHECK(ParseKtf(again, back).ok());
    FUZZ_CHECK(back == read);
    if (bytes[1] <= 2)
        FUZZ_CHECK(std::equal(again.begin(), again.end(), bytes.begin(), bytes.end()));
    return 0;
}
