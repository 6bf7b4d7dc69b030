#include "layout/TileBudget.h"

#include <algorithm>

namespace kesh {

int64_t DefaultTileLimit(const MapFormat& map) {
    constexpr int64_t kWord = 0xFFFF;
    int64_t limit = -1;
    for (const uint8_t item : map.items) {
        int64_t here = -1;
        if (item == MapItem::CellsByte) {
            here = 256;
        } else if (item == MapItem::CellsWord) {
            here = kWord;
        } else if (item == MapItem::CellFields) {
            for (const CellField& f : map.cells.word.fields)
                if (f.kind == CellFieldKind::Tile)
                    here = std::min(kWord, int64_t(1) << std::min<int>(f.width, 16));
        }
        // Every cell item must hold the number: the smallest one rules.
        if (here > 0)
            limit = limit < 0 ? here : std::min(limit, here);
    }
    return limit < 0 ? kWord : limit;
}

int64_t TileLimit(const MapFormat& map, const TileFormat& tiles) {
    const int64_t most = DefaultTileLimit(map);
    return tiles.tileLimit > 0 ? std::min<int64_t>(tiles.tileLimit, most) : most;
}

std::string TileLimitWarning(int64_t stored, int64_t limit) {
    if (stored <= limit)
        return {};
    return "타일 한도: 타일 " + std::to_string(stored) + "개가 한도 " + std::to_string(limit) +
           "개를 넘습니다.";
}

} // namespace kesh
