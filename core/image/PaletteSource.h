#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "image/QuantizeImage.h"
#include "io/ReadResult.h"
#include "raster/Palette.h"

namespace kesh {

// The load palette command's file dialog filters, every source it reads.
inline constexpr const char* kPaletteSourceFilters[] = {"팔레트 파일|*.pcx;*.bmp;*.png;*.gpl;*.pal",
                                                        "256 PCX files|*.pcx",
                                                        "256 BMP files|*.bmp",
                                                        "PNG 파일|*.png",
                                                        "GIMP 팔레트|*.gpl",
                                                        "JASC 팔레트|*.pal"};

// The colours of a file chosen for the load palette command, at `path` with
// contents `bytes` (or why they could not be read). A name ending in "pcx"
// or "bmp" is read by that decoder and refused with its message ("256컬러
// PCX만을 지원합니다." / "256컬러 BMP만을 지원합니다."), also when it cannot be
// opened. Any other file goes by its content: a GIMP or JASC palette file, or
// a PNG with a palette. Anything else fails with "256컬러 PCX, BMP, PNG
// 파일이나 GIMP(.gpl), JASC(.pal) 팔레트 파일만 지원합니다.". Every failure
// names the file on a line of its own. `palette` changes only on success.
Status ReadPaletteSource(const std::string& path, const ReadResult<std::vector<uint8_t>>& bytes,
                         Palette& palette);

// A palette built from the colours of a picture (PNG, BMP or PCX, any kind)
// at `path` with contents `bytes`: `options.colours` entries at most, the
// rest black, entry 0 kept for transparent pixels when it has any. Fails
// with the decoder's message naming the file; `palette` changes only on
// success.
Status BuildPaletteFromPicture(const std::string& path,
                               const ReadResult<std::vector<uint8_t>>& bytes,
                               const QuantizeOptions& options, Palette& palette,
                               QuantizeReport& report);

} // namespace kesh
