#pragma once

#include <string>
#include <vector>

#include "app/UserServices.h"

// The file types the file dialogs offer, as filter lines ("description|pattern").
namespace kesh::filetype {

inline constexpr const char* kMap = "지도 파일|*.map";
inline constexpr const char* kTile = "타일 파일|*.til";
inline constexpr const char* kBitmap = "비트맵 파일|*.bmp";
inline constexpr const char* kPng = "PNG 파일|*.png";
inline constexpr const char* kPcx = "PCX 파일|*.pcx";
inline constexpr const char* kTmx = "Tiled 지도 파일|*.tmx";
// The pictures tiles are cut from.
inline constexpr const char* kImage = "이미지 파일|*.png;*.bmp;*.pcx";
inline constexpr const char* kAllFiles = "모든 파일|*"; // "*.*" would hide names without a dot

// A dialog for files of one kind: `extension` (without the dot) is added to
// names typed without one, "*.<extension>" selects the first filter, and the
// list ends with "모든 파일 (*)".
inline FileDialogOptions Dialog(const std::string& extension, std::vector<std::string> filters,
                                bool save) {
    FileDialogOptions options;
    options.defaultExtension = extension;
    options.initialName = "*." + extension;
    options.filters = std::move(filters);
    options.filters.emplace_back(kAllFiles);
    options.confirmOverwrite = save;
    return options;
}

} // namespace kesh::filetype
