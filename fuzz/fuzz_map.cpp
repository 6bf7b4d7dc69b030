// Map files: ReadMapFile with the .kmf and the .map joined as described in
// FuzzSupport.h. The map and tile set read into hold data of their own.
#include "FuzzFixtures.h"
#include "FuzzSupport.h"
#include "map/MapFile.h"
#include "support/ReaderState.h"

using namespace kesh;

namespace {

bool IsMapReadMessage(const std::string& text) {
    return fuzz::IsTileReadMessage(text) || text == msg::kBadMapSize || text == msg::kAllocFailed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto input = fuzz::SplitInput(data, size);
    MapModel map = fuzz::MakeMap();
    MapViewState view = fuzz::MakeViewState();
    const int32_t oldWidth = map.width();
    TileSet tiles = fuzz::MakeTileSet();
    const auto mapBefore = test::MapState(map);
    const auto tilesBefore = test::TileSetState(tiles);

    const Status status = ReadMapFile(input.data, input.descriptor, map, tiles);
    if (!status) {
        FUZZ_CHECK(IsMapReadMessage(status.message()));
        FUZZ_CHECK(test::MapState(map) == mapBefore);
        FUZZ_CHECK(test::TileSetState(tiles) == tilesBefore);
        return 0;
    }
    MapDescriptor layout;
    FUZZ_CHECK(ParseKmf(input.descriptor, layout).ok());
    FUZZ_CHECK(map.hasCells());
    FUZZ_CHECK(MapModel::IsValidSize(map.width(), map.height()));
    FUZZ_CHECK(map.cells().size() == size_t(map.width()) * size_t(map.height()));
    FUZZ_CHECK(map.format().items == layout.items);
    FUZZ_CHECK(map.format().header.size() <= size_t(layout.headerLength));
    // Cells read through fields: an attribute word per cell exactly while
    // the layout has fields, holding only the bits its fields stand for.
    FUZZ_CHECK(map.format().cells == layout.cells);
    const uint16_t mask = map.format().AttrMask();
    FUZZ_CHECK(map.attrs().size() == (mask ? map.cells().size() : 0));
    for (const uint16_t attr : map.attrs())
        FUZZ_CHECK((attr & ~mask) == 0);
    // Whatever grid was read, the view state can be brought onto it.
    view.FitGrid(map, oldWidth);
    FUZZ_CHECK(view.m_nCurCell >= 0 && size_t(view.m_nCurCell) < map.cells().size());
    FUZZ_CHECK(view.m_rcCopySource && view.m_rcCopySource->right < map.width() &&
               view.m_rcCopySource->bottom < map.height());
    FUZZ_CHECK(tiles.format().items == layout.tile.items);
    FUZZ_CHECK(tiles.format().attrWidth == layout.tile.attrWidth);
    FUZZ_CHECK(tiles.tiles().width() == tiles.tileWidth());
    FUZZ_CHECK(tiles.tiles().height() == tiles.tileHeight());
    (void)test::TilesState(tiles.tiles());
    return 0;
}
