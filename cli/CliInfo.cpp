#include <algorithm>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliJson.h"
#include "CliMessages.h"
#include "CliTileEncodings.h"
#include "layout/CodeGen.h"
#include "layout/MapFormat.h"
#include "layout/TileFormat.h"
#include "map/MapModel.h"
#include "text/Cp949.h"
#include "tileset/TileSet.h"

namespace kesh::cli {

namespace {

template <class Range, class Fn> void WriteArray(std::ostream& out, const Range& range, Fn&& each) {
    out << '[';
    bool first = true;
    for (const auto& v : range) {
        if (!first)
            out << ", ";
        first = false;
        each(v);
    }
    out << ']';
}

// The map's items; one with fields as convert takes it, "CellsWord16LE[tile:0-9,...]".
void WriteMapItems(std::ostream& out, const MapFormat& format) {
    WriteArray(out, format.items, [&](uint8_t code) {
        const bool plane = code == MapItem::CellAttributes;
        const CellWord& word = plane ? format.cells.plane : format.cells.word;
        if ((code == MapItem::CellFields || plane) && !word.fields.empty())
            WriteJsonString(out, CellWordText(word, plane));
        else if (const char* name = MapItemName(code))
            WriteJsonString(out, name);
        else
            out << int(code);
    });
}

// A field's value in a cell's attribute word, as the file holds it.
unsigned FieldValue(const CellLayout& cells, const std::string& name, uint16_t attr) {
    if (name == "hflip")
        return (attr & cellbit::kHFlip) ? 1 : 0;
    if (name == "vflip")
        return (attr & cellbit::kVFlip) ? 1 : 0;
    if (name == "priority")
        return (attr & cellbit::kPriority) ? 1 : 0;
    if (name == "palette")
        return unsigned(cellbit::PaletteOf(attr));
    const std::vector<std::string> users = cells.UserNames();
    const auto it = std::find(users.begin(), users.end(), name);
    return it != users.end() && (attr & cellbit::UserBit(int(it - users.begin()))) ? 1 : 0;
}

// Each field beside the tile number, by name: its value in every cell, as
// the generated readers give them.
void WriteCellFields(JsonObject& json, const MapModel& map) {
    MapDescriptor layout;
    layout.items = map.format().items;
    layout.cells = map.format().cells;
    const std::vector<std::string> names = codegen::FieldNames(layout);
    if (!codegen::HasFieldItems(layout))
        return;
    std::ostream& out = json.key("fields");
    out << '{';
    for (size_t k = 0; k < names.size(); ++k) {
        out << (k ? ", " : "");
        WriteJsonString(out, names[k]);
        out << ": ";
        std::vector<unsigned> values(map.cells().size());
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = FieldValue(layout.cells, names[k], map.attrAt(i));
        WriteArray(out, values, [&](unsigned v) { out << v; });
    }
    out << '}';
}

void WriteHeader(JsonObject& json, const std::string& header) {
    json.string("header", Cp949ToUtf8(header));
    json.number("headerBytes", int64_t(header.size()));
}

void WriteTileSet(JsonObject& json, const TileSet& set, bool palette) {
    json.number("tileWidth", set.tileWidth());
    json.number("tileHeight", set.tileHeight());
    // Bytes per attribute, as --attr-width takes them, and the layout's own code.
    const AttrWidth code = set.format().attrWidth;
    json.number("attrWidth", int64_t(AttrBytesFor(code)));
    json.number("attrWidthCode", code);
    // An item with parameters as convert takes it, "Pixels[4bpp-snes]".
    WriteArray(json.key("tileItems"), set.format().items, [&](uint8_t code) {
        if (TileItemName(code))
            WriteJsonString(json.stream(), TileItemLabel(set.format(), code));
        else
            json.stream() << int(code);
    });
    WriteTileEncodings(json, set, palette);
    json.number("tileCount", set.count());
    std::vector<uint32_t> attributes(size_t(set.count()));
    for (size_t i = 0; i < attributes.size(); ++i)
        attributes[i] = set.tiles().AttributeAt(int64_t(i));
    std::ostream& out = json.key("attributes");
    WriteArray(out, attributes, [&](uint32_t a) { out << a; });
    if (palette) {
        std::ostream& p = json.key("palette");
        const uint8_t* table = set.colourTable();
        std::vector<int> entries(256);
        for (int i = 0; i < 256; ++i)
            entries[size_t(i)] = i;
        WriteArray(p, entries, [&](int i) {
            p << '[' << int(table[4 * i + 2]) << ", " << int(table[4 * i + 1]) << ", "
              << int(table[4 * i]) << ']';
        });
    }
}

} // namespace

int RunInfo(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {{"--cells", false}, {"--palette", false}}, PlainArgs::Exactly(1),
                      parsed))
        return kExitUsage;
    const std::string& path = parsed.positionals[0];
    const DataKind kind = DataKindOf(path);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + path);

    TileSet tiles;
    if (kind == DataKind::TileSet) {
        if (Status st = LoadTileSet(ctx, path, tiles); !st)
            return ctx.Refuse(st);
        JsonObject json(ctx.out);
        json.string("kind", "tileset");
        WriteHeader(json, tiles.format().header);
        WriteTileSet(json, tiles, parsed.has("--palette"));
        return kExitOk;
    }

    MapModel map;
    if (Status st = LoadMapToShow(ctx, path, map, tiles); !st)
        return ctx.Refuse(st);
    JsonObject json(ctx.out);
    json.string("kind", "map");
    WriteHeader(json, map.format().header);
    json.number("width", map.width());
    json.number("height", map.height());
    WriteMapItems(json.key("mapItems"), map.format());
    WriteTileSet(json, tiles, parsed.has("--palette"));
    WriteTilePalettes(json, map, tiles);
    if (parsed.has("--cells")) {
        std::ostream& out = json.key("cells");
        WriteArray(out, map.cells(), [&](uint16_t c) { out << c; });
        WriteCellFields(json, map);
    }
    return kExitOk;
}

} // namespace kesh::cli
