#include "CliCommands.h"

#include "CliArgs.h"
#include "CliFiles.h"
#include "CliMessages.h"
#include "base/Messages.h"
#include "image/PaletteSource.h"
#include "io/InputLimits.h"
#include "map/MapBitmapExport.h"
#include "map/MapFile.h"
#include "tileset/AddTileFile.h"
#include "tileset/TileSetFile.h"
#include "tileset/TileSheetExport.h"

namespace kesh::cli {

std::string SizeText(int32_t width, int32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

int RunExportBmp(CliContext& ctx, const std::vector<std::string>& args) {
    return RunImageExport(ctx, args, ExportMapBitmap, SaveTileSheet);
}

int RunPalette(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {{"--quantize", false, true}, {"--8bit", false}}, PlainArgs::Exactly(1),
                      parsed))
        return kExitUsage;
    bool quantize = false;
    QuantizeOptions options;
    if (const int exit = ReadQuantize(ctx, parsed, {}, quantize, options); exit != kExitOk)
        return exit;
    const std::string& path = parsed.positionals[0];
    const auto bytes = ctx.fs.readFile(path, kMaxImageFileBytes);
    if (!bytes)
        return ctx.Refuse(bytes.status());
    Palette palette;
    QuantizeReport report;
    if (const Status st = quantize ? BuildPaletteFromPicture(path, bytes, options, palette, report)
                                   : ReadPaletteSource(path, bytes, palette);
        !st)
        return ctx.Refuse(st);
    // --8bit: 0-255 as the display shows them (and info --palette prints).
    const int scale = parsed.has("--8bit") ? 4 : 1;
    const auto& rgb = palette.rgb;
    for (size_t i = 0; i < 256; ++i)
        ctx.out << i << ' ' << scale * int(rgb[3 * i]) << ' ' << scale * int(rgb[3 * i + 1]) << ' '
                << scale * int(rgb[3 * i + 2]) << '\n';
    return kExitOk;
}

int RunAddTiles(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {}, PlainArgs::AtLeast(2), parsed))
        return kExitUsage;
    const std::string& setPath = parsed.positionals[0];
    TileSet set;
    if (Status st = LoadTileSet(ctx, setPath, set); !st)
        return ctx.Refuse(st);
    // Every file is added before anything is saved: a refused one leaves SET as it was.
    for (size_t i = 1; i < parsed.positionals.size(); ++i) {
        const std::string& from = parsed.positionals[i];
        TileDescriptor layout;
        if (Status st = LoadTileDescriptor(ctx, from, layout); !st)
            return ctx.Refuse(st);
        const auto bytes = ctx.fs.readFile(from, kMaxTileFileBytes);
        if (!bytes)
            return ctx.Refuse(bytes.status());
        const AddTileFileResult result = AddTileFile(set, *bytes, layout);
        if (!result.status) {
            std::string message = result.status.message();
            if (result.fileWidth > 0)
                message += std::string("\n") + text::kSetTileSize +
                           SizeText(set.tileWidth(), set.tileHeight()) + text::kAddedTileSize +
                           SizeText(result.fileWidth, result.fileHeight);
            return ctx.Refuse(Status::Fail(message + "\n" + from));
        }
        ctx.out << from << ": " << text::kTilesAdded << result.added << '\n';
        if (result.setFull)
            ctx.services.ShowMessage(msg::kTileSetFull);
    }
    const Status st = SaveTileSetFiles(ctx.fs, setPath, set, EmptyTileSet::Refuse);
    return st ? kExitOk : ctx.Refuse(st);
}

} // namespace kesh::cli
