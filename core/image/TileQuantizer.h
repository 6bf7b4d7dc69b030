#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Status.h"
#include "image/QuantizeImage.h"
#include "image/SubPalettePacker.h"
#include "layout/TileEncodings.h"
#include "raster/ColourEncoding.h"
#include "raster/ImageDecoders.h"

namespace kesh {

// How a true-colour picture is brought to P palettes of K colours, each
// tile (or area of tiles) drawing from one of them.
struct TileQuantizeOptions {
    int32_t tileWidth = 8, tileHeight = 8;
    int palettes = 8; // P, 1 to 256
    int colours = 16; // K, 2 to 256, colour 0 included
    // Areas of tiles that share one palette: 2 x 2 on the NES.
    int32_t areaAcross = 1, areaDown = 1;
    // The precision the palettes are stored in; nullopt is the 6-bit
    // palette of the tile file's own palette items.
    std::optional<ColourEncoding> encoding;
    // Colour 0. In a picture with transparent pixels (alpha 0) it is theirs
    // alone, black unless given. Otherwise the pixels may take it as any
    // other colour; unless given, it is the colour found in the most tiles.
    std::optional<Rgb> shared;
};

// What the tile-aware quantizer chose.
struct TileQuantized {
    // Colours packed 0xRRGGBB as the palette shows them (reduced to its
    // precision); every palette begins with colour 0, then its own colours
    // in increasing order, K at most. Tiles in reading order, as the packer
    // gives them.
    SubPalettes palettes;
    // Each pixel's entry in its tile's palette, rows top first.
    std::vector<uint8_t> indices;
    bool transparentZero = false; // colour 0 is for transparent pixels only
    // colours: K - 1; exact: the tiles' colours fitted the palettes as
    // they are, no colour had to be merged; the error is that of the
    // opaque pixels against their entries as shown.
    QuantizeReport report;
};

// Brings `image` (any kind: palette and grey pictures through their colours)
// to sub-palettes. The picture need not be whole tiles: the tiles at the
// right and bottom hold what it has. First the tiles' own colours are
// packed as they are (SubPalettePacker); when they do not fit, tiles are
// grouped by colour and the groups' palettes searched (TilePaletteSearch).
// The same picture and options always give the same result. Fails with a
// Korean message for a bad tile size, P or K, or an empty picture.
Status TileQuantize(const Image& image, const TileQuantizeOptions& options, TileQuantized& out);

// The same for `width` x `height` pixels of red, green, blue; `alpha` (a
// byte a pixel, 0 transparent) may be null.
Status TileQuantize(const uint8_t* rgb, const uint8_t* alpha, int32_t width, int32_t height,
                    const TileQuantizeOptions& options, TileQuantized& out);

} // namespace kesh
