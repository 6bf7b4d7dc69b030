#include "app/ReaderCode.h"

#include <algorithm>
#include <cctype>

#include "doc/FileIdentity.h"
#include "layout/Descriptor.h"

namespace kesh {

MapDescriptor CurrentMapDescriptor(const MapFormat& map, const TileFormat& tiles) {
    MapDescriptor descriptor;
    descriptor.headerLength = HeaderLength(map.header);
    descriptor.items = map.items;
    descriptor.items.resize(std::min(descriptor.items.size(), size_t(kMaxLayoutItems)));
    // The descriptor takes a selector outside 0-2 as 0, as the writers do.
    descriptor.tile.headerLength = HeaderLength(tiles.header);
    descriptor.tile.attrWidth = tiles.attrWidth >= 0 && tiles.attrWidth <= 2 ? tiles.attrWidth : 0;
    descriptor.tile.items = tiles.items;
    descriptor.tile.items.resize(std::min(descriptor.tile.items.size(), size_t(kMaxLayoutItems)));
    return descriptor;
}

std::string DefaultReaderName(const std::string& dataName, CodeLanguage language) {
    std::string stem = dataName.substr(dataName.find_last_of('/') + 1);
    if (stem.empty() || stem == kUntitledMapName)
        stem = kDefaultReaderPrefix;
    else if (const size_t dot = stem.find_last_of('.'); dot != std::string::npos && dot > 0)
        stem.resize(dot);
    return stem + (language == CodeLanguage::Python ? "_reader.py" : "_reader.h");
}

std::string ReaderPrefixOf(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (const size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    constexpr std::string_view kReader = "_reader";
    if (name.size() > kReader.size() && name.ends_with(kReader))
        name.resize(name.size() - kReader.size());
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80)
            c = '_';
    // A leading '_' would make a name C reserves for itself.
    name.erase(0, name.find_first_not_of('_'));
    if (name.empty())
        return kDefaultReaderPrefix;
    if (std::isdigit(static_cast<unsigned char>(name.front())))
        name = std::string(kDefaultReaderPrefix) + "_" + name;
    return name;
}

bool IsReaderPrefix(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front())))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x80 && (std::isalnum(u) || c == '_');
    });
}

CodeLanguage CodeLanguageOf(const std::string& path) {
    std::string ext = path.size() >= 3 ? path.substr(path.size() - 3) : path;
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".py" ? CodeLanguage::Python : CodeLanguage::C;
}

bool SaveMapReaderCode(const MapModel& map, const TileSet& tiles, const std::string& mapName,
                       UserServices& user, FileSystem& fs) {
    FileDialogOptions options;
    options.defaultExtension = "h";
    options.initialName = DefaultReaderName(mapName, CodeLanguage::C);
    options.filters = {"C 헤더|*.h", "파이썬 모듈|*.py"};
    options.confirmOverwrite = true;
    const auto path = user.ChooseSaveFile(options);
    if (!path)
        return false;
    CodeLayout layout =
        CodeLayout::ForMap(CurrentMapDescriptor(map.format(), tiles.format()), mapName);
    layout.prefix = ReaderPrefixOf(*path);
    const std::string code = GenerateReader(layout, CodeLanguageOf(*path));
    const Status st = SaveFiles(fs, {{*path, std::vector<uint8_t>(code.begin(), code.end())}});
    if (!st) {
        user.ShowMessage(st.message());
        return false;
    }
    return true;
}

} // namespace kesh
