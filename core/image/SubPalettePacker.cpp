#include "image/SubPalettePacker.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>

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
size_t Missing(std::span<const uint32_t> set, const Colours& palette) {
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

// Each set's palette, the first that holds all its colours, or `none`.
std::vector<uint32_t> Assign(const std::vector<Colours>& sets, const std::vector<Colours>& palettes,
                             uint32_t none) {
    std::vector<uint32_t> paletteOf(sets.size(), none);
    for (size_t u = 0; u < sets.size(); ++u) {
        if (sets[u].empty()) {
            paletteOf[u] = 0;
            continue;
        }
        for (size_t p = 0; p < palettes.size() && paletteOf[u] == none; ++p)
            if (Missing(sets[u], palettes[p]) == 0)
                paletteOf[u] = uint32_t(p);
    }
    return paletteOf;
}

// Sorted colour sets as keys of a hash map, to find equal sets.
struct SetHash {
    size_t operator()(std::span<const uint32_t> set) const {
        uint64_t h = 1469598103934665603ULL ^ set.size();
        for (uint32_t c : set)
            h = (h ^ c) * 1099511628211ULL;
        return size_t(h);
    }
};
struct SetEqual {
    bool operator()(std::span<const uint32_t> a, std::span<const uint32_t> b) const {
        return std::ranges::equal(a, b);
    }
};

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
    const std::vector<std::span<const uint32_t>> spans(tileColours.begin(), tileColours.end());
    return Pack(std::span<const std::span<const uint32_t>>(spans), tilesAcross, tileWidth,
                tileHeight, sharedColour, out);
}

Status SubPalettePacker::Pack(std::span<const std::span<const uint32_t>> tileColours,
                              int32_t tilesAcross, int32_t tileWidth, int32_t tileHeight,
                              uint32_t sharedColour, SubPalettes& out) const {
    std::vector<uint32_t> groupOfTile(tileColours.size());
    for (size_t t = 0; t < groupOfTile.size(); ++t)
        groupOfTile[t] = uint32_t(t);
    return Pack(tileColours, groupOfTile, tilesAcross, tileWidth, tileHeight, sharedColour, out);
}

Status SubPalettePacker::Pack(std::span<const std::span<const uint32_t>> groupColours,
                              std::span<const uint32_t> groupOfTile, int32_t tilesAcross,
                              int32_t tileWidth, int32_t tileHeight, uint32_t sharedColour,
                              SubPalettes& out) const {
    if (tilesAcross <= 0 || groupOfTile.size() % size_t(tilesAcross) != 0)
        return Status::Fail("타일의 수가 그림의 가로 타일 수의 배수가 아닙니다.");
    const int32_t tilesDown = int32_t(groupOfTile.size() / size_t(tilesAcross));
    const int32_t areasAcross = (tilesAcross + m_areaAcross - 1) / m_areaAcross;
    const int32_t areasDown = (tilesDown + m_areaDown - 1) / m_areaDown;
    const size_t room = size_t(m_colours - 1);

    // Each different set of colours (without colour 0, sorted) once in
    // `sets`, `setOf` giving an area's. An area of one tile takes its
    // group's set, sorted the first time the group is met.
    const size_t areaCount = size_t(areasAcross) * size_t(areasDown);
    const bool single = m_areaAcross * m_areaDown == 1;
    constexpr uint32_t unset = UINT32_MAX;
    std::vector<uint32_t> setOfGroup(single ? groupColours.size() : 0, unset);
    std::vector<uint32_t> setOf(areaCount);
    std::vector<Colours> sets;
    // Keys point into `sets`, whose vectors keep their storage as `sets` grows.
    std::unordered_map<std::span<const uint32_t>, uint32_t, SetHash, SetEqual> setIndex;
    std::vector<uint32_t> scratch;
    for (size_t a = 0; a < areaCount; ++a) {
        const int32_t x0 = int32_t(a % size_t(areasAcross)) * m_areaAcross;
        const int32_t y0 = int32_t(a / size_t(areasAcross)) * m_areaDown;
        uint32_t* known = nullptr;
        if (single) {
            known = &setOfGroup[groupOfTile[size_t(y0) * size_t(tilesAcross) + size_t(x0)]];
            if (*known != unset) {
                setOf[a] = *known;
                continue;
            }
        }
        scratch.clear();
        for (int32_t y = y0; y < std::min(y0 + m_areaDown, tilesDown); ++y)
            for (int32_t x = x0; x < std::min(x0 + m_areaAcross, tilesAcross); ++x)
                for (uint32_t c :
                     groupColours[groupOfTile[size_t(y) * size_t(tilesAcross) + size_t(x)]])
                    if (c != sharedColour)
                        scratch.push_back(c);
        std::sort(scratch.begin(), scratch.end());
        scratch.erase(std::unique(scratch.begin(), scratch.end()), scratch.end());
        if (const auto found = setIndex.find(scratch); found != setIndex.end()) {
            setOf[a] = found->second;
        } else {
            setOf[a] = uint32_t(sets.size());
            sets.push_back(scratch);
            setIndex.emplace(std::span<const uint32_t>(sets.back()), setOf[a]);
        }
        if (known)
            *known = setOf[a];
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
    for (size_t a = 0; a < areaCount; ++a)
        if (sets[setOf[a]].size() > room)
            return Status::Fail(where(a) + "은 0번 색 말고도 색이 " +
                                std::to_string(sets[setOf[a]].size()) + "개여서 팔레트 " + size +
                                "개에 넣을 수 없습니다.");

    // The sets in order of first use (as they were found), the largest first.
    std::vector<const Colours*> order;
    for (const Colours& set : sets)
        order.push_back(&set);
    order = LargestFirst(order);

    // First the sets grouped by the colours they share; too many groups are
    // then packed together, the largest first.
    const size_t limit = size_t(m_palettes);
    std::vector<Colours> palettes = Fill(order, sets.size(), room, false);
    if (palettes.size() > limit) {
        std::vector<const Colours*> groups;
        for (const Colours& p : palettes)
            groups.push_back(&p);
        palettes = Fill(LargestFirst(groups), limit, room, true);
    }
    constexpr uint32_t none = UINT32_MAX;
    const std::vector<uint32_t> paletteOfSet = Assign(sets, palettes, none);
    for (size_t a = 0; a < areaCount; ++a)
        if (paletteOfSet[setOf[a]] == none)
            return Status::Fail(where(a) + "의 색을 팔레트 " + size +
                                "개 안에 나누어 넣을 수 없습니다.");

    SubPalettes result;
    for (const Colours& p : palettes) {
        result.palettes.push_back({sharedColour});
        result.palettes.back().insert(result.palettes.back().end(), p.begin(), p.end());
    }
    if (result.palettes.empty())
        result.palettes.push_back({sharedColour});
    result.paletteOfTile.resize(groupOfTile.size());
    for (size_t t = 0; t < groupOfTile.size(); ++t) {
        const int32_t x = int32_t(t % size_t(tilesAcross)), y = int32_t(t / size_t(tilesAcross));
        result.paletteOfTile[t] =
            uint8_t(paletteOfSet[setOf[size_t(y / m_areaDown) * size_t(areasAcross) +
                                       size_t(x / m_areaAcross)]]);
    }
    out = std::move(result);
    return Status::Ok();
}

} // namespace kesh
