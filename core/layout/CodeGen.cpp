#include "layout/CodeGen.h"

#include <algorithm>
#include <utility>

namespace kesh {

namespace {

std::string Padded(std::string text, size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string ItemLine(const char* name, const char* text, int code) {
    if (!name)
        return "code " + std::to_string(code) + " (not an item: nothing is read)";
    return Padded(name, 13) + " " + text;
}

std::string Bytes(int count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

void AddTileLines(const TileDescriptor& tile, const std::string& indent,
                  std::vector<std::string>& lines) {
    lines.push_back(indent + "header string: " + Bytes(tile.headerLength));
    lines.push_back(indent + "attributes: " + Bytes(AttrBytesFor(tile.attrWidth)) +
                    " each (AttrWidth " + std::to_string(tile.attrWidth) + ")");
    if (tile.items.empty())
        lines.push_back(indent + "(no items)");
    const TileFormat format = codegen::FormatOf(tile);
    for (const uint8_t code : tile.items) {
        const std::string label = TileItemLabel(format, code);
        lines.push_back(indent + ItemLine(TileItemName(code) ? label.c_str() : nullptr,
                                          TileItemText(code), code));
    }
}

} // namespace

CodeLayout CodeLayout::ForMap(const MapDescriptor& map, std::string madeFor) {
    CodeLayout layout;
    layout.map = map;
    layout.tile = map.tile;
    layout.madeFor = std::move(madeFor);
    return layout;
}

CodeLayout CodeLayout::ForTiles(const TileDescriptor& tile, std::string madeFor) {
    CodeLayout layout;
    layout.tile = tile;
    layout.madeFor = std::move(madeFor);
    return layout;
}

std::string GenerateReader(const CodeLayout& layout, CodeLanguage language) {
    return language == CodeLanguage::C ? GenerateCReader(layout) : GeneratePythonReader(layout);
}

namespace codegen {

std::vector<std::string> LayoutLines(const CodeLayout& layout) {
    std::vector<std::string> lines;
    if (!layout.map) {
        AddTileLines(layout.tile, "", lines);
        return lines;
    }
    lines.push_back("header string: " + Bytes(layout.map->headerLength));
    if (layout.map->items.empty())
        lines.push_back("(no items)");
    for (const uint8_t code : layout.map->items) {
        lines.push_back(ItemLine(MapItemName(code), MapItemText(code), code));
        if ((code == MapItem::CellFields || code == MapItem::CellAttributes) &&
            !FieldWord(*layout.map, code).fields.empty())
            lines.push_back("    " + CellWordText(FieldWord(*layout.map, code),
                                                  code == MapItem::CellAttributes));
        if (code == MapItem::NesAttributes)
            lines.push_back("    64 bytes a screen of 32 x 30 cells; 2 bits a 2 x 2 block: "
                            "the palette field");
        if (code == MapItem::TileFile)
            AddTileLines(layout.tile, "    ", lines);
    }
    return lines;
}

TileFormat FormatOf(const TileDescriptor& tile) {
    TileFormat format;
    format.items = tile.items;
    format.params = tile.params;
    format.attrWidth = tile.attrWidth;
    return format;
}

const CellWord& FieldWord(const MapDescriptor& map, uint8_t code) {
    return code == MapItem::CellAttributes ? map.cells.plane : map.cells.word;
}

bool HasWordFieldItems(const MapDescriptor& map) {
    return std::any_of(map.items.begin(), map.items.end(), [&](uint8_t code) {
        return (code == MapItem::CellFields || code == MapItem::CellAttributes) &&
               !FieldWord(map, code).fields.empty();
    });
}

bool HasNesTable(const MapDescriptor& map) {
    return std::find(map.items.begin(), map.items.end(), MapItem::NesAttributes) != map.items.end();
}

bool HasFieldItems(const MapDescriptor& map) {
    return HasWordFieldItems(map) || HasNesTable(map);
}

std::vector<std::string> FieldNames(const MapDescriptor& map) {
    std::vector<std::string> names;
    for (const uint8_t code : {MapItem::CellFields, MapItem::CellAttributes}) {
        if (std::find(map.items.begin(), map.items.end(), code) == map.items.end())
            continue;
        for (const CellField& field : FieldWord(map, code).fields) {
            const std::string name = CellFieldName(field);
            if (field.kind != CellFieldKind::Tile &&
                std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    // The NES table's palette, which no word of the layout may hold as well.
    if (HasNesTable(map) && std::find(names.begin(), names.end(), "palette") == names.end())
        names.push_back("palette");
    return names;
}

std::vector<std::string> NoticeLines() {
    return {"This code may be used, changed and shared without restriction.",
            "It belongs to your game, not to kesh."};
}

} // namespace codegen

} // namespace kesh
