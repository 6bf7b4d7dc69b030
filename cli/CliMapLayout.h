#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "base/Status.h"
#include "layout/MapFormat.h"
#include "layout/PlatformPresets.h"
#include "map/MapModel.h"

namespace kesh::cli {

// The map layout asked for with --map-items and --preset (convert and
// import-image). --map-items lists items by name; an item with fields is
// written with them, "CellsWord16LE[tile:0-9,hflip:10]" or
// "Attributes8[palette:0-2]", and a bare "CellFields" or "CellAttributes"
// takes the fields of the preset or of the map's layout so far. --preset
// gives the machine's fields and, without --map-items, the items: the size
// item the layout has (SizeWord without one), the preset's cell item or
// items, and TileFile when the layout has it. A platform preset (gb, gbc,
// nes, snes4, gba4, megadrive, sms, pce; layout/PlatformPresets.h) gives its
// map items as they are and, through platform(), the tile layout as well;
// snes and gba stay cell presets only.
class MapLayoutOptions {
public:
    // Without `platforms` (import-tmx, which makes its own tile set) every
    // --preset is a cell preset: gbc, megadrive, sms and pce set the cells only.
    explicit MapLayoutOptions(bool platforms = true) : m_platforms(platforms) {}
    static const std::vector<OptionDef>& Definitions();

    // Reads the two options; false with `error` (Korean) for an unknown item
    // or preset, or fields written wrong.
    bool Parse(const ParsedArgs& args, std::string& error);
    bool given() const { return m_items || m_preset; }
    // The platform preset asked for, if --preset named one.
    const std::optional<PlatformLayouts>& platform() const { return m_platform; }

    // The layout `format` becomes. Fails, naming the field, for fields that
    // overlap, leave their word or break another rule of CheckCellLayout,
    // for an item with fields that has none, and for a cell of `map` whose
    // palette number the new layout cannot hold. Nothing is changed then.
    Status Apply(MapFormat& format, const MapModel& map) const;

private:
    std::optional<std::vector<uint8_t>> m_items;
    std::optional<CellWord> m_word, m_plane; // written in --map-items
    std::optional<CellLayout> m_preset;
    bool m_presetPlane = false;
    std::optional<PlatformLayouts> m_platform;
    bool m_platforms = true;
};

// Puts a platform preset's tile layout (pixels, colours, items) on a tile
// layout whose tiles are 8 x 8, keeping its header and AttrWidth. Fails,
// naming the preset and the size, for tiles of any other size.
Status ApplyPlatformTiles(const PlatformLayouts& platform, const std::string& name,
                          TileFormat& format);

class CliContext;
// Reads `args` for a command taking the options `defs`, the map layout
// options besides, and two plain arguments; the map layout options are
// parsed into `layout`. False (usage told) when they are wrong.
bool ReadArgsWithMapLayout(CliContext& ctx, const std::vector<std::string>& args,
                           std::vector<OptionDef> defs, ParsedArgs& parsed,
                           MapLayoutOptions& layout);

// "SizeWord,CellsWord16LE[tile:0-9,hflip:10],TileFile" split at the commas
// outside brackets.
std::vector<std::string> SplitItemList(const std::string& list);

} // namespace kesh::cli
