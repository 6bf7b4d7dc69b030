#include "tileset/ShownColours.h"

#include <algorithm>

#include "tileset/TileSet.h"

namespace kesh {

int HardwareColourCount(const TileFormat& format) {
    const auto& items = format.items;
    if (std::find(items.begin(), items.end(), TileItem::Palette) == items.end())
        return 0;
    const TileItemParams& params = format.params;
    return std::clamp(int(params.coloursPerPalette) * int(params.paletteCount), 0, 256);
}

Rgb ShownColour(const TileFormat& format, const uint8_t* table, int index) {
    const uint8_t* entry = table + 4 * size_t(index);
    const Rgb held{entry[2], entry[1], entry[0]};
    if (index >= HardwareColourCount(format))
        return held;
    return ReduceColour(format.params.colours, held);
}

ColourTable ShownColours(const TileSet& set) {
    ColourTable shown{};
    const uint8_t* table = set.colourTable();
    std::copy_n(table, shown.size(), shown.begin());
    // Reduced one entry at a time: the NES's nearest-colour search is the
    // dearest, and there are at most 256 of them.
    const int count = HardwareColourCount(set.format());
    for (int i = 0; i < count; ++i) {
        const Rgb colour = ReduceColour(set.format().params.colours,
                                        Rgb{table[4 * i + 2], table[4 * i + 1], table[4 * i]});
        shown[size_t(4 * i)] = colour.b;
        shown[size_t(4 * i + 1)] = colour.g;
        shown[size_t(4 * i + 2)] = colour.r;
    }
    return shown;
}

} // namespace kesh
