#include "CliTileEncodings.h"

#include <algorithm>
#include <set>
#include <vector>

#include "layout/CodeGen.h"
#include "raster/ColourEncoding.h"

namespace kesh::cli {

namespace {

bool Has(const TileFormat& format, uint8_t code) {
    return std::find(format.items.begin(), format.items.end(), code) != format.items.end();
}

// The colour the console shows for a colour of the set, once saved: for
// the NES the 2C02 table's entry as it is, where kesh's own display shows
// the table's repeats one step apart.
Rgb HardwareColour(ColourEncoding encoding, const uint8_t* entry) {
    uint8_t bytes[3] = {};
    EncodeColour(encoding, Rgb{entry[2], entry[1], entry[0]}, bytes);
    if (encoding == ColourEncoding::Nes)
        return NesMasterPalette()[bytes[0] & 63];
    return DecodeColour(encoding, bytes).value_or(Rgb{});
}

} // namespace

void WriteTileEncodings(JsonObject& json, const TileSet& set, bool palettes) {
    const TileFormat& format = set.format();
    const TileItemParams& p = format.params;
    if (Has(format, TileItem::Pixels))
        json.string("pixelEncoding", PixelEncodingName(p.pixels));
    if (!Has(format, TileItem::Palette))
        return;
    json.string("colourEncoding", ColourEncodingName(p.colours));
    json.number("paletteCount", p.paletteCount);
    json.number("coloursPerPalette", p.coloursPerPalette);
    if (!palettes)
        return;
    std::ostream& out = json.key("palettes");
    out << '[';
    for (int i = 0; i < p.paletteCount; ++i) {
        out << (i ? ", [" : "[");
        for (int k = 0; k < p.coloursPerPalette; ++k) {
            const Rgb c = HardwareColour(p.colours, set.colourTable() +
                                                        4 * size_t(i * p.coloursPerPalette + k));
            out << (k ? ", [" : "[") << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ']';
        }
        out << ']';
    }
    out << ']';
}

void WriteTilePalettes(JsonObject& json, const MapModel& map, const TileSet& tiles) {
    MapDescriptor layout;
    layout.items = map.format().items;
    layout.cells = map.format().cells;
    const std::vector<std::string> fields = codegen::FieldNames(layout);
    if (std::find(fields.begin(), fields.end(), "palette") == fields.end())
        return;
    std::vector<std::set<int>> used(size_t(std::max(tiles.count(), 0)));
    for (size_t i = 0; i < map.cells().size(); ++i)
        if (map.cells()[i] < used.size())
            used[map.cells()[i]].insert(cellbit::PaletteOf(map.attrAt(i)));
    std::ostream& out = json.key("tilePalettes");
    out << '[';
    for (size_t t = 0; t < used.size(); ++t) {
        out << (t ? ", [" : "[");
        bool first = true;
        for (const int palette : used[t]) {
            out << (first ? "" : ", ") << palette;
            first = false;
        }
        out << ']';
    }
    out << ']';
}

} // namespace kesh::cli
