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
// `mapName` names the map in the code's comment and the file offered
// ("town.map": "town_reader.h"); the chosen name gives the C names their
// prefix (ReaderPrefixOf). True when a file was saved; a file that cannot be
// written is reported.
bool SaveMapReaderCode(const MapModel& map, const TileSet& tiles, const std::string& mapName,
                       UserServices& user, FileSystem& fs);

// The layout a map would be saved in now, as its descriptor holds it.
MapDescriptor CurrentMapDescriptor(const MapFormat& map, const TileFormat& tiles);
// The name a reader of the data file `dataName` is offered under:
// "town.map" -> "town_reader.h" (".py" for Python); "kesh_reader.h" for a
// map without a file of its own.
std::string DefaultReaderName(const std::string& dataName, CodeLanguage language);
// The prefix of the C names for a reader saved at `path`: its base name
// without the extension and a final "_reader", as a C identifier
// ("/g/town_reader.h" -> "town", "2-town.h" -> "kesh_2_town"), without
// leading '_'; "kesh" when nothing is left.
std::string ReaderPrefixOf(const std::string& path);
// Whether `name` can be a prefix: a C identifier of ASCII letters, digits and '_'.
bool IsReaderPrefix(const std::string& name);
// The language of a chosen file name: Python for ".py", else C.
CodeLanguage CodeLanguageOf(const std::string& path);

} // namespace kesh
