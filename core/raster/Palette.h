#pragma once

#include <array>
#include <cstdint>

namespace kesh {

// A 256-colour palette as read from an image: red, green, blue per entry,
// each a 6-bit intensity 0-63.
struct Palette {
    std::array<uint8_t, 768> rgb{};

    bool operator==(const Palette&) const = default;
};

// The display colour table: 256 entries of blue, green, red and a zero byte,
// 8-bit intensities. Written as is into BMP files and the 1024-byte palette item.
using ColourTable = std::array<uint8_t, 1024>;

} // namespace kesh
