#pragma once

#include <string>

#include "app/UserServices.h"
#include "io/FileSystem.h"
#include "layout/CodeGen.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh {

// "읽기 코드 만들기...": saves the reader of the current map's layout for
// the user's game. The save dialog offers a C header and a Python module;
// the name's extension decides which (".py" Python, anything else C).
// `mapName` names the map in the code's comment. True when a file was saved;
// a file that cannot be written is reported.
bool SaveMapReaderCode(const MapModel& map, const TileSet& tiles, const std::string& mapName,
                       UserServices& user, FileSystem& fs);

// The layout a map would be saved in now, as its descriptor holds it.
MapDescriptor CurrentMapDescriptor(const MapFormat& map, const TileFormat& tiles);
// The language of a chosen file name: Python for ".py", else C.
CodeLanguage CodeLanguageOf(const std::string& path);

} // namespace kesh
