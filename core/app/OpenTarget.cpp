#include "app/OpenTarget.h"

#include <algorithm>
#include <cctype>

#include "layout/Descriptor.h"

namespace kesh {

namespace {

bool EndsWithNoCase(std::string_view path, std::string_view ext) {
    return path.size() >= ext.size() &&
           std::equal(ext.begin(), ext.end(), path.end() - ext.size(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

} // namespace

OpenTarget OpenTargetOf(std::string_view path) {
    // A descriptor names its data file the way the data file names it, with
    // the extension swapped: "town.kmf" is the layout of "town.map".
    if (EndsWithNoCase(path, ".til"))
        return {OpenTarget::TileSet, std::string(path)};
    if (EndsWithNoCase(path, kTileDescriptorExt))
        return {OpenTarget::TileSet, DescriptorPath(path, ".til")};
    if (EndsWithNoCase(path, kMapDescriptorExt))
        return {OpenTarget::Map, DescriptorPath(path, ".map")};
    return {OpenTarget::Map, std::string(path)};
}

} // namespace kesh
