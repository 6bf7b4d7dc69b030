#include "tileset/AddTileFile.h"

#include <algorithm>

#include "base/Messages.h"
#include "io/ByteReader.h"
#include "tileset/TileFileReader.h"

namespace kesh {

AddTileFileResult AddTileFile(TileSet& set, std::span<const uint8_t> file,
                              const TileDescriptor& layout, int32_t width, int32_t height) {
    AddTileFileResult result;
    ByteReader in(file);
    TileFileReader reader(in, AttrBytesFor(layout.attrWidth));
    reader.presetSize(width, height);
    std::string header;
    result.status = reader.ReadHeader(layout.headerLength, header);
    if (result.status)
        result.status = reader.Scan(layout.items, layout.params);
    if (!result.status)
        return result;
    if (reader.width() != set.tileWidth() || reader.height() != set.tileHeight()) {
        result.status = Status::Fail(msg::kTileSizeMismatch);
        result.fileWidth = reader.width();
        result.fileHeight = reader.height();
        return result;
    }

    ColourTable colours;
    std::copy_n(set.colourTable(), colours.size(), colours.begin());
    reader.ApplyPalettes(colours);
    result.status = reader.ApplyEncodedPalette(colours);
    if (!result.status)
        return result;

    // Nothing can fail from here on but a full set, which keeps what fitted.
    if (layout.headerLength > 0)
        set.format().header = std::move(header);
    if (reader.hasPalette())
        set.SetColourTable(colours);
    TileList& tiles = set.tiles();
    const uint32_t before = tiles.count();
    // Without pixel and attribute blocks every tile is the same blank tile:
    // one is as good as the count the file announces.
    int32_t left = reader.hasTileBlock() || reader.hasAttributeBlock() ? reader.count() : 1;
    reader.ForEachTile([&](const uint8_t* pixels, uint32_t attribute) {
        if (left-- <= 0)
            return false;
        if (tiles.AddUnique(pixels, attribute))
            return true;
        result.setFull = true; // every later new tile would fail the same way
        return false;
    });
    result.added = int(tiles.count() - before);
    set.touch();
    return result;
}

} // namespace kesh
