// The sub-palette import over a decoded picture, for the image targets.
#pragma once

#include "FuzzSupport.h"
#include "image/ImportImage.h"
#include "raster/ColourEncoding.h"
#include "support/TestTiles.h"

namespace kesh::fuzz {

// The colour a picture's pixel shows, reduced to `encoding`, as 0xRRGGBB.
inline uint32_t ShownColour(const Image& image, size_t i, ColourEncoding encoding) {
    Rgb c;
    if (image.m_kind == PixelKind::Rgb)
        c = {image.m_rgb[3 * i], image.m_rgb[3 * i + 1], image.m_rgb[3 * i + 2]};
    else if (image.m_kind == PixelKind::Grey)
        c = {image.m_pixels[i], image.m_pixels[i], image.m_pixels[i]};
    else
        for (size_t k = 0; k < 3; ++k)
            (&c.r)[k] = uint8_t(image.m_palette.rgb[3 * size_t(image.m_pixels[i]) + k] * 4);
    const Rgb shown = ReduceColour(encoding, c);
    return uint32_t(shown.r) << 16 | uint32_t(shown.g) << 8 | shown.b;
}

// Imports a picture of at most 4,096 pixels with sub-palettes into a set of
// 4 x 4 tiles that has one tile already; P, K, the area, the encoding and
// the flips come from `knob`. A refusal leaves the set as it was; an import
// shows every pixel of the picture, through its cell's tile, flips and
// palette, as the picture's colour reduced.
inline void CheckSubPaletteImport(const Image& image, uint8_t knob) {
    if (image.m_pixelCount > 4096)
        return;
    TileSet set;
    set.format().width = set.format().height = 4;
    set.InitTileSet();
    const uint8_t blank[16] = {};
    set.tiles().Append(blank, 0);
    const test::TileSetState before(set);
    ImportOptions options;
    options.makeMap = options.pad = true;
    options.flips = knob & 1;
    const auto encoding = ColourEncoding(knob >> 6);
    options.subPalettes = {
        1 + (knob >> 1) % 4, 2 << (knob >> 3) % 3, 1 + (knob >> 5) % 2, encoding, {}};
    const ImportResult r = ImportImage(set, image, options);
    if (!r.status) {
        FUZZ_CHECK(test::TileSetState(set) == before);
        return;
    }
    const auto& palettes = r.subPalettes.palettes;
    const int32_t k = options.subPalettes.colours;
    for (int32_t y = 0; y < image.m_height; ++y)
        for (int32_t x = 0; x < image.m_width; ++x) {
            const size_t place = size_t(y / 4) * size_t(r.mapWidth) + size_t(x / 4);
            const uint16_t attr = r.attrs.at(place);
            const uint8_t* tile = set.tiles().PixelsAt(r.cells.at(place));
            const int32_t tx = attr & cellbit::kHFlip ? 3 - x % 4 : x % 4;
            const int32_t ty = attr & cellbit::kVFlip ? 3 - y % 4 : y % 4;
            const uint8_t v = tile[ty * 4 + tx];
            const auto p = size_t(cellbit::PaletteOf(attr));
            FUZZ_CHECK(v < k && p < palettes.size() && v < palettes[p].size());
            const uint32_t colour =
                ShownColour(image, size_t(y) * size_t(image.m_width) + size_t(x), encoding);
            FUZZ_CHECK(palettes[p][v] == colour);
            const uint8_t* e = set.colourTable() + 4 * (p * size_t(k) + v);
            FUZZ_CHECK((uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0]) == colour);
        }
}

} // namespace kesh::fuzz
