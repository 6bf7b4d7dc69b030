// Adding a tile file to a tile set: AddTileFile. The input is
//   n, the .ktf (n bytes), w, h, flags, the .til
// where w x h (0 counts as 1) is the tile size of the set added to, and flags
// bit 0 says the file's tile size was set by hand (as w x h).
#include <set>
#include <string>

#include "FuzzFixtures.h"
#include "FuzzSupport.h"
#include "support/ReaderState.h"
#include "tileset/AddTileFile.h"

using namespace kesh;

namespace {

// A set of the given tile size holding two tiles, one of them blank, with the
// colours and header of MakeTileSet().
TileSet MakeSetOfSize(int32_t width, int32_t height) {
    TileSet set = fuzz::MakeTileSet();
    set.format().width = width;
    set.format().height = height;
    set.tiles().Setup(width, height);
    std::vector<uint8_t> pixels(size_t(width) * size_t(height), 0);
    set.tiles().Append(pixels.data(), 0);
    pixels[0] = 9;
    set.tiles().Append(pixels.data(), 1);
    return set;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzz::SplitInput(data, size);
    TileDescriptor layout;
    if (input.data.size() < 3 || !ParseKtf(input.descriptor, layout))
        return 0;
    const int32_t width = std::max<int32_t>(input.data[0], 1);
    const int32_t height = std::max<int32_t>(input.data[1], 1);
    const bool sizeByHand = input.data[2] & 1;
    const auto file = input.data.subspan(3);

    TileSet set = MakeSetOfSize(width, height);
    const auto before = test::TileSetState(set);
    const TileFormat formatBefore = set.format();
    const auto tilesBefore = test::TilesState(set.tiles());
    const uint32_t countBefore = set.tiles().count();

    const AddTileFileResult result =
        sizeByHand ? AddTileFile(set, file, layout, width, height) : AddTileFile(set, file, layout);
    if (!result.status) {
        const std::string& text = result.status.message();
        FUZZ_CHECK(fuzz::IsTileReadMessage(text) || text == msg::kTileSizeMismatch);
        FUZZ_CHECK(test::TileSetState(set) == before);
        return 0;
    }
    // The layout and size stay; the tiles already there stay where they were.
    FUZZ_CHECK(set.format().width == formatBefore.width);
    FUZZ_CHECK(set.format().height == formatBefore.height);
    FUZZ_CHECK(set.format().attrWidth == formatBefore.attrWidth);
    FUZZ_CHECK(set.format().items == formatBefore.items);
    FUZZ_CHECK(set.format().header.size() <= size_t(std::max(layout.headerLength, 3)));
    FUZZ_CHECK(set.tiles().count() == countBefore + uint32_t(result.added));
    FUZZ_CHECK(!result.setFull || set.tiles().count() == set.tiles().capacity());
    const auto tilesAfter = test::TilesState(set.tiles());
    FUZZ_CHECK(tilesAfter.size() >= tilesBefore.size());
    // The tile size and count head the state; after them come the old tiles.
    FUZZ_CHECK(std::equal(tilesBefore.begin() + 12, tilesBefore.end(), tilesAfter.begin() + 12));

    // No tile is in the set twice.
    std::set<std::string> seen;
    const size_t tileBytes = size_t(width) * size_t(height);
    for (uint32_t i = 0; i < set.tiles().count(); ++i) {
        std::string key(reinterpret_cast<const char*>(set.tiles().PixelsAt(i)), tileBytes);
        key += std::to_string(set.tiles().AttributeAt(i));
        FUZZ_CHECK(seen.insert(std::move(key)).second);
    }
    return 0;
}
