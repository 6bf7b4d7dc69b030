#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh {

// zlib's fastest level: palette images of tiles compress well even so.
inline constexpr int kDefaultPngCompression = 1;

// Whether an image of `width` x `height` fits a PNG (each side 1 to 2^31 - 1).
bool FitsPng(int64_t width, int64_t height);

// Writes `width` x `height` pixels as an 8-bit palette PNG at `path`, all or
// nothing (through StreamedFile): the palette is `colourTable` (256 entries
// of blue, green, red, 0), and `row(y, out)` fills the `width` indices of
// pixel row y, called once per row from the top on the caller's thread. The
// rows are compressed on every core in blocks of about 1 MiB, a few blocks
// held at a time whatever the image's size. Fails with "파일을 저장하지
// 못했습니다." and the path when writing fails.
Status WriteIndexedPng(FileSystem& fs, const std::string& path, int64_t width, int64_t height,
                       const uint8_t* colourTable,
                       const std::function<void(int64_t y, uint8_t* out)>& row,
                       int compression = kDefaultPngCompression);

// The same PNG in memory, for files that must be saved together with others;
// nullopt when the size does not fit a PNG or memory runs out.
std::optional<std::vector<uint8_t>>
EncodeIndexedPng(int64_t width, int64_t height, const uint8_t* colourTable,
                 const std::function<void(int64_t y, uint8_t* out)>& row,
                 int compression = kDefaultPngCompression);

// Whether `path` ends in ".png", any case.
bool EndsWithPng(std::string_view path);

} // namespace kesh
