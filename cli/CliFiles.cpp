#include "CliFiles.h"

#include <algorithm>
#include <cctype>

#include "CliArgs.h"
#include "CliMessages.h"
#include "base/Messages.h"
#include "map/MapFile.h"
#include "tileset/TileSetFile.h"

namespace kesh::cli {

namespace {

// The editor offers to set the layout by hand; the tool asks the same question,
// but whatever the answer it has no layout dialog to go on with. When the
// data file at `dataPath` is missing too, that is what the user hears of.
Status Missing(CliContext& ctx, bool yesNo, const char* question, const char* message,
               const std::string& dataPath, const std::string& descriptorPath) {
    if (!ctx.fs.exists(dataPath))
        return Status::Fail(std::string(msg::kOpenFailed) + "\n" + dataPath);
    if (yesNo)
        ctx.services.AskYesNo(question);
    else
        ctx.services.AskOkCancel(question);
    return Status::Fail(std::string(message) + "\n" + descriptorPath);
}

} // namespace

DataKind DataKindOf(std::string_view path) {
    if (path.size() < 4)
        return DataKind::Other;
    std::string ext(path.substr(path.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".map")
        return DataKind::Map;
    if (ext == ".til")
        return DataKind::TileSet;
    return DataKind::Other;
}

Status LoadTileDescriptor(CliContext& ctx, const std::string& tilePath, TileDescriptor& out) {
    bool missing = false;
    const Status st = kesh::LoadTileDescriptor(ctx.fs, tilePath, out, missing);
    if (missing)
        return Missing(ctx, false, msg::kAskKtfMissing, msg::kKtfMissing, tilePath,
                       DescriptorPath(tilePath, kTileDescriptorExt));
    return st;
}

Status LoadMapDescriptor(CliContext& ctx, const std::string& mapPath, MapDescriptor& out) {
    bool missing = false;
    const Status st = kesh::LoadMapDescriptor(ctx.fs, mapPath, out, missing);
    if (missing)
        return Missing(ctx, true, msg::kAskKmfMissing, msg::kKmfMissing, mapPath,
                       DescriptorPath(mapPath, kMapDescriptorExt));
    return st;
}

Status LoadTileSet(CliContext& ctx, const std::string& path, TileSet& set) {
    bool missing = false;
    const Status st = OpenTileSetFiles(ctx.fs, path, set, missing);
    if (missing)
        return Missing(ctx, false, msg::kAskKtfMissing, msg::kKtfMissing, path,
                       DescriptorPath(path, kTileDescriptorExt));
    return st;
}

Status LoadMap(CliContext& ctx, const std::string& path, MapModel& map, TileSet& tiles) {
    bool missing = false;
    const Status st = OpenMapFiles(ctx.fs, path, map, tiles, missing);
    if (missing)
        return Missing(ctx, true, msg::kAskKmfMissing, msg::kKmfMissing, path,
                       DescriptorPath(path, kMapDescriptorExt));
    return st;
}

std::string TilesBesideMap(CliContext& ctx, const std::string& path, const MapModel& map) {
    const auto& items = map.format().items;
    if (std::find(items.begin(), items.end(), MapItem::TileFile) != items.end())
        return {};
    std::string beside = path.substr(0, path.size() - 4) + ".til";
    return ctx.fs.exists(beside) ? beside : std::string();
}

Status LoadMapToShow(CliContext& ctx, const std::string& path, MapModel& map, TileSet& tiles) {
    if (Status st = LoadMap(ctx, path, map, tiles); !st)
        return st;
    const std::string beside = TilesBesideMap(ctx, path, map);
    return beside.empty() ? Status::Ok() : LoadTileSet(ctx, beside, tiles);
}

int RunImageExport(CliContext& ctx, const std::vector<std::string>& args, MapExportFn exportMap,
                   SheetExportFn exportSheet) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {}, PlainArgs::Exactly(2), parsed))
        return kExitUsage;
    const std::string& in = parsed.positionals[0];
    const std::string& out = parsed.positionals[1];
    const DataKind kind = DataKindOf(in);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + in);

    TileSet tiles;
    Status st = Status::Ok();
    if (kind == DataKind::Map) {
        MapModel map;
        st = LoadMapToShow(ctx, in, map, tiles);
        if (st)
            st = exportMap(ctx.fs, out, map, tiles);
    } else {
        st = LoadTileSet(ctx, in, tiles);
        if (st)
            st = exportSheet(ctx.fs, out, tiles);
    }
    return st ? kExitOk : ctx.Refuse(st);
}

} // namespace kesh::cli
