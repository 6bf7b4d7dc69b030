#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "terrain/TerrainSet.h"

// Terrain sets of two terrains ("물" 0 below, "풀" 1 above) written out by
// hand from what the tiles show, for the terrain tests.
namespace terrainsets {

// A label from its terrains, position 0 first.
inline kesh::TerrainLabel Label(std::initializer_list<int> terrains) {
    kesh::TerrainLabel label = 0;
    int pos = 0;
    for (int t : terrains)
        label = kesh::WithTerrain(label, pos++, t);
    return label;
}

// Corner set: tile i has 풀 at the corners whose bit is set in i (bit 0 NW,
// 1 NE, 2 SE, 3 SW): every one of the 16 combinations once.
inline kesh::TerrainSet CornerSet16() {
    kesh::TerrainSet set;
    set.kind = kesh::TerrainKind::Corner;
    set.terrains = {"물", "풀"};
    for (int i = 0; i < 16; ++i)
        set.tiles.push_back(
            {uint16_t(i), Label({i & 1, (i >> 1) & 1, (i >> 2) & 1, (i >> 3) & 1})});
    return set;
}

// The 47 labels of a 풀 cell over 물: any edges (bit 0 N, 1 E, 2 S, 3 W, set
// where the neighbour is 풀 too); a corner may be 풀 only while both edges
// beside it are. In the order of the edge bits, then the corner bits (NE,
// SE, SW, NW).
inline std::vector<kesh::TerrainLabel> BlobLabels47() {
    std::vector<kesh::TerrainLabel> labels;
    for (int edges = 0; edges < 16; ++edges)
        for (int corners = 0; corners < 16; ++corners) {
            const int n = edges & 1, e = (edges >> 1) & 1, s = (edges >> 2) & 1,
                      w = (edges >> 3) & 1;
            const int ne = corners & 1, se = (corners >> 1) & 1, sw = (corners >> 2) & 1,
                      nw = (corners >> 3) & 1;
            if ((ne && !(n && e)) || (se && !(e && s)) || (sw && !(s && w)) || (nw && !(w && n)))
                continue;
            labels.push_back(Label({n, ne, e, se, s, sw, w, nw, 1}));
        }
    return labels;
}

// Blob set: tile 0 is plain 물, tiles 1..47 the labels of BlobLabels47.
inline kesh::TerrainSet BlobSet48() {
    kesh::TerrainSet set;
    set.kind = kesh::TerrainKind::Blob;
    set.terrains = {"물", "풀"};
    set.tiles.push_back({0, kesh::UniformLabel(kesh::TerrainKind::Blob, 0)});
    uint16_t tile = 1;
    for (kesh::TerrainLabel label : BlobLabels47())
        set.tiles.push_back({tile++, label});
    return set;
}

} // namespace terrainsets
