// The consoles' tile and palette encodings read from hostile bytes
// (ReadEncodedTiles, DecodeColours): whatever is read writes back byte for
// byte, and a refusal leaves the tile list and colour table as they were.
#include <algorithm>

#include "EncodedTilesInput.h"
#include "FuzzSupport.h"
#include "io/ByteWriter.h"
#include "tileset/EncodedTiles.h"

using namespace kesh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::EncodedTilesInput in = fuzz::ParseEncodedTilesInput({data, size});

    ColourTable table{};
    table[5] = 99;
    const ColourTable before = table;
    const int whole = fuzz::WholeColours(in.colours, in.palette.size());
    if (DecodeColours(in.colours, in.palette.data(), 0, whole, table)) {
        std::vector<uint8_t> back(size_t(PaletteBytes(in.colours, whole)));
        EncodeColours(in.colours, table, 0, whole, back.data());
        for (size_t i = 0; i < back.size(); ++i)
            FUZZ_CHECK(back[i] == in.palette[i] || (in.colours == ColourEncoding::Nes &&
                                                    in.palette[i] == 0x0D && back[i] == 0x0F));
    } else {
        FUZZ_CHECK(table == before);
    }

    TileList tiles;
    FUZZ_CHECK(tiles.Setup(in.width, in.height));
    const Status read = ReadEncodedTiles(in.tiles, in.pixels, in.tileCount, tiles);
    FUZZ_CHECK(read.ok() || tiles.count() == 0);
    if (read) {
        FUZZ_CHECK(tiles.count() == uint32_t(in.tileCount));
        ByteWriter out;
        FUZZ_CHECK(WriteEncodedTiles(tiles, in.pixels, out));
        FUZZ_CHECK(out.size() == EncodedTilesBytes(in.pixels, in.width, in.height, in.tileCount));
        FUZZ_CHECK(std::equal(out.bytes().begin(), out.bytes().end(), in.tiles.begin()));
    }
    return 0;
}
