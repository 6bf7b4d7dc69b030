// The image subcommands: import-image and export-png.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliJson.h"
#include "CliMapLayout.h"
#include "CliMessages.h"
#include "base/Messages.h"
#include "image/ImageSource.h"
#include "image/ImportImage.h"
#include "io/InputLimits.h"
#include "layout/Descriptor.h"
#include "map/MapFile.h"
#include "map/MapPngExport.h"
#include "raster/PngWriter.h"
#include "tileset/TileSetFile.h"
#include "tileset/TileSheetExport.h"

namespace kesh::cli {

namespace {

constexpr int32_t kDefaultTileSide = 32;
constexpr int32_t kMaxTileSide = 4096;

// "WxH" with both sides 1 to kMaxTileSide.
bool ParseTileSize(const std::string& text, int32_t& width, int32_t& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    auto number = [](std::string_view s, int32_t& v) {
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && end == s.data() + s.size() && v >= 1 && v <= kMaxTileSide;
    };
    const std::string_view all(text);
    return number(all.substr(0, x), width) && number(all.substr(x + 1), height);
}

// "--palettes PxK" into `options`: P palettes of K colours, per tile. The
// platform presets fill the same options.
int ReadSubPalettes(CliContext& ctx, const ParsedArgs& parsed, bool makeMap,
                    SubPaletteOptions& options) {
    const auto given = parsed.value("--palettes");
    if (!given)
        return kExitOk;
    const size_t x = given->find_first_of("xX");
    auto number = [](std::string_view s, int& v) {
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && end == s.data() + s.size();
    };
    const std::string_view all(*given);
    if (x == std::string::npos || !number(all.substr(0, x), options.palettes) ||
        !number(all.substr(x + 1), options.colours) || !CheckSubPaletteOptions(options, false))
        return ctx.Usage(text::kBadPalettes);
    if (Status st = CheckSubPaletteOptions(options, makeMap); !st)
        return ctx.Usage(st.message());
    for (const char* other : {"--palette", "--nearest"})
        if (parsed.has(other))
            return ctx.Usage(text::kPalettesAlone);
    return kExitOk;
}

// The palettes used, each a list of "#RRGGBB".
void WritePalettes(JsonObject& json, const SubPalettes& found) {
    std::ostream& out = json.key("palettes");
    out << '[';
    for (size_t p = 0; p < found.palettes.size(); ++p) {
        out << (p ? ", [" : "[");
        for (size_t i = 0; i < found.palettes[p].size(); ++i) {
            char colour[16];
            std::snprintf(colour, sizeof colour, "\"#%06X\"", unsigned(found.palettes[p][i]));
            out << (i ? ", " : "") << colour;
        }
        out << ']';
    }
    out << ']';
}

Status Naming(const Status& st, const std::string& path) {
    return Status::Fail(st.message() + "\n" + path);
}

// The set's .til and .ktf and, when given, the map's .map and .kmf, written
// all together or not at all.
Status SaveImported(CliContext& ctx, const std::string& setPath, const TileSet& set,
                    const std::string* mapPath, const MapModel& map) {
    std::vector<FileContents> files;
    const std::string ktfPath = DescriptorPath(setPath, kTileDescriptorExt);
    if (ktfPath == setPath)
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + setPath);
    // A pixel the layout's encoding cannot hold is named, not taken for no tiles.
    if (Status st = set.CheckEncodings(); !st)
        return st;
    ByteWriter til;
    if (!set.WriteTileFile(til))
        return Status::Fail(msg::kNoTilesToSave);
    files.push_back({setPath, til.take()});
    files.push_back({ktfPath, BuildKtf(set.format())});
    if (mapPath) {
        const std::string kmfPath = DescriptorPath(*mapPath, kMapDescriptorExt);
        if (kmfPath == *mapPath)
            return Status::Fail(std::string(msg::kSaveFailed) + "\n" + *mapPath);
        ByteWriter out;
        if (Status st = WriteMapFile(map, set, out); !st)
            return st;
        files.push_back({*mapPath, out.take()});
        files.push_back({kmfPath, BuildKmf(map.format(), set.format())});
    }
    return SaveFiles(ctx.fs, files);
}

} // namespace

int ReadQuantize(CliContext& ctx, const ParsedArgs& parsed, const std::vector<std::string>& others,
                 bool& quantize, QuantizeOptions& options) {
    quantize = parsed.has("--quantize");
    options.dither = parsed.has("--dither");
    if (!quantize)
        return options.dither ? ctx.Usage(text::kDitherNeedsQuantize) : kExitOk;
    const std::string count = *parsed.value("--quantize");
    if (!ParseColourCount(count, options.colours))
        return ctx.Usage(text::kBadColourCount + count);
    for (const std::string& other : others)
        if (parsed.has(other))
            return ctx.Usage(text::kQuantizeAlone);
    return kExitOk;
}

void WriteQuantized(JsonObject& json, const QuantizeReport& report) {
    json.number("colours", report.colours);
    json.key("exactColours") << (report.exact ? "true" : "false");
    const double mse = report.pixels > 0 ? report.squaredError / (3.0 * double(report.pixels)) : 0;
    char number[32];
    std::snprintf(number, sizeof number, "%.4f", mse);
    json.key("mse") << number;
    const double psnr = report.Psnr();
    std::snprintf(number, sizeof number, "%.2f", psnr);
    json.key("psnr") << (std::isinf(psnr) ? "null" : number);
}

int RunImportImage(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    MapLayoutOptions mapLayout; // --map-items, --preset
    if (!ReadArgsWithMapLayout(ctx, args,
                               {{"--tile-size", true},
                                {"--palette", false},
                                {"--nearest", false},
                                {"--quantize", false, true},
                                {"--dither", false},
                                {"--pad", false},
                                {"--map", true},
                                {"--flips", false},
                                {"--palettes", true}},
                               parsed, mapLayout))
        return kExitUsage;
    ImportOptions options;
    if (const int exit = ReadQuantize(ctx, parsed, {"--palette", "--nearest"}, options.quantize,
                                      options.quantizeOptions);
        exit != kExitOk)
        return exit;
    const std::string& imagePath = parsed.positionals[0];
    const std::string& setPath = parsed.positionals[1];
    if (DataKindOf(setPath) != DataKind::TileSet)
        return ctx.Usage(text::kNotTileFile + setPath);
    const auto mapPath = parsed.value("--map");
    if (mapPath && DataKindOf(*mapPath) != DataKind::Map)
        return ctx.Usage(text::kNotMapFile + *mapPath);
    // The map's layout is checked before anything is read or written.
    MapFormat format;
    format.items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    const auto& platform = mapLayout.platform();
    if (mapLayout.given() && !mapPath && !platform)
        return ctx.Usage(text::kMapLayoutWithoutMap);
    if (Status st = mapLayout.Apply(format, MapModel()); !st)
        return ctx.Usage(st.message());
    // Mirror images need a map whose cells hold both flips.
    const bool flips = parsed.has("--flips");
    if (flips && (!mapPath || (format.AttrMask() & cellbit::kFlips) != cellbit::kFlips))
        return ctx.Usage(text::kFlipsNeedFields);
    SubPaletteOptions& sub = options.subPalettes;
    if (const int exit = ReadSubPalettes(ctx, parsed, mapPath.has_value(), sub); exit != kExitOk)
        return exit;
    if (sub.on() && mapPath) {
        if ((format.AttrMask() & cellbit::kPaletteMask) == 0)
            return ctx.Usage(text::kPalettesNeedField);
        if (Status st = CheckSubPaletteMap(format, sub); !st)
            return ctx.Usage(st.message());
        format.cells.coloursPerPalette = uint16_t(sub.colours);
    }
    int32_t width = kDefaultTileSide;
    int32_t height = kDefaultTileSide;
    const auto sizeText = parsed.value("--tile-size");
    if (sizeText && !ParseTileSize(*sizeText, width, height))
        return ctx.Usage(text::kBadTileSize);
    if (platform) {
        TileFormat asked;
        asked.width = width;
        asked.height = height;
        if (Status st = ApplyPlatformTiles(*platform, *parsed.value("--preset"), asked);
            sizeText && !st)
            return ctx.Usage(st.message());
        width = height = 8;
    }

    TileSet set;
    if (ctx.fs.exists(setPath)) {
        if (Status st = LoadTileSet(ctx, setPath, set); !st)
            return ctx.Refuse(st);
        if (sizeText && (set.tileWidth() != width || set.tileHeight() != height))
            return ctx.Refuse(Naming(Status::Fail(std::string(msg::kTileSizeMismatch) + "\n" +
                                                  text::kSetTileSize +
                                                  SizeText(set.tileWidth(), set.tileHeight()) +
                                                  text::kAskedTileSize + SizeText(width, height)),
                                     setPath));
    } else {
        set.format() = TileFormat::Default();
        set.format().width = width;
        set.format().height = height;
        set.InitTileSet();
    }
    if (platform) {
        if (Status st = ApplyPlatformTiles(*platform, *parsed.value("--preset"), set.format()); !st)
            return ctx.Refuse(Naming(st, setPath));
        const TileItemParams& p = platform->tile.params;
        sub.palettes = p.paletteCount;
        sub.colours = p.coloursPerPalette;
        sub.area = platform->areaTiles;
    }

    // The colours are kept as the set's Palette item stores them.
    const auto& items = set.format().items;
    if (std::find(items.begin(), items.end(), TileItem::Palette) != items.end())
        sub.encoding = set.format().params.colours;

    const auto bytes = ctx.fs.readFile(imagePath, kMaxImageFileBytes);
    if (!bytes)
        return ctx.Refuse(bytes.status());
    ImageSource image;
    if (Status st = image.Open(*bytes); !st)
        return ctx.Refuse(Naming(st, imagePath));
    options.takePalette = parsed.has("--palette");
    options.nearest = parsed.has("--nearest");
    options.pad = parsed.has("--pad");
    options.makeMap = mapPath.has_value();
    options.flips = flips;
    ImportResult result = ImportImage(set, image, options);
    if (!result.status)
        return ctx.Refuse(Naming(result.status, imagePath));
    if (result.setFull)
        ctx.services.ShowMessage(msg::kTileSetFull);

    MapModel map;
    if (mapPath) {
        format.width = result.mapWidth;
        format.height = result.mapHeight;
        if (Status st = map.ReplaceGrid(std::move(format), std::move(result.cells),
                                        std::move(result.attrs));
            !st)
            return ctx.Refuse(st);
    }
    if (Status st = SaveImported(ctx, setPath, set, mapPath ? &*mapPath : nullptr, map); !st)
        return ctx.Refuse(st);

    JsonObject json(ctx.out);
    json.number("tiles", result.tiles);
    json.number("added", result.added);
    json.number("duplicates", result.tiles - result.added);
    json.number("changedPixels", result.changedPixels);
    if (options.quantize)
        WriteQuantized(json, result.quantized);
    if (mapPath) {
        json.number("mapWidth", result.mapWidth);
        json.number("mapHeight", result.mapHeight);
    }
    if (flips)
        json.number("flippedCells", result.flippedCells);
    if (sub.on())
        WritePalettes(json, result.subPalettes);
    return kExitOk;
}

int RunExportPng(CliContext& ctx, const std::vector<std::string>& args) {
    return RunImageExport(ctx, args, ExportMapPng, SaveTileSheetPng);
}

} // namespace kesh::cli
