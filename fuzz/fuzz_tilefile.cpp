// Tile files: ReadTileFile with the layout of a .ktf. The input is the .ktf
// and the .til joined as described in FuzzSupport.h.
#include "FuzzFixtures.h"
#include "FuzzSupport.h"
#include "layout/Descriptor.h"
#include "support/ReaderState.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzz::SplitInput(data, size);
    TileDescriptor layout;
    if (!ParseKtf(input.descriptor, layout))
        return 0;
    TileSet set = fuzz::MakeTileSet();
    set.format().items = layout.items;
    set.format().attrWidth = layout.attrWidth;
    set.format().params = layout.params;
    const auto before = test::TileSetState(set);

    ByteReader in(input.data);
    const Status status = set.ReadTileFile(in, layout.headerLength);
    if (!status) {
        FUZZ_CHECK(fuzz::IsTileReadMessage(status.message()));
        FUZZ_CHECK(test::TileSetState(set) == before);
        FUZZ_CHECK(in.pos() == 0);
        return 0;
    }
    // What was read is a usable tile set of the size its format now says.
    FUZZ_CHECK(in.pos() <= input.data.size());
    FUZZ_CHECK(set.tileWidth() > 0 && set.tileHeight() > 0);
    FUZZ_CHECK(set.tiles().width() == set.tileWidth());
    FUZZ_CHECK(set.tiles().height() == set.tileHeight());
    FUZZ_CHECK(set.tiles().count() <= set.tiles().capacity());
    FUZZ_CHECK(set.format().header.size() <= size_t(layout.headerLength));
    FUZZ_CHECK(set.format().items == layout.items);
    FUZZ_CHECK(set.format().attrWidth == layout.attrWidth);
    // Touches every pixel, so the sanitizer sees any tile that is not all there.
    (void)test::TilesState(set.tiles());
    return 0;
}
