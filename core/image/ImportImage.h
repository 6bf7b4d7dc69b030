#pragma once

#include <cstdint>
#include <vector>

#include "base/Status.h"
#include "image/QuantizeImage.h"
#include "image/SubPaletteRequest.h"
#include "raster/ImageDecoders.h"
#include "tileset/TileSet.h"

namespace kesh {

struct ImportOptions {
    bool takePalette = false; // the image's palette becomes the set's
    bool makeMap = false;     // give the map of the image's tile grid
    bool nearest = false;     // true colour: take the nearest palette colour
    bool pad = false;         // accept sizes that are not whole tiles
    // "뒤집힌 타일도 같은 타일로": a tile block equal to a stored tile flipped
    // horizontally, vertically or both becomes that tile with the flip bits
    // set in `attrs` (with makeMap).
    bool flips = false;
    // Build the palette from the picture's own colours (any kind of
    // picture), which then becomes the set's; `nearest` and `takePalette`
    // have no say.
    bool quantize = false;
    QuantizeOptions quantizeOptions;
    // With quantize: a palette built beforehand for this and other pictures.
    const SharedColours* shared = nullptr;
    // Sub-palettes of a platform preset (kesh-cli --preset).
    SubPaletteRequest subPalettes;
};

struct ImportResult {
    // Failure: the tile set is exactly as it was; show the message. A full set
    // while making a map fails too, with "타일 세트가 가득 차서 일부 타일을
    // 추가하지 못했습니다.".
    Status status = Status::Ok();
    int64_t tiles = 0;         // tiles cut from the image
    int64_t added = 0;         // of them, new to the set
    int64_t changedPixels = 0; // true-colour pixels given another colour by `nearest`
    QuantizeReport quantized;  // with quantize: the palette's colours and error
    // Without a map, the set filled up: the tiles that fitted were added.
    // Tell the user msg::kTileSetFull.
    bool setFull = false;
    // A palette or grey image whose palette was not taken, and some colour
    // it uses shows otherwise through the set's colours.
    bool coloursDiffer = false;
    // With makeMap: the grid, row by row, each cell the number of its tile.
    int32_t mapWidth = 0;
    int32_t mapHeight = 0;
    std::vector<uint16_t> cells;
    // With flips: each cell's flip bits (cellbit::kHFlip, kVFlip), and how
    // many cells show a flipped tile.
    std::vector<uint16_t> attrs;
    int64_t flippedCells = 0;
};

// Cuts `image` into tiles of the set's size, left to right and top to bottom,
// and adds each with attribute 0 unless an identical tile is in the set.
// Palette images give their indices, grey ones their grey values; true-colour
// pixels must be a colour of the set's display colour table (the lowest index
// wins), or with `nearest` take the nearest entry (squared RGB distance,
// lowest index on ties). A size that is not a multiple of the tile size fails
// with "이미지의 크기가 타일 크기의 배수가 아닙니다." unless `pad`, which fills
// the right and bottom with index 0. A colour not in the table fails with
// "팔레트에 없는 색이 있습니다. (x, y): #rrggbb" for the first such pixel.
ImportResult ImportImage(TileSet& set, const Image& image, const ImportOptions& options);

class ImageSource;
// The same from an image read band by band, each band of tile rows cut while
// it is fresh. Damaged data anywhere in the source fails the import with its
// message, the set unchanged.
ImportResult ImportImage(TileSet& set, ImageSource& source, const ImportOptions& options);

} // namespace kesh
