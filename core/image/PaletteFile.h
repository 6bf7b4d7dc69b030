#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/Status.h"
#include "raster/Palette.h"

namespace kesh {

// Whether `bytes` begin like a GIMP ("GIMP Palette") or JASC ("JASC-PAL")
// palette file.
bool IsPaletteFile(std::span<const uint8_t> bytes);

// Reads a GIMP (.gpl) or JASC (.pal) palette file: up to 256 colours of
// red, green and blue 0-255, in order; entries past the last colour are
// black. The result has 6-bit components (each value / 4). A line that can't
// be read, more than 256 colours, a JASC count that disagrees with its lines
// or a file of neither kind fails with "팔레트 파일의 내용이 올바르지
// 않습니다. 줄: " and the line number; `palette` is then unchanged.
Status LoadPaletteFile(std::span<const uint8_t> bytes, Palette& palette);

} // namespace kesh
