#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kesh::test {

// Pixels from rows of hex digits ('.' is 0), top row first.
inline std::vector<uint8_t> PixelRows(const std::vector<std::string>& rows) {
    std::vector<uint8_t> out;
    for (const std::string& row : rows)
        for (char c : row)
            out.push_back(c == '.' ? 0 : uint8_t(std::stoi(std::string(1, c), nullptr, 16)));
    return out;
}

// Bytes from hex text, spaces ignored ("41 C2 44").
inline std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> out;
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

// The 2bpp tile the NESdev wiki's "PPU pattern tables" page draws, with the
// 16 bytes it lists beside it: 41 C2 44 48 10 20 40 80, then 01 02 04 08 16
// 21 42 87.
inline std::vector<uint8_t> NesWikiTile() {
    return PixelRows({".1.....3", "11....3.", ".1...3..", ".1..3...", "...3.22.", "..3....2",
                      ".3....2.", "3....222"});
}

// The 4bpp tile the WonderSwan "Tile Data" page (ws.nesdev.org) draws for its
// row-by-row planar form (each row planes 0, 1, 2, 3, as on the Master
// System), every value 0-15 used. Its rows as that page lists them:
// 54 32 01 00 / 54 32 F1 00 / 54 32 01 F0 / 54 32 F1 F0 / 04 02 01 00 /
// F8 04 02 01 / 00 F8 04 02 / 00 00 F8 04.
inline std::vector<uint8_t> SixteenColourTile() {
    return PixelRows({".123.124", "4567.124", "89AB.124", "CDEF.124", ".....124", "11111248",
                      "2222248.", "444448.."});
}

} // namespace kesh::test
