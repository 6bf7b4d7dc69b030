#include "image/QuantizingAssigner.h"

#include <vector>

#include "image/PictureTiles.h"
#include "image/TileQuantizer.h"

namespace kesh {

namespace {

// The picture again as rows of red, green and blue, as PictureTiles holds
// it (each colour already reduced); pixels past the picture's edge, which
// take colour 0 anyway, are left black.
std::vector<uint8_t> RgbOf(const PictureTiles& tiles) {
    const size_t tw = size_t(tiles.tileWidth()), th = size_t(tiles.tileHeight());
    const size_t width = size_t(tiles.across()) * tw;
    std::vector<uint8_t> rgb(width * size_t(tiles.down()) * th * 3, 0);
    for (size_t place = 0; place < tiles.places(); ++place) {
        const uint32_t block = tiles.BlockAt(place);
        const auto colours = tiles.Colours(block);
        const auto pixels = tiles.Pixels(block);
        const size_t x0 = (place % size_t(tiles.across())) * tw;
        const size_t y0 = (place / size_t(tiles.across())) * th;
        for (size_t y = 0; y < th; ++y)
            for (size_t x = 0; x < tw; ++x) {
                const uint16_t p = pixels[y * tw + x];
                if (p == PictureTiles::kPad)
                    continue;
                const uint32_t c = colours[p];
                uint8_t* out = &rgb[((y0 + y) * width + x0 + x) * 3];
                out[0] = uint8_t(c >> 16);
                out[1] = uint8_t(c >> 8);
                out[2] = uint8_t(c);
            }
    }
    return rgb;
}

} // namespace

PaletteAssigner QuantizingAssigner(QuantizeReport& report) {
    return [&report](const PictureTiles& tiles, const SubPaletteOptions& sub, SubPalettes& out) {
        TileQuantizeOptions options;
        options.tileWidth = tiles.tileWidth();
        options.tileHeight = tiles.tileHeight();
        options.palettes = sub.palettes;
        options.colours = sub.colours;
        options.areaAcross = options.areaDown = sub.area;
        // Without a console encoding the colours go to the set's own 6-bit table.
        if (sub.encoding != ColourEncoding::Rgb888)
            options.encoding = sub.encoding;
        const std::vector<uint8_t> rgb = RgbOf(tiles);
        TileQuantized found;
        if (Status st = TileQuantize(rgb.data(), nullptr, tiles.across() * tiles.tileWidth(),
                                     tiles.down() * tiles.tileHeight(), options, found);
            !st)
            return st;
        out = std::move(found.palettes);
        report = found.report;
        return Status::Ok();
    };
}

} // namespace kesh
