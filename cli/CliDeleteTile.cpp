#include <charconv>

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliMessages.h"
#include "doc/DeleteTileCommand.h"
#include "doc/Document.h"
#include "map/MapFile.h"
#include "tileset/TileSetFile.h"

namespace kesh::cli {

namespace {

// A tile number as the command line gives it: 0 ... 65534.
bool ParseTileNumber(const std::string& text, int32_t& number) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number);
    return ec == std::errc() && ptr == end && number >= 0 && number < kEmptyCell;
}

} // namespace

int RunDeleteTile(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {}, PlainArgs::Exactly(2), parsed))
        return kExitUsage;
    const std::string& path = parsed.positionals[0];
    int32_t number = 0;
    if (!ParseTileNumber(parsed.positionals[1], number))
        return ctx.Usage(text::kBadTileNumber + parsed.positionals[1]);
    const DataKind kind = DataKindOf(path);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + path);

    // The editor's own delete: the same renumbering, as one document change.
    Document doc;
    Status st = kind == DataKind::Map ? LoadMap(ctx, path, doc.map(), doc.tiles())
                                      : LoadTileSet(ctx, path, doc.tiles());
    if (!st)
        return ctx.Refuse(st);
    const bool hasTiles = doc.tiles().count() > 0;
    size_t emptied = 0;
    if (kind == DataKind::TileSet || hasTiles) {
        if (number >= doc.tiles().count())
            return ctx.Refuse(
                Status::Fail(text::kNoSuchTile + std::to_string(number) + "\n" + path));
        const auto before = doc.map().cells();
        doc.DeleteTile(number);
        for (size_t i = 0; i < before.size(); ++i)
            emptied += before[i] == uint16_t(number);
    } else {
        // A map without its tiles: only the cells move, as they would in the editor.
        emptied = DeleteTileCommand::Renumber(doc.map(), uint16_t(number)).size();
    }

    st = kind == DataKind::Map ? SaveMapFiles(ctx.fs, path, doc.map(), doc.tiles())
                               : SaveTileSetFiles(ctx.fs, path, doc.tiles(), EmptyTileSet::Refuse);
    if (!st)
        return ctx.Refuse(st);
    ctx.out << "{\"deleted\": " << number << ", \"tiles\": " << doc.tiles().count();
    if (kind == DataKind::Map)
        ctx.out << ", \"emptiedCells\": " << emptied;
    ctx.out << "}\n";
    return kExitOk;
}

} // namespace kesh::cli
