// Read, write, read again, compare. The first input byte picks the file kind
// (even: tile file, odd: map file); the rest is a descriptor and its data file
// joined as described in FuzzSupport.h. Whatever is read, once written by this
// program (data file and descriptor), must read back the same.
#include "FuzzFixtures.h"
#include "FuzzSupport.h"
#include "layout/Descriptor.h"
#include "map/MapFile.h"
#include "support/ReaderState.h"

using namespace kesh;

namespace {

// The tile set as a tile file is concerned: header, size, layout, tiles, colours.
std::vector<uint8_t> TileFileState(const TileSet& set) {
    ByteWriter out;
    out.reserve(64 + set.format().header.size() + set.format().items.size() + 1024 +
                size_t(set.tiles().count()) * (4 + size_t(set.tiles().tileSize())));
    test::PutTileFormat(out, set.format());
    test::PutTiles(out, set.tiles());
    out.write(set.colourTable(), 1024);
    return out.take();
}

void TileFileRoundTrip(const fuzz::TwoFiles& input) {
    TileDescriptor layout;
    if (!ParseKtf(input.descriptor, layout))
        return;
    TileSet first;
    first.format().items = layout.items;
    first.format().attrWidth = layout.attrWidth;
    first.format().params = layout.params;
    ByteReader in(input.data);
    if (!first.ReadTileFile(in, layout.headerLength))
        return;

    ByteWriter til;
    if (!first.WriteTileFile(til)) {
        // Pixels from a plain block that a later Pixels item cannot hold refuse the save.
        FUZZ_CHECK(first.tiles().count() == 0 || !first.CheckEncodings());
        return;
    }
    TileDescriptor savedLayout;
    FUZZ_CHECK(ParseKtf(BuildKtf(first.format()), savedLayout).ok());
    TileSet second;
    second.format().items = savedLayout.items;
    second.format().attrWidth = savedLayout.attrWidth;
    second.format().params = savedLayout.params;
    ByteReader again(til.bytes());
    FUZZ_CHECK(second.ReadTileFile(again, savedLayout.headerLength).ok());
    FUZZ_CHECK(again.atEnd());
    FUZZ_CHECK(TileFileState(second) == TileFileState(first));
}

void MapFileRoundTrip(const fuzz::TwoFiles& input) {
    MapModel firstMap;
    TileSet firstTiles;
    if (!ReadMapFile(input.data, input.descriptor, firstMap, firstTiles))
        return;

    ByteWriter out;
    if (!WriteMapFile(firstMap, firstTiles, out)) {
        FUZZ_CHECK(firstTiles.tiles().count() == 0);
        return;
    }
    const std::vector<uint8_t> kmf = BuildKmf(firstMap.format(), firstTiles.format());
    MapModel secondMap;
    TileSet secondTiles;
    FUZZ_CHECK(ReadMapFile(out.bytes(), kmf, secondMap, secondTiles).ok());
    FUZZ_CHECK(secondMap.format() == firstMap.format());
    FUZZ_CHECK(secondMap.cells() == firstMap.cells());
    FUZZ_CHECK(TileFileState(secondTiles) == TileFileState(firstTiles));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const auto input = fuzz::SplitInput(data + 1, size - 1);
    if (data[0] % 2 == 0)
        TileFileRoundTrip(input);
    else
        MapFileRoundTrip(input);
    return 0;
}
