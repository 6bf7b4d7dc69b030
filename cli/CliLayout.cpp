#include <algorithm>
#include <iomanip>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliJson.h"
#include "CliMessages.h"
#include "app/ReaderCode.h"
#include "io/InputLimits.h"
#include "layout/CodeGen.h"
#include "layout/LayoutTable.h"
#include "map/LayoutDataOf.h"
#include "map/MapFile.h"

namespace kesh::cli {

namespace {

// The header bytes as the file holds them, zero bytes included, so the table
// describes this file rather than the header string kept from it.
std::string RawHeader(FileSystem& fs, const std::string& path, int length, std::string kept) {
    const auto bytes = fs.readFile(path, kMaxMapFileBytes);
    if (!bytes || bytes->size() < size_t(std::max(length, 0)))
        return kept;
    return std::string(bytes->begin(), bytes->begin() + ptrdiff_t(std::max(length, 0)));
}

Status TableOf(CliContext& ctx, const std::string& path, DataKind kind, LayoutTable& table) {
    TileSet tiles;
    if (kind == DataKind::TileSet) {
        TileDescriptor descriptor;
        if (Status st = LoadTileDescriptor(ctx, path, descriptor); !st)
            return st;
        if (Status st = LoadTileSet(ctx, path, tiles); !st)
            return st;
        TileFormat format = tiles.format();
        format.header = RawHeader(ctx.fs, path, descriptor.headerLength, format.header);
        table = TileLayoutTable(format, LayoutDataOf(tiles));
        return Status::Ok();
    }
    MapModel map;
    if (Status st = LoadMapToShow(ctx, path, map, tiles); !st)
        return st;
    MapFormat format = map.format();
    MapDescriptor descriptor;
    bool missing = false;
    if (kesh::LoadMapDescriptor(ctx.fs, path, descriptor, missing))
        format.header = RawHeader(ctx.fs, path, descriptor.headerLength, format.header);
    table = MapLayoutTable(format, tiles.format(), LayoutDataOf(map, tiles));
    return Status::Ok();
}

void WriteEntriesJson(std::ostream& out, const std::vector<LayoutEntry>& entries,
                      const std::string& indent) {
    out << '[';
    for (size_t i = 0; i < entries.size(); ++i) {
        const LayoutEntry& e = entries[i];
        out << (i ? ",\n" : "\n") << indent << "  {\"item\": ";
        if (e.code == kHeaderEntry || TileItemName(e.code) || MapItemName(e.code))
            WriteJsonString(out, e.name);
        else
            out << e.code;
        out << ", \"offset\": " << e.offset << ", \"length\": " << e.length;
        if (!e.items.empty()) {
            out << ", \"items\": ";
            WriteEntriesJson(out, e.items, indent + "  ");
        }
        out << '}';
    }
    out << (entries.empty() ? "]" : "\n" + indent + "]");
}

void WriteEntriesText(std::ostream& out, const std::vector<LayoutEntry>& entries,
                      const std::string& indent) {
    for (const LayoutEntry& e : entries) {
        out << std::setw(10) << e.offset << std::setw(10) << e.length << "  " << indent << e.text;
        // An item with fields shows them by name, as --map-items takes them.
        if ((e.code == MapItem::CellFields || e.code == MapItem::CellAttributes) &&
            e.name.find('[') != std::string::npos)
            out << "  " << e.name;
        out << '\n';
        WriteEntriesText(out, e.items, indent + "  ");
    }
}

} // namespace

int RunLayout(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {{"--json", false}}, PlainArgs::Exactly(1), parsed))
        return kExitUsage;
    const std::string& path = parsed.positionals[0];
    const DataKind kind = DataKindOf(path);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + path);
    LayoutTable table;
    if (Status st = TableOf(ctx, path, kind, table); !st)
        return ctx.Refuse(st);

    if (parsed.has("--json")) {
        JsonObject json(ctx.out);
        json.number("size", int64_t(table.size));
        WriteEntriesJson(json.key("items"), table.items, "  ");
        std::ostream& w = json.key("warnings");
        w << '[';
        for (size_t i = 0; i < table.warnings.size(); ++i) {
            w << (i ? ", " : "");
            WriteJsonString(w, table.warnings[i]);
        }
        w << ']';
        return kExitOk;
    }
    ctx.out << text::kLayoutColumns;
    WriteEntriesText(ctx.out, table.items, "");
    ctx.out << text::kLayoutSize << table.size << '\n';
    for (const std::string& w : table.warnings)
        ctx.out << text::kLayoutWarning << w << '\n';
    return kExitOk;
}

int RunCodegen(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {{"--lang", true}, {"-o", true}, {"--prefix", true}},
                      PlainArgs::Exactly(1), parsed))
        return kExitUsage;
    const std::string& path = parsed.positionals[0];
    const DataKind kind = DataKindOf(path);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + path);
    const auto lang = parsed.value("--lang");
    if (!lang || (*lang != "c" && *lang != "python"))
        return ctx.Usage(text::kBadLang);
    const auto prefix = parsed.value("--prefix");
    if (prefix && !IsReaderPrefix(*prefix))
        return ctx.Usage(text::kBadPrefix + *prefix);

    CodeLayout layout;
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (kind == DataKind::TileSet) {
        TileDescriptor descriptor;
        if (Status st = LoadTileDescriptor(ctx, path, descriptor); !st)
            return ctx.Refuse(st);
        layout = CodeLayout::ForTiles(descriptor, name);
    } else {
        MapDescriptor descriptor;
        if (Status st = LoadMapDescriptor(ctx, path, descriptor); !st)
            return ctx.Refuse(st);
        layout = CodeLayout::ForMap(descriptor, name);
    }
    // The C names take the prefix asked for, or the one of the file written:
    // kesh's own names only for a header without a name of its own.
    const auto out = parsed.value("-o");
    layout.prefix = prefix ? *prefix : out ? ReaderPrefixOf(*out) : kDefaultReaderPrefix;
    const std::string code =
        GenerateReader(layout, *lang == "c" ? CodeLanguage::C : CodeLanguage::Python);
    if (!out) {
        ctx.out << code;
        return kExitOk;
    }
    const Status st = SaveFiles(ctx.fs, {{*out, std::vector<uint8_t>(code.begin(), code.end())}});
    return st ? kExitOk : ctx.Refuse(st);
}

} // namespace kesh::cli
