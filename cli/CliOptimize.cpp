#include <charconv>

#include "CliCommands.h"
#include "CliFiles.h"
#include "CliMessages.h"
#include "doc/Document.h"
#include "layout/TileBudget.h"
#include "map/MapFile.h"
#include "map/TileUsage.h"
#include "tileset/TileMatcher.h"
#include "tileset/TileSetFile.h"

namespace kesh::cli {

namespace {

// Reads MAP (a .map, through its .kmf) into `doc`; kExitOk, or the exit
// status once the problem was told. A map without a TileFile item takes the
// tile file of its name beside it, whose path goes to `besideTiles`.
int LoadMapDocument(CliContext& ctx, const std::string& path, Document& doc,
                    std::string* besideTiles = nullptr) {
    if (DataKindOf(path) != DataKind::Map)
        return ctx.Usage(text::kNotMapFile + path);
    if (const Status st = LoadMapToShow(ctx, path, doc.map(), doc.tiles()); !st)
        return ctx.Refuse(st);
    if (besideTiles)
        *besideTiles = TilesBesideMap(ctx, path, doc.map());
    return kExitOk;
}

// Cells whose tile or attribute bits differ between `before` and `doc`.
uint64_t CellsChanged(const std::vector<uint16_t>& cells, const std::vector<uint16_t>& attrs,
                      const MapModel& map) {
    uint64_t changed = 0;
    for (size_t i = 0; i < cells.size(); ++i)
        changed += cells[i] != map.cells()[i] || (!attrs.empty() && attrs[i] != map.attrs()[i]);
    return changed;
}

} // namespace

int RunUsage(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {}, PlainArgs::Exactly(1), parsed))
        return kExitUsage;
    Document doc;
    if (const int exit = LoadMapDocument(ctx, parsed.positionals[0], doc); exit != kExitOk)
        return exit;
    const TileUsage usage = TileUsage::Count(doc.map().cells(), doc.tiles().count());
    JsonObject json(ctx.out);
    json.number("tiles", doc.tiles().count());
    json.number("unused", usage.unused());
    json.number("distinct", TileMatcher(doc.tiles().tiles(), doc.mapFlips()).distinct());
    json.number("limit", TileLimit(doc.map().format(), doc.tiles().format()));
    json.number("emptyCells", int64_t(usage.empty));
    json.number("cellsWithoutTile", int64_t(usage.outside));
    std::ostream& counts = json.key("counts");
    counts << '[';
    for (size_t t = 0; t < usage.counts.size(); ++t)
        counts << (t ? ", " : "") << usage.counts[t];
    counts << ']';
    return kExitOk;
}

int RunOptimize(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    const std::vector<OptionDef> options{{"--unused"}, {"--duplicates"}, {"--flips"},
                                         {"--near", true}, {"--check"}};
    if (!ctx.ReadArgs(args, options, PlainArgs::Exactly(1), parsed))
        return kExitUsage;
    int32_t near = -1;
    if (const auto value = parsed.value("--near")) {
        const char* end = value->data() + value->size();
        const auto [ptr, ec] = std::from_chars(value->data(), end, near);
        if (ec != std::errc() || ptr != end || near < 0 || near > 64)
            return ctx.Usage(text::kBadNearCount + *value);
    }
    const bool chosen = parsed.has("--unused") || parsed.has("--duplicates") ||
                        parsed.has("--flips") || near >= 0;
    const bool duplicates = !chosen || parsed.has("--duplicates") || parsed.has("--flips");
    const bool unused = !chosen || parsed.has("--unused");

    const std::string& path = parsed.positionals[0];
    Document doc;
    std::string besideTiles;
    if (const int exit = LoadMapDocument(ctx, path, doc, &besideTiles); exit != kExitOk)
        return exit;
    const std::vector<uint16_t> cells = doc.map().cells();
    const std::vector<uint16_t> attrs = doc.map().attrs();
    const int32_t before = doc.tiles().count();

    // The editor's clean-ups, in the order that leaves the fewest tiles:
    // equal tiles first, then near ones, then what no cell shows.
    CleanupSummary summary;
    int32_t pairs = 0;
    Status st = Status::Ok();
    if (duplicates)
        st = doc.MergeDuplicateTiles(parsed.has("--flips"), summary);
    if (st && near >= 0) {
        st = doc.MergeNearTiles(near, summary);
        pairs = summary.tilesMerged;
    }
    if (st && unused)
        st = doc.RemoveUnusedTiles(summary);
    if (!st)
        return ctx.Refuse(st);

    const int64_t limit = TileLimit(doc.map().format(), doc.tiles().format());
    const bool over = doc.tiles().count() > limit;
    const bool check = parsed.has("--check");
    const bool write = !check && doc.CanUndo();
    if (write) {
        // The tiles of a tile file beside the map are saved with it, all or nothing.
        std::vector<FileSource> beside;
        if (!besideTiles.empty())
            st = TileSetFileSources(besideTiles, doc.tiles(), EmptyTileSet::Refuse, beside);
        if (st)
            st = SaveMapFiles(ctx.fs, path, doc.map(), doc.tiles(), beside);
        if (!st)
            return ctx.Refuse(st);
    }
    {
        JsonObject json(ctx.out);
        json.number("tilesBefore", before);
        json.number("tilesAfter", doc.tiles().count());
        json.number("cellsChanged", int64_t(CellsChanged(cells, attrs, doc.map())));
        json.number("pairsMerged", pairs);
        json.number("limit", limit);
        json.key("written") << (write ? "true" : "false");
    }
    if (check && over) {
        ctx.err << text::kOverTileLimit << doc.tiles().count() << " / " << limit << '\n';
        return kExitRefused;
    }
    return kExitOk;
}

} // namespace kesh::cli
