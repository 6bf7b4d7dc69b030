// kesh-cli terrain: a mask picture painted into a map with a terrain set.
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliJson.h"
#include "CliMessages.h"
#include "io/InputLimits.h"
#include "map/MapFile.h"
#include "terrain/TerrainFile.h"
#include "terrain/TerrainLayer.h"
#include "terrain/TerrainMask.h"
#include "terrain/TerrainMessages.h"

namespace kesh::cli {

namespace {

// Takes every "--terrain NAME" (or "--terrain=NAME") out of `args`, which
// may be given any number of times, in order; false when one lacks its name.
bool TakeTerrainNames(std::vector<std::string>& args, std::vector<std::string>& names) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--")
            break;
        if (args[i] == "--terrain") {
            if (i + 1 >= args.size())
                return false;
            names.push_back(args[++i]);
        } else if (args[i].starts_with("--terrain=")) {
            names.push_back(args[i].substr(10));
        } else {
            rest.push_back(args[i]);
        }
    }
    args = std::move(rest);
    return true;
}

} // namespace

int RunTerrain(CliContext& ctx, const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    std::vector<std::string> names;
    if (!TakeTerrainNames(args, names))
        return ctx.Usage(text::kMissingValue + std::string("--terrain"));
    ParsedArgs parsed;
    if (!ctx.ReadArgs(args, {{"--set", true}, {"--mask", true}}, PlainArgs::Exactly(1), parsed))
        return kExitUsage;
    const std::string& path = parsed.positionals[0];
    const auto setPath = parsed.value("--set");
    const auto maskPath = parsed.value("--mask");
    if (!setPath || !maskPath)
        return ctx.Usage(text::kTerrainNeedsSetAndMask);
    if (DataKindOf(path) != DataKind::Map)
        return ctx.Usage(text::kNotMapFile + path);

    TerrainSet set;
    bool missing = false;
    if (Status st = LoadTerrainFile(ctx.fs, *setPath, set, missing); !st)
        return ctx.Refuse(st);
    std::vector<int> order;
    for (const std::string& name : names) {
        const int terrain = set.Find(name);
        if (terrain < 0)
            return ctx.Usage(text::kUnknownTerrain + name);
        order.push_back(terrain);
    }
    MapModel map;
    TileSet tiles;
    if (Status st = LoadMap(ctx, path, map, tiles); !st)
        return ctx.Refuse(st);

    std::vector<uint8_t> values;
    std::vector<int64_t> counts;
    {
        Image mask;
        const auto bytes = ctx.fs.readFile(*maskPath, kMaxImageFileBytes);
        if (!bytes)
            return ctx.Refuse(bytes.status());
        if (Status st = ReadImage(*bytes, mask); !st)
            return ctx.Refuse(Status::Fail(st.message() + "\n" + *maskPath));
        const int32_t extra = set.kind == TerrainKind::Corner ? 1 : 0;
        if (mask.m_width != map.width() + extra || mask.m_height != map.height() + extra)
            return ctx.Refuse(Status::Fail(
                std::string(terrainmsg::kMaskSize) + "\n" + SizeText(mask.m_width, mask.m_height) +
                " / " + SizeText(map.width() + extra, map.height() + extra)));
        if (Status st = MaskValues(mask, order, int(set.terrains.size()), values, counts); !st)
            return ctx.Refuse(Status::Fail(st.message() + "\n" + *maskPath));
    }
    TerrainLayer layer;
    if (Status st = layer.Attach(set, map, std::move(values)); !st)
        return ctx.Refuse(st);
    const uint64_t unmatched = layer.ChooseAll(map);
    // The set goes beside the map, so that the editor finds it with the map.
    const std::string besidePath = TerrainPathFor(path);
    if (Status st = SaveMapFiles(ctx.fs, path, map, tiles, {TerrainFileSource(besidePath, set)});
        !st)
        return ctx.Refuse(st);

    JsonObject json(ctx.out);
    json.string("map", path);
    json.string("set", besidePath);
    json.string("kind", set.kind == TerrainKind::Corner ? "corner" : "blob");
    json.number("width", map.width());
    json.number("height", map.height());
    std::ostream& out = json.key("terrains");
    out << '{';
    for (size_t i = 0; i < set.terrains.size(); ++i) {
        out << (i ? ", " : "");
        WriteJsonString(out, set.terrains[i]);
        out << ": " << counts[i];
    }
    out << '}';
    json.number("cells", int64_t(map.cellCount()));
    json.number("unmatched", int64_t(unmatched));
    return kExitOk;
}

} // namespace kesh::cli
