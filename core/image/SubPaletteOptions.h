#pragma once

#include <functional>

#include "base/Status.h"
#include "image/SubPalettePacker.h"
#include "layout/MapFormat.h"
#include "layout/TileEncodings.h"

namespace kesh {

class PictureTiles;
struct SubPaletteOptions;

// The step that gives each tile of a picture its palette: the packer by
// default; a quantizer may take its place for pictures with more colours
// than P palettes hold. It must give at most P palettes of at most K
// colours, each with colour 0 first, and a palette for every place.
using PaletteAssigner =
    std::function<Status(const PictureTiles&, const SubPaletteOptions&, SubPalettes&)>;

// "팔레트 P개 × 색 K개": the picture's colours are packed into P palettes of
// K colours, colour 0 shared, and each tile's pixels become 0..K-1 in its
// palette, the cells saying which palette.
struct SubPaletteOptions {
    int palettes = 0; // P; 0: no sub-palettes, the set's colours as they are
    int colours = 16; // K, colour 0 included
    int area = 1;     // tiles across and down that share a palette: 1, or 2 (NES)
    // The picture's colours are first reduced to this encoding's precision,
    // so that the palettes hold what the hardware shows.
    ColourEncoding encoding = ColourEncoding::Rgb888;
    PaletteAssigner assign; // empty: SubPalettePacker

    bool on() const { return palettes > 0; }
};

// Fails with a Korean message for P, K or an area the import cannot take:
// K outside 2..256, P below 1 or P x K above the set's 256 colours, more
// than the 32 palettes a cell can name when making a map, an area other
// than 1 or 2.
Status CheckSubPaletteOptions(const SubPaletteOptions& options, bool makeMap);

// Fails unless `format` has a palette field that can name P palettes of K
// colours.
Status CheckSubPaletteMap(const MapFormat& format, const SubPaletteOptions& options);

} // namespace kesh
