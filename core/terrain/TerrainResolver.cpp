#include "terrain/TerrainResolver.h"

#include <climits>

#include "layout/CellFields.h"

namespace kesh {

uint32_t CellHash(int32_t col, int32_t row, uint32_t seed) {
    uint64_t x = (uint64_t(uint32_t(col)) << 32 | uint32_t(row)) ^
                 (uint64_t(seed) * 0x9E3779B97F4A7C15ull);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return uint32_t(x);
}

TerrainResolver::TerrainResolver(const TerrainSet& set, uint16_t flipMask)
    : m_kind(set.kind), m_flipMask(uint16_t(flipMask & cellbit::kFlips)) {
    // Gathered by label first, in the set's order: the tiles as drawn, then
    // their mirror images.
    std::unordered_map<TerrainLabel, std::pair<std::vector<Option>, std::vector<Option>>> byLabel;
    const auto add = [&](TerrainLabel label, Option option, bool plain) {
        auto [at, fresh] = byLabel.try_emplace(label);
        if (fresh)
            m_labels.push_back(label);
        (plain ? at->second.first : at->second.second).push_back(option);
        m_drawn.try_emplace(uint32_t(option.tile) << 2 | option.flips, label);
    };
    for (const TerrainTile& t : set.tiles)
        add(t.label, {t.tile, 0}, true);
    for (uint16_t flips : {cellbit::kHFlip, cellbit::kVFlip, cellbit::kFlips}) {
        if ((flips & m_flipMask) != flips)
            continue;
        for (const TerrainTile& t : set.tiles)
            add(FlipLabel(m_kind, t.label, flips), {t.tile, flips}, false);
    }
    for (TerrainLabel label : m_labels) {
        const auto& [plain, mirrored] = byLabel[label];
        Entry entry{uint32_t(m_options.size()), uint16_t(plain.size()),
                    uint16_t(mirrored.size())};
        m_options.insert(m_options.end(), plain.begin(), plain.end());
        m_options.insert(m_options.end(), mirrored.begin(), mirrored.end());
        m_entries.emplace(label, entry);
    }
}

const TerrainResolver::Entry& TerrainResolver::entryFor(TerrainLabel label, bool& exact) const {
    if (auto at = m_entries.find(label); at != m_entries.end()) {
        exact = true;
        return at->second;
    }
    exact = false;
    auto near = m_nearest.find(label);
    if (near == m_nearest.end()) {
        TerrainLabel best = m_labels.front();
        int bestDistance = INT_MAX;
        for (TerrainLabel have : m_labels)
            if (const int d = LabelDistance(m_kind, label, have); d < bestDistance) {
                bestDistance = d;
                best = have;
            }
        near = m_nearest.emplace(label, best).first;
    }
    return m_entries.find(near->second)->second;
}

TerrainChoice TerrainResolver::Choose(TerrainLabel label, int32_t col, int32_t row,
                                      const TerrainOptions& options) const {
    TerrainChoice choice;
    const Entry& entry = entryFor(label, choice.exact);
    // Mirror images serve as variants only when asked, or when nothing else
    // shows the label.
    uint32_t count = entry.plain;
    if (entry.plain == 0 || (options.randomVariants && options.randomFlips))
        count += entry.mirrored;
    uint32_t pick = 0;
    if (options.randomVariants && count > 1)
        pick = CellHash(col, row, options.seed) % count;
    const Option& option = m_options[entry.first + pick];
    choice.tile = option.tile;
    choice.flips = option.flips;
    return choice;
}

bool TerrainResolver::LabelOf(uint16_t tile, uint16_t flips, TerrainLabel& label) const {
    const auto at = m_drawn.find(uint32_t(tile) << 2 | (flips & m_flipMask));
    if (at == m_drawn.end())
        return false;
    label = at->second;
    return true;
}

} // namespace kesh
