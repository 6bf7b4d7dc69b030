#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Status.h"
#include "image/QuantizeImage.h"
#include "tileset/TileSet.h"
#include "tmx/TmxLoader.h"

namespace pugi {
class xml_node;
}

namespace kesh {

struct TmxImportOptions {
    bool takePalette = false; // the first tile set image's palette becomes the set's
    bool nearest = false;     // true colour: the nearest palette colour
    bool dropFlips = false;   // clear flip and rotation bits instead of refusing
    // Keep horizontal and vertical flips as cell bits (the target layout has
    // the flip fields); a diagonal flip is still refused or dropped.
    bool keepFlips = false;
    // One palette built from every tile set image together becomes the set's.
    bool quantize = false;
    QuantizeOptions quantizeOptions;
};

// One tile set of a map after its tiles were added: the tile number of each
// of its tiles, by local id.
struct TmxTileset {
    uint32_t firstGid = 1;
    std::vector<uint16_t> numbers;
};

// Reads the <tileset> elements of `map` (embedded or external .tsx), in
// firstgid order, and adds each one's tiles to `set` (a fresh set of the
// map's tile size): its image cut into `tilecount` tiles (margin and spacing
// honoured), colours as the image import takes them, each with its
// "attribute" property as attribute word; identical tiles (pixels and
// attribute) are added once. With quantize, `quantized` tells of the palette
// built. Fails with a message naming the tile set or file.
Status ImportTmxTilesets(const pugi::xml_node& map, TmxLoader& loader,
                         const TmxImportOptions& options, TileSet& set,
                         std::vector<TmxTileset>& out, int64_t& changedPixels,
                         QuantizeReport& quantized);

} // namespace kesh
