#include "image/ImportSubPalettes.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <utility>

#include "base/Messages.h"
#include "image/AssignPalettes.h"
#include "image/QuantizingAssigner.h"
#include "image/ImageSource.h"
#include "image/PictureTiles.h"
#include "image/BlockMatcher.h"
#include "map/MapModel.h"

namespace kesh {

namespace {

int64_t Distance(uint32_t a, uint32_t b) {
    int64_t d = 0;
    for (int shift : {16, 8, 0}) {
        const int64_t c = int64_t(a >> shift & 0xFF) - int64_t(b >> shift & 0xFF);
        d += c * c;
    }
    return d;
}

// A block's pixels as indices into `palette`: each colour its entry, or
// when the palette lacks it the nearest (squared RGB distance, lowest index
// on ties); padding is colour 0.
void IndicesIn(const PictureTiles& tiles, uint32_t block, const std::vector<uint32_t>& palette,
               std::vector<uint8_t>& lut, uint8_t* out) {
    const auto colours = tiles.Colours(block);
    lut.resize(colours.size());
    for (size_t i = 0; i < colours.size(); ++i) {
        const auto exact = std::find(palette.begin(), palette.end(), colours[i]);
        if (exact != palette.end()) {
            lut[i] = uint8_t(exact - palette.begin());
            continue;
        }
        size_t best = 0;
        for (size_t e = 1; e < palette.size(); ++e)
            if (Distance(colours[i], palette[e]) < Distance(colours[i], palette[best]))
                best = e;
        lut[i] = uint8_t(best);
    }
    for (const uint16_t local : tiles.Pixels(block))
        *out++ = local == PictureTiles::kPad ? 0 : lut[local];
}

// The set's colour table with the palettes from entry 0: P x K entries,
// those no palette fills taking colour 0.
ColourTable TableWith(const TileSet& set, const SubPalettes& found, int palettes, int colours) {
    ColourTable table;
    std::copy(set.colourTable(), set.colourTable() + table.size(), table.begin());
    const uint32_t shared = found.palettes[0][0];
    for (size_t p = 0; p < size_t(palettes); ++p)
        for (size_t i = 0; i < size_t(colours); ++i) {
            const uint32_t c = p < found.palettes.size() && i < found.palettes[p].size()
                                   ? found.palettes[p][i]
                                   : shared;
            uint8_t* entry = table.data() + 4 * (p * size_t(colours) + i);
            entry[0] = uint8_t(c);
            entry[1] = uint8_t(c >> 8);
            entry[2] = uint8_t(c >> 16);
            entry[3] = 0;
        }
    return table;
}

// Where a block was found a tile, under one palette.
struct Placed {
    int palette = -1; // -1: not yet
    int64_t number = -1;
    uint16_t flips = 0;
};

} // namespace

ImportResult ImportWithSubPalettes(TileSet& set, ImageSource& source,
                                   const ImportOptions& options) {
    ImportResult result;
    auto fail = [&](Status st) {
        result.status = std::move(st);
        return result;
    };
    const SubPaletteOptions& sub = options.subPalettes;
    if (Status st = CheckSubPaletteOptions(sub, options.makeMap); !st)
        return fail(st);
    PictureTiles tiles;
    SubPalettes found;
    try {
        if (Status st = tiles.Read(source, set.tileWidth(), set.tileHeight(), sub.encoding); !st)
            return fail(st);
        // "팔레트 새로 만들기": palettes made for the picture, not packed from
        // its colours as they are.
        SubPaletteOptions assigning = sub;
        if (options.quantize && !sub.assign)
            assigning.assign = QuantizingAssigner(result.quantized);
        if (Status st = AssignPalettes(tiles, assigning, found); !st)
            return fail(st);
        if (options.makeMap) {
            result.cells.assign(tiles.places(), kEmptyCell);
            result.attrs.assign(tiles.places(), 0);
        }
    } catch (const std::bad_alloc&) {
        return fail(Status::Fail(msg::kAllocFailed));
    }

    // From here the set changes; a failure takes every change back. Each
    // block is turned into indices once per palette it is seen with.
    TileList& list = set.tiles();
    const uint32_t before = list.count();
    BlockMatcher matcher(list, options.flips);
    std::vector<Placed> first(tiles.blocks());
    std::unordered_map<uint64_t, Placed> others; // by block x 256 + palette
    std::vector<uint8_t> pixels(size_t(set.tileWidth()) * size_t(set.tileHeight()));
    std::vector<uint8_t> lut;
    bool full = false;
    Status stopped = Status::Ok();
    for (size_t place = 0; place < tiles.places(); ++place) {
        const uint32_t block = tiles.BlockAt(place);
        const int palette = found.paletteOfTile[place];
        Placed* placed = &first[block];
        if (placed->palette >= 0 && placed->palette != palette)
            placed = &others[uint64_t(block) << 8 | uint64_t(palette)];
        if (placed->palette < 0) {
            IndicesIn(tiles, block, found.palettes[size_t(palette)], lut, pixels.data());
            if (!matcher.Match(pixels.data(), placed->number, placed->flips)) {
                full = true;
                break;
            }
            placed->palette = palette;
        }
        if (options.makeMap) {
            if (placed->number >= kEmptyCell) {
                stopped = Status::Fail(msg::kTileNumberTooLargeForMap);
                break;
            }
            result.cells[place] = uint16_t(placed->number);
            result.attrs[place] = cellbit::WithPalette(placed->flips, palette);
            result.flippedCells += placed->flips != 0;
        }
    }
    if (full && options.makeMap)
        stopped = Status::Fail(msg::kTileSetFull);
    if (!stopped) {
        while (list.count() > before)
            list.Delete(list.count() - 1);
        result.cells.clear();
        result.attrs.clear();
        result.setFull = full;
        return fail(stopped);
    }
    result.tiles = int64_t(tiles.places());
    result.added = int64_t(list.count()) - before;
    result.setFull = full;
    set.SetColourTable(TableWith(set, found, sub.palettes, sub.colours));
    TileFormat& format = set.format();
    if (std::find(format.items.begin(), format.items.end(), TileItem::Palette) !=
        format.items.end()) {
        format.params.paletteCount = uint16_t(sub.palettes);
        format.params.coloursPerPalette = uint16_t(sub.colours);
    }
    if (options.makeMap) {
        result.mapWidth = tiles.across();
        result.mapHeight = tiles.down();
    }
    result.subPalettes = std::move(found);
    set.touch();
    return result;
}

} // namespace kesh
