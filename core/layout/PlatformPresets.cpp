#include "layout/PlatformPresets.h"

namespace kesh {

namespace {

struct Platform {
    PlatformPreset preset;
    PixelEncoding pixels;
    ColourEncoding colours;
    uint16_t palettes;    // P
    uint16_t colourCount; // K
    const char* cells;    // the cell preset (CellPresetLayout), or null
    bool nesTable;
    int areaTiles;
};

// The encodings cite their pages in raster/PixelEncoding.cpp and
// raster/ColourEncoding.cpp, the cell words in layout/CellFieldsText.cpp.
// Palettes of each background:
// - Game Boy: one BGP byte of 4 shades, https://gbdev.io/pandocs/Palettes.html
// - Game Boy Color: 8 palettes of 4 colours, the same page ("BCPS/BGPI").
// - NES: 4 background palettes of 4 colours, colour 0 shared, a palette per
//   16 x 16 pixels, https://www.nesdev.org/wiki/PPU_palettes and
//   https://www.nesdev.org/wiki/PPU_attribute_tables
// - SNES mode 1, BG1 and BG2: 4 bits a pixel, 8 palettes of 16,
//   https://wiki.superfamicom.org/backgrounds
// - Game Boy Advance, 4-bit text backgrounds: 16 palettes of 16,
//   https://gbadev.net/gbadoc/backgrounds.html
// - Mega Drive: 4 palette lines of 16 (the name table word's 2-bit line,
//   https://segaretro.org/Sega_Mega_Drive/Planes)
// - Master System: 2 palettes of 16 (32 CRAM entries; the name table's
//   palette bit picks one), Charles MacDonald's VDP documentation at SMS Power.
// - PC Engine: 16 background palettes of 16 (VCE entries $000-$0FF),
//   Paul Clifford's "PC Engine Video Colour Encoder" (vce.txt).
const Platform kPlatforms[] = {
    {{"gb", "Game Boy"}, PixelEncoding::Planar2Rows, ColourEncoding::GameBoy, 1, 4, nullptr,
     false, 1},
    {{"gbc", "Game Boy Color"}, PixelEncoding::Planar2Rows, ColourEncoding::Bgr555, 8, 4, "gbc",
     false, 1},
    {{"nes", "NES"}, PixelEncoding::Planar2Nes, ColourEncoding::Nes, 4, 4, nullptr, true, 2},
    {{"snes4", "SNES (모드 1, 4bpp)"}, PixelEncoding::Planar4Snes, ColourEncoding::Bgr555, 8, 16,
     "snes", false, 1},
    {{"gba4", "Game Boy Advance (4bpp)"}, PixelEncoding::Packed4Low, ColourEncoding::Bgr555, 16,
     16, "gba", false, 1},
    {{"megadrive", "Mega Drive"}, PixelEncoding::Packed4High, ColourEncoding::MegaDrive, 4, 16,
     "megadrive", false, 1},
    {{"sms", "Master System"}, PixelEncoding::Planar4Sms, ColourEncoding::MasterSystem, 2, 16,
     "sms", false, 1},
    {{"pce", "PC Engine"}, PixelEncoding::Planar4Snes, ColourEncoding::PcEngine, 16, 16, "pce",
     false, 1},
};

} // namespace

const std::vector<PlatformPreset>& PlatformPresets() {
    static const std::vector<PlatformPreset> presets = [] {
        std::vector<PlatformPreset> list;
        for (const Platform& p : kPlatforms)
            list.push_back(p.preset);
        return list;
    }();
    return presets;
}

std::optional<PlatformLayouts> PlatformPresetLayouts(std::string_view name) {
    for (const Platform& p : kPlatforms) {
        if (name != p.preset.name)
            continue;
        PlatformLayouts out;
        out.tile.width = 8;
        out.tile.height = 8;
        out.tile.items = {TileItem::Palette, TileItem::SizeByte, TileItem::CountWord,
                          TileItem::Pixels};
        out.tile.params = {p.pixels, p.colours, p.colourCount, p.palettes};
        out.map = MapFormat::Default();
        out.map.items = {MapItem::SizeWord};
        bool usesPlane = false;
        if (p.cells)
            out.map.cells = *CellPresetLayout(p.cells, usesPlane);
        out.map.cells.coloursPerPalette = p.colourCount;
        if (!p.cells)
            out.map.items.push_back(MapItem::CellsByte);
        else if (usesPlane)
            out.map.items.insert(out.map.items.end(), {MapItem::CellsByte, MapItem::CellAttributes});
        else
            out.map.items.push_back(MapItem::CellFields);
        if (p.nesTable)
            out.map.items.push_back(MapItem::NesAttributes);
        out.areaTiles = p.areaTiles;
        return out;
    }
    return std::nullopt;
}

} // namespace kesh
