#include "image/SubPalettePacker.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <string>

namespace kesh {

namespace {

using Colours = std::vector<uint32_t>; // sorted, no repeats, colour 0 left out

Colours Union(const Colours& a, const Colours& b) {
    Colours u;
    u.reserve(a.size() + b.size());
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(u));
    return u;
}

// How many of `set`'s colours `palette` lacks.
size_t Missing(const Colours& set, const Colours& palette) {
    size_t missing = 0;
    auto p = palette.begin();
    for (uint32_t c : set) {
        p = std::lower_bound(p, palette.end(), c);
        if (p == palette.end() || *p != c)
            ++missing;
    }
    return missing;
}

// Packs `items`, in the order given (largest first), into at most `limit`
// palettes of `room` colours: each joins the palette that shares the most
// colours with it and has room for the rest, the first such on a tie. With
// `joinDisjoint` off an item that shares nothing starts a palette of its
// own; with it on it joins the first palette with room, and starts one only
// when none has room and fewer than `limit` exist. An item that fits nowhere
// is left out.
std::vector<Colours> Fill(const std::vector<const Colours*>& items, size_t limit, size_t room,
                          bool joinDisjoint) {
    std::vector<Colours> palettes;
    for (const Colours* item : items) {
        if (item->empty())
            continue;
        size_t best = palettes.size(), bestMissing = item->size() + (joinDisjoint ? 1 : 0);
        for (size_t i = 0; i < palettes.size(); ++i) {
            const size_t missing = Missing(*item, palettes[i]);
            if (palettes[i].size() + missing <= room && missing < bestMissing) {
                best = i;
                bestMissing = missing;
            }
        }
        if (best < palettes.size())
            palettes[best] = Union(palettes[best], *item);
        else if (palettes.size() < limit)
            palettes.push_back(*item);
    }
    return palettes;
}

// The items largest first, then in the order given.
std::vector<const Colours*> LargestFirst(std::vector<const Colours*> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const Colours* l, const Colours* r) { return l->size() > r->size(); });
    return items;
}

// Each area's palette, the first that holds all its colours; the first area
// none holds, or nothing when every area is held.
std::optional<size_t> Assign(const std::vector<Colours>& areas,
                             const std::vector<Colours>& palettes,
                             std::vector<uint8_t>& paletteOfArea) {
    paletteOfArea.assign(areas.size(), 0);
    for (size_t a = 0; a < areas.size(); ++a) {
        size_t p = 0;
        while (p < palettes.size() && Missing(areas[a], palettes[p]) > 0)
            ++p;
        if (p == palettes.size() && !areas[a].empty())
            return a;
        paletteOfArea[a] = uint8_t(p == palettes.size() ? 0 : p);
    }
    return std::nullopt;
}

} // namespace

SubPalettePacker::SubPalettePacker(int palettes, int colours)
    : m_palettes(std::clamp(palettes, 1, 256)), m_colours(std::clamp(colours, 2, 256)) {}

void SubPalettePacker::SetArea(int across, int down) {
    m_areaAcross = std::max(1, across);
    m_areaDown = std::max(1, down);
}

Status SubPalettePacker::Pack(const std::vector<std::vector<uint32_t>>& tileColours,
                              int32_t tilesAcross, int32_t tileWidth, int32_t tileHeight,
                              uint32_t sharedColour, SubPalettes& out) const {
    if (tilesAcross <= 0 || tileColours.size() % size_t(tilesAcross) != 0)
        return Status::Fail("타일의 수가 그림의 가로 타일 수의 배수가 아닙니다.");
    const int32_t tilesDown = int32_t(tileColours.size() / size_t(tilesAcross));
    const int32_t areasAcross = (tilesAcross + m_areaAcross - 1) / m_areaAcross;
    const int32_t areasDown = (tilesDown + m_areaDown - 1) / m_areaDown;
    const size_t room = size_t(m_colours - 1);

    // Each area's colours, without colour 0.
    std::vector<Colours> areas(size_t(areasAcross) * size_t(areasDown));
    for (size_t t = 0; t < tileColours.size(); ++t) {
        const int32_t x = int32_t(t % size_t(tilesAcross)), y = int32_t(t / size_t(tilesAcross));
        Colours& area =
            areas[size_t(y / m_areaDown) * size_t(areasAcross) + size_t(x / m_areaAcross)];
        for (uint32_t c : tileColours[t])
            if (c != sharedColour)
                area.push_back(c);
    }
    for (Colours& area : areas) {
        std::sort(area.begin(), area.end());
        area.erase(std::unique(area.begin(), area.end()), area.end());
    }
    const std::string size = std::to_string(m_palettes) + "개 × 색 " + std::to_string(m_colours);
    auto where = [&](size_t a) {
        const int32_t x = int32_t(a % size_t(areasAcross)) * m_areaAcross * tileWidth;
        const int32_t y = int32_t(a / size_t(areasAcross)) * m_areaDown * tileHeight;
        std::string s = "그림의 (" + std::to_string(x) + ", " + std::to_string(y) + ") 위치의 ";
        if (m_areaAcross * m_areaDown > 1)
            s += std::to_string(m_areaAcross * tileWidth) + "×" +
                 std::to_string(m_areaDown * tileHeight) + " 영역";
        else
            s += "타일";
        return s;
    };
    for (size_t a = 0; a < areas.size(); ++a)
        if (areas[a].size() > room)
            return Status::Fail(where(a) + "은 0번 색 말고도 색이 " +
                                std::to_string(areas[a].size()) + "개여서 팔레트 " + size +
                                "개에 넣을 수 없습니다.");

    // Each different set once, in reading order of first use, the largest first.
    std::map<Colours, size_t> firstOf;
    for (size_t a = 0; a < areas.size(); ++a)
        firstOf.emplace(areas[a], a);
    std::vector<std::pair<size_t, const Colours*>> byFirst;
    for (const auto& [set, first] : firstOf)
        byFirst.emplace_back(first, &set);
    std::sort(byFirst.begin(), byFirst.end());
    std::vector<const Colours*> sets;
    for (const auto& b : byFirst)
        sets.push_back(b.second);
    sets = LargestFirst(sets);

    // First the sets grouped by the colours they share; too many groups are
    // then packed together, the largest first.
    const size_t limit = size_t(m_palettes);
    std::vector<Colours> palettes = Fill(sets, areas.size(), room, false);
    if (palettes.size() > limit) {
        std::vector<const Colours*> groups;
        for (const Colours& p : palettes)
            groups.push_back(&p);
        palettes = Fill(LargestFirst(groups), limit, room, true);
    }
    std::vector<uint8_t> paletteOfArea;
    if (const std::optional<size_t> lost = Assign(areas, palettes, paletteOfArea))
        return Status::Fail(where(*lost) + "의 색을 팔레트 " + size +
                            "개 안에 나누어 넣을 수 없습니다.");

    SubPalettes result;
    for (const Colours& p : palettes) {
        result.palettes.push_back({sharedColour});
        result.palettes.back().insert(result.palettes.back().end(), p.begin(), p.end());
    }
    if (result.palettes.empty())
        result.palettes.push_back({sharedColour});
    result.paletteOfTile.resize(tileColours.size());
    for (size_t t = 0; t < tileColours.size(); ++t) {
        const int32_t x = int32_t(t % size_t(tilesAcross)), y = int32_t(t / size_t(tilesAcross));
        result.paletteOfTile[t] =
            paletteOfArea[size_t(y / m_areaDown) * size_t(areasAcross) + size_t(x / m_areaAcross)];
    }
    out = std::move(result);
    return Status::Ok();
}

} // namespace kesh
