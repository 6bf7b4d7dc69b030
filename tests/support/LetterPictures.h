// Small pictures drawn in letters, one a pixel, for the sub-palette imports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster/ImageDecoders.h"

namespace kesh::test {

// '.' black, 'r' red, 'g' green, 'b' blue, 'w' white, 'y' yellow, 'R' a red
// that 5-bit channels show as 'r', 'o' a grey they show as 0x848484.
inline uint32_t LetterColour(char letter) {
    switch (letter) {
    case 'r':
        return 0xFF0000;
    case 'g':
        return 0x00FF00;
    case 'b':
        return 0x0000FF;
    case 'w':
        return 0xFFFFFF;
    case 'y':
        return 0xFFFF00;
    case 'R':
        return 0xFC0000;
    case 'o':
        return 0x808080;
    default:
        return 0x000000;
    }
}

// Red, green and blue bytes of the rows' pixels, row by row.
inline std::vector<uint8_t> LetterSamples(const std::vector<std::string>& rows) {
    std::vector<uint8_t> rgb;
    for (const std::string& row : rows)
        for (char letter : row) {
            const uint32_t c = LetterColour(letter);
            rgb.insert(rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
        }
    return rgb;
}

// The rows as a true-colour picture or, with `indexed`, a palette picture
// whose palette holds each letter's colour at 6 bits a channel, in the
// order the letters are first met.
inline Image LetterPicture(const std::vector<std::string>& rows, bool indexed = false) {
    Image image;
    image.m_width = int32_t(rows.empty() ? 0 : rows[0].size());
    image.m_height = int32_t(rows.size());
    image.m_pixelCount = image.m_width * image.m_height;
    image.m_kind = indexed ? PixelKind::Indexed : PixelKind::Rgb;
    if (!indexed) {
        image.m_rgb = LetterSamples(rows);
        return image;
    }
    std::string letters;
    for (const std::string& row : rows)
        for (char letter : row) {
            const uint32_t c = LetterColour(letter);
            size_t index = letters.find(letter);
            if (index == std::string::npos) {
                index = letters.size();
                letters += letter;
                for (int shift : {16, 8, 0})
                    image.m_palette.rgb[3 * index + size_t(2 - shift / 8)] =
                        uint8_t((c >> shift & 0xFF) / 4);
            }
            image.m_pixels.push_back(uint8_t(index));
        }
    return image;
}

} // namespace kesh::test
