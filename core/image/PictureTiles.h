#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/Status.h"
#include "layout/TileEncodings.h"

namespace kesh {

class ImageSource;

// A picture cut into tiles as sub-palettes see it: every pixel a colour
// (0xRRGGBB) as the hardware shows it, reduced to a colour encoding's
// precision. Each different block of pixels is kept once, with its colours
// in the order first met and each pixel an index into them; each place of
// the tile grid, left to right and top to bottom, shows one block.
class PictureTiles {
public:
    // A pixel past the picture's right or bottom edge: it has no colour of
    // its own and takes colour 0.
    static constexpr uint16_t kPad = 0xFFFF;

    // Reads `source` to the end, band by band, in tiles of `tileWidth` x
    // `tileHeight`. A palette picture's colours are its palette's as the tile
    // set shows them (each 6-bit channel x 4), a grey picture's are its grey
    // values. Fails with the source's message for damaged data, or naming a
    // tile with more colours than kPad. Reading again starts over.
    Status Read(ImageSource& source, int32_t tileWidth, int32_t tileHeight,
                ColourEncoding encoding);

    int32_t across() const { return m_across; }
    int32_t down() const { return m_down; }
    int32_t tileWidth() const { return m_tileWidth; }
    int32_t tileHeight() const { return m_tileHeight; }
    size_t places() const { return m_blockOf.size(); }
    size_t blocks() const { return m_colourStart.size() - 1; }

    uint32_t BlockAt(size_t place) const { return m_blockOf[place]; }
    // Each place's block, places in reading order.
    std::span<const uint32_t> BlocksOfPlaces() const { return m_blockOf; }
    // A block's colours, no two alike.
    std::span<const uint32_t> Colours(uint32_t block) const {
        return {m_colours.data() + m_colourStart[block],
                m_colourStart[block + 1] - m_colourStart[block]};
    }
    // A block's pixels, row by row, each an index into Colours() or kPad.
    std::span<const uint16_t> Pixels(uint32_t block) const {
        const size_t n = size_t(m_tileWidth) * size_t(m_tileHeight);
        return {m_pixels.data() + size_t(block) * n, n};
    }
    std::span<const uint32_t> ColoursAt(size_t place) const { return Colours(BlockAt(place)); }

private:
    int32_t m_across = 0, m_down = 0, m_tileWidth = 0, m_tileHeight = 0;
    std::vector<uint32_t> m_blockOf;
    std::vector<size_t> m_colourStart{0};
    std::vector<uint32_t> m_colours;
    std::vector<uint16_t> m_pixels;
};

} // namespace kesh
