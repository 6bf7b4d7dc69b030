#include "CliMapLayout.h"

#include <algorithm>

#include "CliCommands.h"
#include "CliContext.h"
#include "CliMessages.h"

namespace kesh::cli {

namespace {

bool IsSizeItem(uint8_t code) {
    return code <= MapItem::SizeDword;
}

bool Has(const std::vector<uint8_t>& items, uint8_t code) {
    return std::find(items.begin(), items.end(), code) != items.end();
}

// The preset's items around the layout's own size item and tile file.
std::vector<uint8_t> PresetItems(const std::vector<uint8_t>& current, bool plane) {
    const auto size = std::find_if(current.begin(), current.end(), IsSizeItem);
    std::vector<uint8_t> items = {size != current.end() ? *size : uint8_t(MapItem::SizeWord)};
    if (plane)
        items.insert(items.end(), {MapItem::CellsByte, MapItem::CellAttributes});
    else
        items.push_back(MapItem::CellFields);
    if (Has(current, MapItem::TileFile))
        items.push_back(MapItem::TileFile);
    return items;
}

Status CheckPalettes(const MapFormat& format, const MapModel& map) {
    if ((format.AttrMask() & cellbit::kPaletteMask) == 0 || !map.hasAttrs())
        return Status::Ok();
    const int count = format.PaletteCount();
    for (size_t i = 0; i < map.attrs().size(); ++i) {
        const int palette = cellbit::PaletteOf(map.attrs()[i]);
        if (palette >= count) {
            const int32_t w = std::max(map.width(), 1);
            return Status::Fail("필드 palette: 칸 (" + std::to_string(i % size_t(w)) + ", " +
                                std::to_string(i / size_t(w)) + ")의 팔레트 번호 " +
                                std::to_string(palette) + "는 팔레트 수 " + std::to_string(count) +
                                "를 넘습니다.");
        }
    }
    return Status::Ok();
}

} // namespace

std::vector<std::string> SplitItemList(const std::string& list) {
    std::vector<std::string> parts(1);
    int depth = 0;
    for (const char c : list) {
        depth += c == '[' ? 1 : c == ']' ? -1 : 0;
        if (c == ',' && depth <= 0)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

const std::vector<OptionDef>& MapLayoutOptions::Definitions() {
    static const std::vector<OptionDef> defs = {{"--map-items", true}, {"--preset", true}};
    return defs;
}

bool MapLayoutOptions::Parse(const ParsedArgs& args, std::string& error) {
    if (auto name = args.value("--preset")) {
        if (m_platforms)
            m_platform = PlatformPresetLayouts(*name);
        m_preset = m_platform ? std::optional<CellLayout>(m_platform->map.cells)
                              : CellPresetLayout(*name, m_presetPlane);
        if (!m_preset) {
            error = text::kUnknownPreset + *name;
            return false;
        }
    }
    const auto list = args.value("--map-items");
    if (!list)
        return true;
    std::string plain;
    std::vector<uint8_t>& items = m_items.emplace();
    for (const std::string& part : SplitItemList(*list)) {
        if (part.find('[') == std::string::npos) {
            std::vector<uint8_t> one;
            if (!ParseMapItems(part, one, error))
                return false;
            items.insert(items.end(), one.begin(), one.end());
            continue;
        }
        CellWord word;
        bool isPlane = false;
        if (Status st = ParseCellWordText(part.substr(part.find_first_not_of(' ')), word, isPlane);
            !st) {
            error = st.message();
            return false;
        }
        std::optional<CellWord>& slot = isPlane ? m_plane : m_word;
        if (slot && *slot != word) {
            error = text::kTwoFieldWords + part;
            return false;
        }
        slot = word;
        items.push_back(isPlane ? MapItem::CellAttributes : MapItem::CellFields);
    }
    if (items.size() > size_t(kMaxLayoutItems)) {
        error = text::kTooManyItems;
        return false;
    }
    return true;
}

Status MapLayoutOptions::Apply(MapFormat& format, const MapModel& map) const {
    MapFormat next = format;
    if (m_preset) {
        next.cells = *m_preset;
        if (!m_items)
            next.items = m_platform ? m_platform->map.items
                                    : PresetItems(format.items, m_presetPlane);
    }
    if (m_items)
        next.items = *m_items;
    if (m_word)
        next.cells.word = *m_word;
    if (m_plane)
        next.cells.plane = *m_plane;
    for (const uint8_t code : {MapItem::CellFields, MapItem::CellAttributes}) {
        const CellWord& word = code == MapItem::CellFields ? next.cells.word : next.cells.plane;
        if (Has(next.items, code) && word.fields.empty())
            return Status::Fail(text::kItemWithoutFields + std::string(MapItemName(code)));
    }
    if (next.HasFieldItems()) {
        if (Status st = CheckCellLayout(next.cells, next.HasNesAttributes()); !st)
            return st;
        if (Status st = CheckPalettes(next, map); !st)
            return st;
    }
    format = std::move(next);
    return Status::Ok();
}

Status ApplyPlatformTiles(const PlatformLayouts& platform, const std::string& name,
                          TileFormat& format) {
    if (format.width != platform.tile.width || format.height != platform.tile.height)
        return Status::Fail(text::kPresetTileSize + name + " (" + std::to_string(format.width) +
                            " x " + std::to_string(format.height) + ")");
    format.items = platform.tile.items;
    format.params = platform.tile.params;
    return Status::Ok();
}

bool ReadArgsWithMapLayout(CliContext& ctx, const std::vector<std::string>& args,
                           std::vector<OptionDef> defs, ParsedArgs& parsed,
                           MapLayoutOptions& layout) {
    defs.insert(defs.end(), MapLayoutOptions::Definitions().begin(),
                MapLayoutOptions::Definitions().end());
    const auto check = [&](const ParsedArgs& p, std::string& error) {
        return layout.Parse(p, error);
    };
    return ctx.ReadArgs(args, defs, PlainArgs::Exactly(2), parsed, check);
}

} // namespace kesh::cli
