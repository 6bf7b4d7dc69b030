#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliCommands.h"
#include "CliFiles.h"
#include "CliMapLayout.h"
#include "CliMessages.h"
#include "map/MapFile.h"
#include "text/Cp949.h"
#include "tileset/TileSetFile.h"

namespace kesh::cli {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    return std::string(s.substr(b, s.find_last_not_of(" \t") - b + 1));
}

// "SizeWord,CellsWord" -> item codes; an empty list is a layout without items.
bool ParseItems(const std::string& list, int count, const char* (*nameOf)(int),
                std::vector<uint8_t>& items, std::string& error) {
    items.clear();
    if (Trim(list).empty())
        return true;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string name = Trim(std::string_view(list).substr(start, comma - start));
        int code = 0;
        while (code < count && !SameName(nameOf(code), name))
            ++code;
        if (code == count) {
            error = text::kUnknownItem + name;
            return false;
        }
        items.push_back(uint8_t(code));
        start = comma + 1;
    }
    if (items.size() > size_t(kMaxLayoutItems)) {
        error = text::kTooManyItems;
        return false;
    }
    return true;
}

bool ParseHeader(const std::string& utf8, std::string& header, std::string& error) {
    const auto bytes = Utf8ToCp949(utf8);
    if (!bytes) {
        error = text::kHeaderNotCp949;
        return false;
    }
    if (bytes->size() > size_t(kMaxHeaderBytes)) {
        error = text::kHeaderTooLong;
        return false;
    }
    header = *bytes;
    return true;
}

// The layout changes that convert was asked for.
struct LayoutChanges {
    MapLayoutOptions map; // --map-items, --preset
    std::optional<TileFormat> tileItems; // --tile-items: the items and their parameters
    std::optional<AttrWidth> attrWidth;
    std::optional<std::string> mapHeader, tileHeader;

    bool Parse(const ParsedArgs& args, std::string& error) {
        if (!map.Parse(args, error))
            return false;
        if (auto v = args.value("--tile-items")) {
            TileFormat& items = tileItems.emplace();
            for (const std::string& part : SplitItemList(*v)) {
                const size_t start = part.find_first_not_of(' ');
                if (Status st = ParseTileItem(start == std::string::npos ? part : part.substr(start),
                                              items);
                    !st) {
                    error = st.message();
                    return false;
                }
            }
            if (items.items.size() > size_t(kMaxLayoutItems)) {
                error = text::kTooManyItems;
                return false;
            }
        }
        if (auto v = args.value("--attr-width")) {
            if (*v != "1" && *v != "2" && *v != "4") {
                error = text::kBadAttrWidth;
                return false;
            }
            attrWidth = *v == "1" ? 0 : *v == "2" ? 1 : 2;
        }
        if (auto v = args.value("--map-header")) {
            if (!ParseHeader(*v, mapHeader.emplace(), error))
                return false;
        }
        if (auto v = args.value("--tile-header")) {
            if (!ParseHeader(*v, tileHeader.emplace(), error))
                return false;
        }
        return true;
    }

    // Fails (nothing changed) for a platform preset on tiles other than 8 x 8.
    Status Apply(TileFormat& format, const std::string& preset) const {
        TileFormat next = format;
        if (map.platform())
            if (Status st = ApplyPlatformTiles(*map.platform(), preset, next); !st)
                return st;
        if (tileItems) {
            next.items = tileItems->items;
            if (tileItems->HasParamItems())
                next.params = tileItems->params;
        }
        format = std::move(next);
        if (attrWidth)
            format.attrWidth = *attrWidth;
        if (tileHeader)
            format.header = *tileHeader;
        return Status::Ok();
    }
    // Fails (nothing changed) for cell fields the map cannot take.
    Status Apply(MapFormat& format, const MapModel& model) const {
        if (Status st = map.Apply(format, model); !st)
            return st;
        if (mapHeader)
            format.header = *mapHeader;
        return Status::Ok();
    }
};

bool EmbedsTiles(const MapFormat& format) {
    return std::find(format.items.begin(), format.items.end(), uint8_t(MapItem::TileFile)) !=
           format.items.end();
}

// "town.map" -> "town.til": the tile file a map's own tiles are kept in.
std::string TileFileBeside(const std::string& mapPath) {
    return mapPath.substr(0, mapPath.size() - 4) + ".til";
}

} // namespace

bool ParseMapItems(const std::string& list, std::vector<uint8_t>& items, std::string& error) {
    return ParseItems(list, kMapItemCount, MapItemName, items, error);
}

bool ParseTileItems(const std::string& list, std::vector<uint8_t>& items, std::string& error) {
    return ParseItems(list, kTileItemCount, TileItemName, items, error);
}

int RunConvert(CliContext& ctx, const std::vector<std::string>& args) {
    ParsedArgs parsed;
    std::vector<OptionDef> defs = {{"--tile-items", true},
                                   {"--attr-width", true},
                                   {"--map-header", true},
                                   {"--tile-header", true},
                                   {"--drop-tiles", false}};
    defs.insert(defs.end(), MapLayoutOptions::Definitions().begin(),
                MapLayoutOptions::Definitions().end());
    LayoutChanges changes;
    const auto check = [&](const ParsedArgs& p, std::string& error) {
        return changes.Parse(p, error);
    };
    if (!ctx.ReadArgs(args, defs, PlainArgs::Exactly(2), parsed, check))
        return kExitUsage;
    const std::string& in = parsed.positionals[0];
    const std::string& out = parsed.positionals[1];
    const DataKind kind = DataKindOf(in);
    if (kind == DataKind::Other)
        return ctx.Usage(text::kNotDataFile + in);
    const std::string preset = parsed.value("--preset").value_or("");

    TileSet tiles;
    Status st = Status::Ok();
    if (kind == DataKind::TileSet) {
        for (const char* option : {"--map-items", "--map-header", "--preset"})
            if (parsed.has(option) && !(option == std::string("--preset") && changes.map.platform()))
                return ctx.Usage(text::kMapOptionForTiles + std::string(option));
        st = LoadTileSet(ctx, in, tiles);
        if (st)
            st = changes.Apply(tiles.format(), preset);
        if (st)
            st = SaveTileSetFiles(ctx.fs, out, tiles, EmptyTileSet::Refuse);
    } else {
        MapModel map;
        bool embedded = false;
        st = LoadMap(ctx, in, map, tiles);
        if (st) {
            embedded = EmbedsTiles(map.format()) && tiles.count() > 0;
            MapFormat format = map.format();
            if (Status bad = changes.Apply(format, map); !bad)
                return ctx.Usage(bad.message());
            map.format() = std::move(format);
            st = map.MatchAttrs();
        }
        if (st)
            st = changes.Apply(tiles.format(), preset);
        if (st) {
            if (embedded && !EmbedsTiles(map.format())) {
                // Tiles only inside the map would be lost without a word.
                const std::string beside = TileFileBeside(in);
                if (ctx.fs.exists(beside))
                    ctx.err << text::kTilesStayBeside << beside << '\n';
                else if (!parsed.has("--drop-tiles"))
                    return ctx.Refuse(Status::Fail(text::kTilesWouldBeLost));
            }
            st = SaveMapFiles(ctx.fs, out, map, tiles);
        }
    }
    return st ? kExitOk : ctx.Refuse(st);
}

} // namespace kesh::cli
