#include "terrain/TerrainGaps.h"

#include <unordered_set>

#include "terrain/TerrainResolver.h"
#include "terrain/TerrainTemplate.h"

namespace kesh {

namespace {

// `label` of the two-terrain template with 0 read as `low`, 1 as `high`.
TerrainLabel Recoloured(TerrainKind kind, TerrainLabel label, int low, int high) {
    TerrainLabel out = 0;
    for (int pos = 0; pos < LabelPositions(kind); ++pos)
        out = WithTerrain(out, pos, TerrainAt(label, pos) ? high : low);
    return out;
}

} // namespace

std::vector<TerrainGap> TerrainGaps(const TerrainSet& set, uint16_t flipMask) {
    std::vector<TerrainGap> gaps;
    if (set.empty())
        return gaps;
    const TerrainResolver resolver(set, flipMask);
    const std::unordered_set<TerrainLabel> drawn(resolver.labels().begin(),
                                                 resolver.labels().end());
    std::unordered_set<TerrainLabel> listed;
    const auto check = [&](int low, int high, TerrainLabel label) {
        if (!drawn.contains(label) && listed.insert(label).second)
            gaps.push_back({low, high, label});
    };
    const int count = int(set.terrains.size());
    if (count == 1) {
        check(0, 0, UniformLabel(set.kind, 0));
        return gaps;
    }
    const TemplateLayout layout = LayoutOf(
        set.kind == TerrainKind::Corner ? TerrainTemplate::Corner16 : TerrainTemplate::Blob47);
    for (int low = 0; low < count; ++low)
        for (int high = low + 1; high < count; ++high)
            for (TerrainLabel label : layout.labels)
                check(low, high, Recoloured(set.kind, label, low, high));
    return gaps;
}

int SampleTile(const TerrainSet& set, int terrain) {
    const TerrainLabel plain = UniformLabel(set.kind, terrain);
    for (const TerrainTile& t : set.tiles)
        if (t.label == plain)
            return t.tile;
    return -1;
}

} // namespace kesh
