#include "layout/LayoutTable.h"

#include <algorithm>
#include <utility>

#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "layout/TileBudget.h"

namespace kesh {

namespace {

// The largest value `bytes` (1 or 2) store without cutting it.
constexpr int64_t kMaxByte = 0xFF;
constexpr int64_t kMaxWord = 0xFFFF;

std::string Warning(const std::string& text, const std::string& message) {
    return text + ": " + message;
}

std::string Number(int64_t value) {
    return std::to_string(value);
}

LayoutEntry Entry(int code, const char* name, const char* text, uint64_t offset, uint64_t length) {
    LayoutEntry entry;
    entry.code = code;
    entry.name = name ? name : Number(code);
    entry.text = text ? text : "알 수 없는 항목 (" + Number(code) + ")";
    entry.offset = offset;
    entry.length = length;
    return entry;
}

// Appends the header entry when the header writes anything; returns its length.
uint64_t AddHeader(const std::string& header, uint64_t offset, std::vector<LayoutEntry>& items,
                   std::vector<std::string>& warnings) {
    const int length = HeaderLength(header);
    if (header.size() > size_t(kMaxHeaderBytes))
        warnings.push_back(Warning(HeaderEntryText(), "255바이트까지만 저장되고 나머지 " +
                                                          Number(int64_t(header.size()) - length) +
                                                          "바이트는 잘립니다."));
    if (length > 0)
        items.push_back(Entry(kHeaderEntry, "Header", HeaderEntryText(), offset, uint64_t(length)));
    return uint64_t(length);
}

// The largest value a size or count item of width code `code` keeps; 0 for
// a dword, which keeps every value this program holds.
int64_t LargestKept(int code) {
    return code == 0 ? kMaxByte : code == 1 ? kMaxWord : 0;
}

// "4bpp-snes", "bgr555, 16 x 8": the parameters as the table shows them.
std::string ParamsText(const TileItemParams& params, int code) {
    if (code == TileItem::Pixels)
        return std::string(PixelEncodingName(params.pixels));
    return std::string(ColourEncodingName(params.colours)) + ", 팔레트 " +
           Number(params.paletteCount) + "개 × 색 " + Number(params.coloursPerPalette) + "개";
}

// What the Pixels item cannot store: a tile size its encoding refuses, or
// the first tile with a pixel too large for it; empty when nothing.
std::string PixelsWarning(const TileFormat& format, const TileLayoutData& data) {
    const PixelEncoding encoding = format.params.pixels;
    if (Status st = CheckTileSize(encoding, format.width, format.height); !st)
        return st.message();
    const uint8_t largest = LargestPixel(encoding);
    const auto& pixels = data.largestPixel;
    const auto first = std::find_if(pixels.begin(), pixels.end(),
                                    [largest](uint8_t value) { return value > largest; });
    if (first == pixels.end())
        return {};
    return Number(first - pixels.begin()) + "번 타일의 픽셀 값 " + Number(*first) +
           "은(는) 픽셀 형식 " + std::string(PixelEncodingName(encoding)) + "에 넣을 수 없어 (0부터 " +
           Number(largest) + "까지) 저장되지 않습니다.";
}

// The tile file's entries from `offset`; the size written is returned.
uint64_t LayTileFile(const TileFormat& format, const TileLayoutData& data, uint64_t offset,
                     std::vector<LayoutEntry>& items, std::vector<std::string>& warnings) {
    uint64_t at = offset + AddHeader(format.header, offset, items, warnings);
    // What the reader knows at each item, to find the order it refuses.
    bool sizeKnown = false;
    bool countKnown = false;
    bool warnedSize = false;
    bool warnedCount = false;
    bool warnedAttr = false;
    bool warnedPixels = false;
    const int attrBytes = AttrBytesFor(format.attrWidth);
    for (const uint8_t code : format.items) {
        const char* text = TileItemText(code);
        const uint64_t length = TileItemBytes(format, code, data.count);
        items.push_back(Entry(code, TileItemName(code), text, at, length));
        if (code == TileItem::Pixels || code == TileItem::Palette)
            items.back().text += " " + ParamsText(format.params, code);
        at += length;
        switch (code) {
        case TileItem::SizeByte:
        case TileItem::SizeWord:
        case TileItem::SizeDword: {
            sizeKnown = true;
            const int64_t kept = LargestKept(code - TileItem::SizeByte);
            if (kept && !warnedSize && (format.width > kept || format.height > kept)) {
                warnedSize = true;
                warnings.push_back(Warning(
                    text, "타일 크기 " + Number(format.width) + " × " + Number(format.height) +
                              " 가운데 " + Number(kept) + "보다 큰 값은 잘려서 저장됩니다."));
            }
            break;
        }
        case TileItem::CountByte:
        case TileItem::CountWord:
        case TileItem::CountDword: {
            countKnown = true;
            const int64_t kept = LargestKept(code - TileItem::CountByte);
            if (kept && !warnedCount && data.count > kept) {
                warnedCount = true;
                warnings.push_back(Warning(text, "타일 " + Number(data.count) + "개는 " +
                                                     Number(kept) +
                                                     "보다 많아서 갯수가 잘려서 저장됩니다."));
            }
            break;
        }
        case TileItem::TileData:
        case TileItem::AttrData:
        case TileItem::TileAttrData: {
            if (!sizeKnown)
                warnings.push_back(Warning(text, msg::kNoTileSize));
            else if (!countKnown)
                warnings.push_back(Warning(text, msg::kNoTileCount));
            const uint64_t kept = attrBytes == 4 ? 0 : (uint64_t(1) << (8 * attrBytes)) - 1;
            if (code != TileItem::TileData && kept && data.maxAttribute > kept && !warnedAttr) {
                warnedAttr = true;
                warnings.push_back(Warning(text, "속성 값 " + Number(data.maxAttribute) +
                                                     "은(는) " + Number(attrBytes) +
                                                     "바이트에 들어가지 않아 잘려서 저장됩니다."));
            }
            break;
        }
        case TileItem::Pixels:
            if (!sizeKnown)
                warnings.push_back(Warning(text, msg::kNoTileSize));
            else if (!countKnown)
                warnings.push_back(Warning(text, msg::kNoTileCount));
            if (!warnedPixels) {
                warnedPixels = true;
                if (std::string why = PixelsWarning(format, data); !why.empty())
                    warnings.push_back(Warning(text, why));
            }
            break;
        default:
            break;
        }
    }
    // The reader needs both, after the last item, to know the tiles at all.
    if (!sizeKnown)
        warnings.push_back(msg::kNoTileSize);
    else if (!countKnown)
        warnings.push_back(msg::kNoTileCount);
    return at - offset;
}

// Whether the tile writer has anything to fail on in this layout.
bool WritesTileBlocks(const TileFormat& format) {
    return std::any_of(format.items.begin(), format.items.end(),
                       [](uint8_t code) {
                           return code <= TileItem::TileAttrData || code == TileItem::Pixels;
                       });
}

} // namespace

const char* HeaderEntryText() {
    return "파일 제일 처음에 들어가는 문자열";
}

LayoutTable TileLayoutTable(const TileFormat& format, const TileLayoutData& data) {
    LayoutTable table;
    table.size = LayTileFile(format, data, 0, table.items, table.warnings);
    if (data.tilesKnown && data.count <= 0 && WritesTileBlocks(format))
        table.warnings.push_back(msg::kNoTilesToSave);
    return table;
}

LayoutTable MapLayoutTable(const MapFormat& map, const TileFormat& tiles,
                           const MapLayoutData& data) {
    LayoutTable table;
    uint64_t at = AddHeader(map.header, 0, table.items, table.warnings);
    bool sizeKnown = false;
    bool warnedSize = false;
    bool warnedCells = false;
    bool warnedNes = false;
    bool tilesChecked = false;
    for (const uint8_t code : map.items) {
        const char* text = MapItemText(code);
        LayoutEntry entry = Entry(code, MapItemName(code), text, at, 0);
        if (code == MapItem::TileFile) {
            // Every TileFile item holds the same tile file; its warnings are given once.
            std::vector<std::string> warnings;
            entry.length = LayTileFile(tiles, data.tiles, at, entry.items, warnings);
            if (!tilesChecked) {
                tilesChecked = true;
                table.warnings.insert(table.warnings.end(), warnings.begin(), warnings.end());
                if (data.tiles.tilesKnown && data.tiles.count <= 0 && WritesTileBlocks(tiles))
                    table.warnings.push_back(Warning(text, msg::kNoTilesToEmbed));
            }
        } else {
            entry.length = MapItemBytes(map, code);
            if (code == MapItem::CellFields && !map.cells.word.fields.empty())
                entry.name = CellWordText(map.cells.word, false);
            else if (code == MapItem::CellAttributes && !map.cells.plane.fields.empty())
                entry.name = CellWordText(map.cells.plane, true);
        }
        at += entry.length;
        table.items.push_back(std::move(entry));
        switch (code) {
        case MapItem::SizeByte:
        case MapItem::SizeWord: {
            sizeKnown = true;
            const int64_t kept = LargestKept(code - MapItem::SizeByte);
            if (!warnedSize && (map.width > kept || map.height > kept)) {
                warnedSize = true;
                table.warnings.push_back(Warning(
                    text, "지도 크기 " + Number(map.width) + " × " + Number(map.height) +
                              " 가운데 " + Number(kept) + "보다 큰 값은 잘려서 저장됩니다."));
            }
            break;
        }
        case MapItem::SizeDword:
            sizeKnown = true;
            break;
        case MapItem::CellFields:
        case MapItem::CellAttributes: {
            const CellWord& word = code == MapItem::CellFields ? map.cells.word : map.cells.plane;
            if (word.fields.empty())
                break;
            if (!sizeKnown)
                table.warnings.push_back(Warning(text, msg::kNoTileSize));
            const auto tile = std::find_if(word.fields.begin(), word.fields.end(), [](auto& f) {
                return f.kind == CellFieldKind::Tile;
            });
            const int64_t kept = tile == word.fields.end() ? 0 : (int64_t(1) << tile->width) - 1;
            if (kept && data.maxTile > kept && !warnedCells) {
                warnedCells = true;
                table.warnings.push_back(Warning(
                    text, "타일 번호 " + Number(data.maxTile) + "은(는) tile 필드(" +
                              Number(tile->width) + "비트)에 들어가지 않아 잘려서 저장됩니다."));
            }
            break;
        }
        case MapItem::NesAttributes:
            if (!sizeKnown)
                table.warnings.push_back(Warning(text, msg::kNoTileSize));
            if (data.mixedNesBlock && !warnedNes) {
                warnedNes = true;
                const CellPos at = *data.mixedNesBlock;
                table.warnings.push_back(Warning(
                    text, "칸 (" + Number(at.col) + ", " + Number(at.row) +
                              ")부터의 2×2 블록에 팔레트가 섞여 있습니다. 테이블에는 왼쪽 위 칸의 "
                              "팔레트 " + Number(data.mixedNesPalette) + "만 저장됩니다."));
            }
            break;
        case MapItem::CellsByte:
        case MapItem::CellsWord:
            if (!sizeKnown)
                table.warnings.push_back(Warning(text, msg::kNoTileSize));
            if (code == MapItem::CellsByte && data.maxTile > kMaxByte && !warnedCells) {
                warnedCells = true;
                table.warnings.push_back(
                    Warning(text, "타일 번호 " + Number(data.maxTile) +
                                      "은(는) 255보다 커서 잘려서 저장됩니다."));
            }
            break;
        default:
            break;
        }
    }
    if (!sizeKnown && std::none_of(map.items.begin(), map.items.end(), [](uint8_t code) {
            return code == MapItem::CellsByte || code == MapItem::CellsWord;
        }) && !map.HasFieldItems())
        table.warnings.push_back(msg::kNoTileSize);
    if (std::string over = TileLimitWarning(data.storedTiles, TileLimit(map, tiles)); !over.empty())
        table.warnings.push_back(std::move(over));
    table.size = at;
    return table;
}

} // namespace kesh
