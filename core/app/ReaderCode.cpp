#include "app/ReaderCode.h"

#include <algorithm>
#include <cctype>

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
    options.initialName = "kesh_reader.h";
    options.filters = {"C 헤더|*.h", "파이썬 모듈|*.py"};
    options.confirmOverwrite = true;
    const auto path = user.ChooseSaveFile(options);
    if (!path)
        return false;
    const CodeLayout layout =
        CodeLayout::ForMap(CurrentMapDescriptor(map.format(), tiles.format()), mapName);
    const std::string code = GenerateReader(layout, CodeLanguageOf(*path));
    const Status st = SaveFiles(fs, {{*path, std::vector<uint8_t>(code.begin(), code.end())}});
    if (!st) {
        user.ShowMessage(st.message());
        return false;
    }
    return true;
}

} // namespace kesh
