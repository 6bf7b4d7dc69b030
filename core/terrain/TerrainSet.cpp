#include "terrain/TerrainSet.h"

#include <algorithm>
#include <array>

#include "layout/CellFields.h"
#include "terrain/TerrainMessages.h"

namespace kesh {

namespace {

// Where each position goes under a mirror image.
constexpr std::array<int, 4> kCornerH{1, 0, 3, 2};
constexpr std::array<int, 4> kCornerV{3, 2, 1, 0};
constexpr std::array<int, 9> kBlobH{0, 7, 6, 5, 4, 3, 2, 1, 8};
constexpr std::array<int, 9> kBlobV{4, 3, 2, 1, 0, 7, 6, 5, 8};

template <size_t N>
TerrainLabel Permute(TerrainLabel label, const std::array<int, N>& to) {
    TerrainLabel out = 0;
    for (size_t pos = 0; pos < N; ++pos)
        out = WithTerrain(out, to[pos], TerrainAt(label, int(pos)));
    return out;
}

} // namespace

TerrainLabel UniformLabel(TerrainKind kind, int terrain) {
    TerrainLabel label = 0;
    for (int pos = 0; pos < LabelPositions(kind); ++pos)
        label = WithTerrain(label, pos, terrain);
    return label;
}

TerrainLabel FlipLabel(TerrainKind kind, TerrainLabel label, uint16_t flips) {
    const bool corner = kind == TerrainKind::Corner;
    if (flips & cellbit::kHFlip)
        label = corner ? Permute(label, kCornerH) : Permute(label, kBlobH);
    if (flips & cellbit::kVFlip)
        label = corner ? Permute(label, kCornerV) : Permute(label, kBlobV);
    return label;
}

int LabelDistance(TerrainKind kind, TerrainLabel a, TerrainLabel b) {
    int distance = 0;
    for (int pos = 0; pos < LabelPositions(kind); ++pos)
        if (TerrainAt(a, pos) != TerrainAt(b, pos))
            distance += kind == TerrainKind::Blob && pos == terrainpos::kBlobMiddle ? 8 : 1;
    return distance;
}

int TerrainSet::Find(const std::string& name) const {
    const auto at = std::find(terrains.begin(), terrains.end(), name);
    return at == terrains.end() ? -1 : int(at - terrains.begin());
}

Status TerrainSet::Check() const {
    if (terrains.empty() || terrains.size() > size_t(kMaxTerrains))
        return Status::Fail(terrainmsg::kTerrainCount);
    for (size_t i = 0; i < terrains.size(); ++i) {
        if (terrains[i].empty())
            return Status::Fail(terrainmsg::kEmptyName);
        if (std::find(terrains.begin(), terrains.begin() + ptrdiff_t(i), terrains[i]) !=
            terrains.begin() + ptrdiff_t(i))
            return Status::Fail(std::string(terrainmsg::kRepeatedName) + "\n" + terrains[i]);
    }
    for (const TerrainTile& t : tiles)
        for (int pos = 0; pos < LabelPositions(kind); ++pos)
            if (TerrainAt(t.label, pos) >= int(terrains.size()))
                return Status::Fail(std::string(terrainmsg::kUnknownTerrain) + "\n" +
                                    std::to_string(t.tile));
    return Status::Ok();
}

} // namespace kesh
