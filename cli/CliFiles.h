#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "CliContext.h"
#include "base/Status.h"
#include "layout/Descriptor.h"
#include "map/MapModel.h"
#include "tileset/TileSet.h"

namespace kesh::cli {

// Which kind of data file a path names, by its last four characters.
enum class DataKind { Map, TileSet, Other };
DataKind DataKindOf(std::string_view path);

// Reads the .ktf beside a tile file. A missing one is put to the user as the
// editor does (the tool answers Cancel) and then reported.
Status LoadTileDescriptor(CliContext& ctx, const std::string& tilePath, TileDescriptor& out);

// Reads the .kmf beside a map; a missing one is handled as for tile files.
Status LoadMapDescriptor(CliContext& ctx, const std::string& mapPath, MapDescriptor& out);

// Reads a tile file on its own, through its .ktf, into `set` (OpenTileSetFiles);
// a missing .ktf is handled as above. `set` changes only on success.
Status LoadTileSet(CliContext& ctx, const std::string& path, TileSet& set);

// Reads a map through its .kmf; a missing .kmf is handled as for tile files.
Status LoadMap(CliContext& ctx, const std::string& path, MapModel& map, TileSet& tiles);

// The same for showing a map (export, info, layout): a map whose layout
// holds no tile file (a console's, say) takes its tiles from the tile file
// of the same name beside it, when there is one.
Status LoadMapToShow(CliContext& ctx, const std::string& path, MapModel& map, TileSet& tiles);
// The tile file LoadMapToShow takes for the map at `path`: the .til of its
// name beside it, when the map holds no tile file and that file exists;
// empty otherwise.
std::string TilesBesideMap(CliContext& ctx, const std::string& path, const MapModel& map);

// The image exports, "FILE OUT": a map gives the whole map through `exportMap`,
// a tile file its tile sheet through `exportSheet`.
using MapExportFn = Status (*)(FileSystem&, const std::string&, const MapModel&, const TileSet&);
using SheetExportFn = Status (*)(FileSystem&, const std::string&, const TileSet&);
int RunImageExport(CliContext& ctx, const std::vector<std::string>& args, MapExportFn exportMap,
                   SheetExportFn exportSheet);

} // namespace kesh::cli
