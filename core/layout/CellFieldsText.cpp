// Cell fields as text (kesh-cli's item syntax) and the presets of known machines.
#include <charconv>

#include "layout/CellFields.h"

namespace kesh {

namespace {

const char* KindName(CellFieldKind kind) {
    switch (kind) {
    case CellFieldKind::Tile:
        return "tile";
    case CellFieldKind::HFlip:
        return "hflip";
    case CellFieldKind::VFlip:
        return "vflip";
    case CellFieldKind::Palette:
        return "palette";
    case CellFieldKind::Priority:
        return "priority";
    default:
        return "";
    }
}

CellField MakeField(std::string_view name, int first, int width) {
    CellField field;
    field.first = uint8_t(first);
    field.width = uint8_t(width);
    for (CellFieldKind kind : {CellFieldKind::Tile, CellFieldKind::HFlip, CellFieldKind::VFlip,
                               CellFieldKind::Palette, CellFieldKind::Priority})
        if (name == KindName(kind)) {
            field.kind = kind;
            return field;
        }
    field.kind = CellFieldKind::User;
    field.name = std::string(name);
    return field;
}

bool ParseNumber(std::string_view text, int& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out >= 0 && out < 32;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// "name:3" or "name:0-9".
Status ParseField(std::string_view text, CellField& out) {
    const size_t colon = text.find(':');
    const std::string_view name = Trim(text.substr(0, colon));
    if (colon == std::string_view::npos || name.empty())
        return Status::Fail("필드를 알 수 없습니다: " + std::string(text));
    const std::string_view bits = Trim(text.substr(colon + 1));
    const size_t dash = bits.find('-');
    int first = 0;
    int last = 0;
    if (!ParseNumber(bits.substr(0, dash), first) ||
        !ParseNumber(dash == std::string_view::npos ? bits.substr(0, dash) : bits.substr(dash + 1),
                     last) ||
        last < first)
        return Status::Fail("필드 " + std::string(name) + ": 비트 범위가 올바르지 않습니다.");
    out = MakeField(name, first, last - first + 1);
    return Status::Ok();
}

struct WordName {
    const char* prefix;
    uint8_t bits;
    bool bigEndian;
};

constexpr WordName kWordNames[] = {{"8", 8, false},     {"16LE", 16, false}, {"16BE", 16, true},
                                   {"32LE", 32, false}, {"32BE", 32, true},  {"8LE", 8, false},
                                   {"8BE", 8, false}};

} // namespace

std::string FieldsText(const CellWord& word) {
    std::string text;
    for (const CellField& field : word.fields) {
        if (!text.empty())
            text += ',';
        text += field.kind == CellFieldKind::User ? field.name : KindName(field.kind);
        text += ':' + std::to_string(field.first);
        if (field.width > 1)
            text += '-' + std::to_string(field.first + field.width - 1);
    }
    return text;
}

std::string CellWordText(const CellWord& word, bool plane) {
    std::string text = plane ? "Attributes" : "CellsWord";
    text += std::to_string(word.bits);
    if (word.bits > 8)
        text += word.bigEndian ? "BE" : "LE";
    return text + '[' + FieldsText(word) + ']';
}

Status ParseCellWordText(std::string_view text, CellWord& out, bool& plane) {
    const size_t open = text.find('[');
    if (open == std::string_view::npos || text.back() != ']')
        return Status::Fail("셀 항목을 알 수 없습니다: " + std::string(text));
    std::string_view head = text.substr(0, open);
    if (head.starts_with("CellsWord")) {
        plane = false;
        head.remove_prefix(9);
    } else if (head.starts_with("Attributes")) {
        plane = true;
        head.remove_prefix(10);
    } else {
        return Status::Fail("셀 항목을 알 수 없습니다: " + std::string(text));
    }
    CellWord word;
    bool named = false;
    for (const WordName& name : kWordNames)
        if (head == name.prefix) {
            word.bits = name.bits;
            word.bigEndian = name.bigEndian;
            named = true;
        }
    if (!named)
        return Status::Fail("셀 워드는 8, 16LE, 16BE, 32LE, 32BE 중 하나여야 합니다: " +
                            std::string(text));
    std::string_view list = text.substr(open + 1, text.size() - open - 2);
    while (!list.empty()) {
        const size_t comma = list.find(',');
        CellField field;
        Status st = ParseField(list.substr(0, comma), field);
        if (!st)
            return st;
        word.fields.push_back(std::move(field));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    out = std::move(word);
    return Status::Ok();
}

const std::vector<CellPreset>& CellPresets() {
    static const std::vector<CellPreset> presets = {
        {"snes", "SNES"}, {"gba", "Game Boy Advance"}, {"megadrive", "Mega Drive"},
        {"gbc", "Game Boy Color"}, {"sms", "Master System"}, {"pce", "PC Engine"}};
    return presets;
}

std::optional<CellLayout> CellPresetLayout(std::string_view name, bool& usesPlane) {
    CellLayout layout;
    usesPlane = false;
    const auto field = [](const char* n, int first, int width) { return MakeField(n, first, width); };
    if (name == "snes") {
        // Background map entry "vhopppcc cccccccc", little-endian words:
        // https://wiki.superfamicom.org/backgrounds ("Tile Maps & Character Maps").
        layout.word = {16, false, {field("tile", 0, 10), field("palette", 10, 3),
                                   field("priority", 13, 1), field("hflip", 14, 1),
                                   field("vflip", 15, 1)}};
    } else if (name == "gba") {
        // Text background screen entry, little-endian: tile 0-9, H flip 10,
        // V flip 11, palette 12-15: https://gbadev.net/gbadoc/backgrounds.html
        layout.word = {16, false, {field("tile", 0, 10), field("hflip", 10, 1),
                                   field("vflip", 11, 1), field("palette", 12, 4)}};
    } else if (name == "megadrive") {
        // Nametable word, big-endian (the 68000's order): priority 15,
        // palette line 13-14, V flip 12, H flip 11, tile 0-10:
        // https://segaretro.org/Sega_Mega_Drive/Planes ("Format").
        layout.word = {16, true, {field("tile", 0, 11), field("hflip", 11, 1),
                                  field("vflip", 12, 1), field("palette", 13, 2),
                                  field("priority", 15, 1)}};
    } else if (name == "gbc") {
        // Tile numbers as bytes, then the attribute map of VRAM bank 1:
        // palette 0-2, bank 3, X flip 5, Y flip 6, priority 7, four colours a
        // palette: https://gbdev.io/pandocs/Tile_Maps.html ("BG Map Attributes").
        layout.plane = {8, false, {field("palette", 0, 3), field("bank", 3, 1),
                                   field("hflip", 5, 1), field("vflip", 6, 1),
                                   field("priority", 7, 1)}};
        layout.coloursPerPalette = 4;
        usesPlane = true;
    } else if (name == "sms") {
        // Name table word "---pcvhn nnnnnnnn", low byte first: pattern 0-8,
        // H flip 9, V flip 10, palette select 11, priority 12. Charles
        // MacDonald's "Sega Master System VDP documentation" (msvdp.txt, in
        // SMS Power's development documents), section 9 "Background".
        layout.word = {16, false, {field("tile", 0, 9), field("hflip", 9, 1),
                                   field("vflip", 10, 1), field("palette", 11, 1),
                                   field("priority", 12, 1)}};
    } else if (name == "pce") {
        // BAT word "PPPPAAAAAAAAAAAA": the 12 low bits the tile, the 4 high
        // bits the palette; the VDC takes the low byte first ($0002, then
        // $0003). Emanuel Schleussinger's "PC-Engine Video Display Controller
        // Documentation", https://datacrystal.tcrf.net/wiki/Video_(TG-16).
        layout.word = {16, false, {field("tile", 0, 12), field("palette", 12, 4)}};
    } else {
        return std::nullopt;
    }
    return layout;
}

} // namespace kesh
