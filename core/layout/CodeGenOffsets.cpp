#include <numeric>

#include "layout/CodeGen.h"

namespace kesh::codegen {

namespace {

// A number of bytes the layout fixes only up to the data's sizes:
// bytes + count x w x h x pixelBits / 8 + count x perTile + width x height x perCell
// + screens x perScreen, with count tiles of w x h pixels in a map of width x
// height cells, which covers `screens` NES screens of 32 x 30 cells.
struct Extent {
    uint64_t bytes = 0, pixelBits = 0, perTile = 0, perCell = 0, perScreen = 0;

    Extent& operator+=(const Extent& other) {
        bytes += other.bytes;
        pixelBits += other.pixelBits;
        perTile += other.perTile;
        perCell += other.perCell;
        perScreen += other.perScreen;
        return *this;
    }

    std::string Text() const {
        std::string text;
        const auto add = [&](const std::string& term) {
            text += (text.empty() ? "" : " + ") + term;
        };
        if (bytes || (!pixelBits && !perTile && !perCell && !perScreen))
            add(std::to_string(bytes));
        if (pixelBits) {
            const uint64_t g = std::gcd(pixelBits, uint64_t(8));
            add("count x w x h" + Times(pixelBits / g) +
                (g == 8 ? "" : " / " + std::to_string(8 / g)));
        }
        if (perTile)
            add("count" + Times(perTile));
        if (perCell)
            add("width x height" + Times(perCell));
        if (perScreen)
            add("screens" + Times(perScreen));
        return text;
    }

    static std::string Times(uint64_t n) { return n == 1 ? "" : " x " + std::to_string(n); }
};

Extent Fixed(uint64_t bytes) {
    Extent e;
    e.bytes = bytes;
    return e;
}

Extent TileItemExtent(const TileDescriptor& tile, uint8_t code) {
    Extent e;
    switch (code) {
    case TileItem::TileData:
        e.pixelBits = 8;
        break;
    case TileItem::AttrData:
        e.perTile = uint64_t(AttrBytesFor(tile.attrWidth));
        break;
    case TileItem::TileAttrData:
        e.pixelBits = 8;
        e.perTile = uint64_t(AttrBytesFor(tile.attrWidth));
        break;
    case TileItem::Pixels:
        e.pixelBits = uint64_t(BitsPerPixel(tile.params.pixels));
        break;
    default:
        // Sizes, counts and palettes: the same for any tiles.
        e.bytes = TileItemBytes(FormatOf(tile), code, 0);
        break;
    }
    return e;
}

std::string Line(const std::string& indent, const std::string& name, const Extent& at,
                 const Extent& length) {
    std::string line = indent + name;
    line.append(line.size() < 24 ? 24 - line.size() : 1, ' ');
    const std::string bytes = length.Text();
    return line + "at " + at.Text() + ", " + bytes + (bytes == "1" ? " byte" : " bytes");
}

// The tile file's lines from `at`; returns its whole length.
Extent TileLines(const TileDescriptor& tile, Extent at, const std::string& indent,
                 std::vector<std::string>& lines) {
    const Extent start = at;
    const TileFormat format = FormatOf(tile);
    if (tile.headerLength > 0) {
        lines.push_back(Line(indent, "header string", at, Fixed(uint64_t(tile.headerLength))));
        at += Fixed(uint64_t(tile.headerLength));
    }
    for (const uint8_t code : tile.items) {
        if (!TileItemName(code))
            continue;
        const Extent length = TileItemExtent(tile, code);
        lines.push_back(Line(indent, TileItemLabel(format, code), at, length));
        at += length;
    }
    Extent whole = at;
    whole.bytes -= start.bytes;
    whole.pixelBits -= start.pixelBits;
    whole.perTile -= start.perTile;
    whole.perCell -= start.perCell;
    whole.perScreen -= start.perScreen;
    return whole;
}

} // namespace

std::vector<std::string> OffsetLines(const CodeLayout& layout) {
    std::vector<std::string> lines;
    if (!layout.map) {
        lines.push_back("Where the items lie, for count tiles of w x h pixels:");
        TileLines(layout.tile, {}, "  ", lines);
        return lines;
    }
    const MapDescriptor& map = *layout.map;
    lines.push_back("Where the items lie, for a map of width x height cells and count tiles");
    lines.push_back("of w x h pixels:");
    if (HasNesTable(map))
        lines.push_back("(screens = (width + 31) / 32 x ((height + 29) / 30), whole NES screens)");
    Extent at;
    if (map.headerLength > 0) {
        lines.push_back(Line("  ", "header string", at, Fixed(uint64_t(map.headerLength))));
        at += Fixed(uint64_t(map.headerLength));
    }
    for (const uint8_t code : map.items) {
        const char* name = MapItemName(code);
        if (!name)
            continue;
        if (code == MapItem::TileFile) {
            std::vector<std::string> inner;
            const Extent length = TileLines(layout.tile, at, "    ", inner);
            lines.push_back(Line("  ", name, at, length));
            lines.insert(lines.end(), inner.begin(), inner.end());
            at += length;
            continue;
        }
        Extent length;
        if (code == MapItem::CellsByte || code == MapItem::CellsWord)
            length.perCell = code == MapItem::CellsByte ? 1 : 2;
        else if (code == MapItem::CellFields || code == MapItem::CellAttributes)
            length.perCell =
                FieldWord(map, code).fields.empty() ? 0 : uint64_t(FieldWord(map, code).bytes());
        else if (code == MapItem::NesAttributes)
            length.perScreen = MapItemBytes(code, 1, 1); // 64 bytes a screen
        else
            length = Fixed(MapItemBytes(code, 0, 0));
        lines.push_back(Line("  ", name, at, length));
        at += length;
    }
    return lines;
}

} // namespace kesh::codegen
