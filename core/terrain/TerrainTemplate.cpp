#include "terrain/TerrainTemplate.h"

#include <algorithm>

#include "terrain/TerrainMessages.h"

namespace kesh {

TemplateLayout LayoutOf(TerrainTemplate sheet) {
    TemplateLayout layout;
    if (sheet == TerrainTemplate::Corner16) {
        layout = {TerrainKind::Corner, 4, 4, {}};
        for (int i = 0; i < 16; ++i) {
            TerrainLabel label = 0;
            for (int pos = 0; pos < 4; ++pos)
                label = WithTerrain(label, pos, (i >> pos) & 1);
            layout.labels.push_back(label);
        }
        return layout;
    }
    layout = {TerrainKind::Blob, 8, 6, {UniformLabel(TerrainKind::Blob, 0)}};
    for (int edges = 0; edges < 16; ++edges)
        for (int corners = 0; corners < 16; ++corners) {
            // Edge e (N, E, S, W) sits at label position 2e, the corner after
            // it (NE, SE, SW, NW) at 2e + 1, between edges e and e + 1.
            TerrainLabel label = WithTerrain(0, terrainpos::kBlobMiddle, 1);
            bool clear = true;
            for (int e = 0; e < 4; ++e) {
                const bool edge = (edges >> e) & 1, next = (edges >> ((e + 1) % 4)) & 1;
                const bool corner = (corners >> e) & 1;
                if (corner && !(edge && next))
                    clear = false;
                label = WithTerrain(label, 2 * e, edge);
                label = WithTerrain(label, 2 * e + 1, corner);
            }
            if (clear)
                layout.labels.push_back(label);
        }
    return layout;
}

MakeTerrainResult MakeTerrain(TileSet& tiles, const Image& sheet, TerrainTemplate which,
                              std::vector<std::string> names, ImportOptions options) {
    MakeTerrainResult result;
    const TemplateLayout layout = LayoutOf(which);
    if (sheet.m_width != layout.columns * tiles.tileWidth() ||
        sheet.m_height != layout.rows * tiles.tileHeight()) {
        result.status = Status::Fail(terrainmsg::kTemplateSize);
        return result;
    }
    names.resize(2);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].empty())
            names[i] = "지형 " + std::to_string(i + 1);
    options.makeMap = true;
    options.pad = false;
    ImportResult cut = ImportImage(tiles, sheet, options);
    if (!cut.status) {
        result.status = cut.status;
        return result;
    }
    result.added = cut.added;
    result.set.kind = layout.kind;
    result.set.terrains = std::move(names);
    for (size_t i = 0; i < layout.labels.size() && i < cut.cells.size(); ++i) {
        const uint16_t flips = cut.attrs.empty() ? 0 : cut.attrs[i];
        // The stored tile shows the slot's label mirrored back.
        const TerrainTile tile{cut.cells[i], FlipLabel(layout.kind, layout.labels[i], flips)};
        if (std::find(result.set.tiles.begin(), result.set.tiles.end(), tile) ==
            result.set.tiles.end())
            result.set.tiles.push_back(tile);
    }
    return result;
}

} // namespace kesh
