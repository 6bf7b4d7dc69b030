// The Tiled map subcommands: export-tmx and import-tmx.
#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliJson.h"
#include "CliMapLayout.h"
#include "CliMessages.h"
#include "base/Messages.h"
#include "io/InputLimits.h"
#include "map/MapFile.h"
#include "tmx/TmxExport.h"
#include "tmx/TmxImport.h"
#include "tmx/TmxMessages.h"

namespace kesh::cli {

int RunExportTmx(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {}, PlainArgs::Exactly(2), parsed))
        return kExitUsage;
    const std::string& in = parsed.positionals[0];
    if (DataKindOf(in) != DataKind::Map)
        return ctx.Usage(text::kNotMapFile + in);
    MapModel map;
    TileSet tiles;
    Status st = LoadMapToShow(ctx, in, map, tiles);
    if (st)
        st = ExportTmx(ctx.fs, parsed.positionals[1], map, tiles);
    return st ? kExitOk : ctx.Refuse(st);
}

int RunImportTmx(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    MapLayoutOptions mapLayout(false); // --map-items, --preset (cell fields only)
    if (!ReadArgsWithMapLayout(ctx, args,
                               {{"--palette", false},
                                {"--nearest", false},
                                {"--quantize", false, true},
                                {"--dither", false},
                                {"--drop-flips", false},
                                {"--tile-items", true}},
                               parsed, mapLayout))
        return kExitUsage;
    TmxImportOptions options;
    if (const int exit = ReadQuantize(ctx, parsed, {"--palette", "--nearest"}, options.quantize,
                                      options.quantizeOptions);
        exit != kExitOk)
        return exit;
    const std::string& in = parsed.positionals[0];
    const std::string& out = parsed.positionals[1];
    if (DataKindOf(out) != DataKind::Map)
        return ctx.Usage(text::kNotMapFile + out);
    MapFormat format;
    format.items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    std::vector<uint8_t> tileItems;
    std::string error;
    if (Status st = mapLayout.Apply(format, MapModel()); !st)
        return ctx.Usage(st.message());
    // A layout with both flip fields keeps Tiled's horizontal and vertical flips.
    options.keepFlips = (format.AttrMask() & cellbit::kFlips) == cellbit::kFlips;
    const auto tileList = parsed.value("--tile-items");
    if (tileList && !ParseTileItems(*tileList, tileItems, error))
        return ctx.Usage(error);

    const auto bytes = ctx.fs.readFile(in, kMaxTmxBytes);
    if (!bytes)
        return ctx.Refuse(bytes.status());
    options.takePalette = parsed.has("--palette");
    options.nearest = parsed.has("--nearest");
    options.dropFlips = parsed.has("--drop-flips");
    FolderLoader loader(ctx.fs, FolderOfPath(in));
    TmxImportResult result = ImportTmx(*bytes, loader, options);
    if (!result.status)
        return ctx.Refuse(Status::Fail(result.status.message() + "\n" + in));
    for (const std::string& warning : result.warnings)
        ctx.services.ShowMessage(warning);
    if (tileList)
        result.tiles.format().items = tileItems;
    format.width = result.width;
    format.height = result.height;
    MapModel map;
    Status st = map.ReplaceGrid(std::move(format), std::move(result.cells), std::move(result.attrs));
    if (st)
        st = SaveMapFiles(ctx.fs, out, map, result.tiles);
    if (!st)
        return ctx.Refuse(st);

    JsonObject json(ctx.out);
    json.number("mapWidth", result.width);
    json.number("mapHeight", result.height);
    json.number("tiles", result.tiles.count());
    json.number("droppedFlips", result.droppedFlips);
    json.number("changedPixels", result.changedPixels);
    if (options.quantize)
        WriteQuantized(json, result.quantized);
    return kExitOk;
}

} // namespace kesh::cli
