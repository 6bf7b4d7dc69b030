#pragma once

#include <cstdint>
#include <vector>

#include "base/Status.h"
#include "image/QuantizeImage.h"
#include "image/SubPaletteOptions.h"
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
    // "팔레트 P개 × 색 K개" (subPalettes.on()): the picture's colours are
    // packed into P palettes, which fill the set's colour table (palette p
    // at entries p x K to p x K + K - 1, entries no palette fills taking
    // colour 0), each tile's pixels become 0..K-1 in its palette, and tiles
    // equal in those are one tile whatever their colours. With makeMap each
    // cell's palette goes into `attrs` (cellbit::WithPalette); the caller's
    // map layout needs a palette field (CheckSubPaletteMap). A tile layout
    // with a Palette item is given P x K. `takePalette` and `nearest` have
    // no say; `quantize` makes the palettes for the picture (the tile-aware
    // quantizer, no dithering) instead of packing its colours as they are,
    // so that a picture with more colours than they hold comes in.
    SubPaletteOptions subPalettes;
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
    // With flips or sub-palettes: each cell's flip bits (cellbit::kHFlip,
    // kVFlip) and palette, and how many cells show a flipped tile.
    std::vector<uint16_t> attrs;
    int64_t flippedCells = 0;
    // With subPalettes: the palettes used (colours 0xRRGGBB, as stored) and
    // each place's palette, tiles in reading order.
    SubPalettes subPalettes;
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
