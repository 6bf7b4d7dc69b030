#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/TileEncodings.h"

namespace kesh::codegen {

// The pieces a generated reader needs for the consoles' encodings, in C99
// and in Python 3, the same for every layout; a reader whose layout has a
// pixel or palette item in one of them includes the ones it uses, once.
// Encodings are passed as their codes in layout/TileEncodings.h.
//
// C: kesh_decode_tile(encoding, in, width, height, pixels) turns a tile's
// bytes into width x height pixel bytes, rows from the top; and
// kesh_decode_colour(encoding, in, rgb) one stored colour into 8-bit red,
// green and blue as the hardware shows them (NES: the 2C02 table, repeats
// included as they are). Needs <string.h>.
std::string CPixelFunctions();
std::string CColourFunctions();
// Both, the tile decoder first.
std::string CEncodingFunctions();

// Python: decode_tile(encoding, data, width, height) returns the pixels as
// bytes; decode_colour(encoding, data) a (red, green, blue) tuple.
std::string PythonPixelFunctions();
std::string PythonColourFunctions();
std::string PythonEncodingFunctions();

// The bits each stored byte of a colour may set, in storage order; a colour
// with any other bit set is none the hardware has (kesh refuses the file).
std::vector<uint8_t> ColourByteMask(ColourEncoding encoding);

} // namespace kesh::codegen
