#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Status.h"

namespace kesh {

// What a cell holds beside its tile number, as the map keeps it in memory:
// one 16-bit attribute word per cell, the same for every file layout. The
// layout's cell fields say where these bits go in the file.
namespace cellbit {
inline constexpr uint16_t kHFlip = 1u << 0;
inline constexpr uint16_t kVFlip = 1u << 1;
inline constexpr uint16_t kPriority = 1u << 2;
inline constexpr int kPaletteShift = 3;
inline constexpr int kPaletteBits = 5; // up to 32 palettes
inline constexpr uint16_t kPaletteMask = ((1u << kPaletteBits) - 1) << kPaletteShift;
inline constexpr int kUserShift = 8;
inline constexpr int kUserBits = 4; // four named one-bit fields
inline constexpr uint16_t kFlips = kHFlip | kVFlip;

inline constexpr int PaletteOf(uint16_t attr) { return (attr & kPaletteMask) >> kPaletteShift; }
inline constexpr uint16_t WithPalette(uint16_t attr, int palette) {
    return uint16_t((attr & ~kPaletteMask) | ((unsigned(palette) << kPaletteShift) & kPaletteMask));
}
inline constexpr uint16_t UserBit(int user) { return uint16_t(1u << (kUserShift + user)); }
} // namespace cellbit

enum class CellFieldKind : uint8_t { Tile = 0, HFlip, VFlip, Palette, Priority, User };

// One field of a cell word: which part of the cell, and where its bits are.
struct CellField {
    CellFieldKind kind = CellFieldKind::Tile;
    uint8_t first = 0; // lowest bit in the word
    uint8_t width = 1; // bits
    std::string name;  // a user field's name ("collision"); empty for the others

    bool operator==(const CellField&) const = default;
};

// A word of the file that holds cell fields: 8, 16 or 32 bits, in either order.
struct CellWord {
    uint8_t bits = 16;
    bool bigEndian = false;
    std::vector<CellField> fields;

    int bytes() const { return bits / 8; }
    bool operator==(const CellWord&) const = default;
};

// The cell fields of a map layout: the word of the cell item (tile number
// and maybe more) and the word of the attribute plane (everything else, in
// an array of its own after the tile numbers, as on the Game Boy Color).
struct CellLayout {
    CellWord word;                                 // of MapItem::CellFields
    CellWord plane{8, false, {}};                  // of MapItem::CellAttributes
    uint16_t coloursPerPalette = 16;               // colours a palette number steps over

    // The attribute bits (cellbit) the fields can hold: 0 when there are none.
    uint16_t AttrMask() const;
    // The user fields in the order of their bits (cellbit::UserBit(0) first).
    std::vector<std::string> UserNames() const;
    // Palettes a cell can choose: 2^width of the palette field, no more than
    // 256 / coloursPerPalette; 1 without a palette field.
    int PaletteCount() const;
    bool Has(CellFieldKind kind) const;

    bool operator==(const CellLayout&) const = default;
};

// Checks a cell layout: fields inside their word and not overlapping, one
// tile field in the cell word and none in the plane, no field kind twice,
// the widths each kind allows, words of 8, 16 or 32 bits, colours per
// palette 1..256. The message names the field ("필드 vflip: ...").
// With `nesTable` (the map has a NesAttributes item, whose table holds the
// palette) no word may hold a palette field as well.
Status CheckCellLayout(const CellLayout& layout, bool nesTable = false);

// The word of a cell with `tile` and attribute bits `attr`; fields get the
// low bits of their value (a tile number too wide for its field is cut, as
// a byte cell is; the layout table warns of it).
// `firstUser` is the number of user fields before this word (those of the
// cell word, for the plane).
uint32_t PackCell(const CellWord& word, uint16_t tile, uint16_t attr, int firstUser = 0);
// The tile number and attribute bits a word holds. A tile field of fewer
// than 16 bits gives its value; one of 16 bits or more its low 16 bits.
void UnpackCell(const CellWord& word, uint32_t value, uint16_t& tile, uint16_t& attr,
                int firstUser = 0);
int UserFieldCount(const CellWord& word);
// A field's name as the text forms write it: "tile", "hflip", "vflip",
// "palette", "priority", or a user field's own name.
std::string CellFieldName(const CellField& field);

// Field lists as kesh-cli writes them: "tile:0-9,hflip:10,palette:12-15".
std::string FieldsText(const CellWord& word);
// The item text of a cell word: "CellsWord16LE[tile:0-9,...]" for the cell
// item, "Attributes8[palette:0-2,...]" for the plane.
std::string CellWordText(const CellWord& word, bool plane);
// Parses "CellsWord16LE[...]", "CellsByte8[...]", "CellsWord32BE[...]" or
// "Attributes8[...]", "Attributes16LE[...]"; sets `plane` for the latter.
// Fails with a Korean message naming what is wrong.
Status ParseCellWordText(std::string_view text, CellWord& out, bool& plane);

// The layouts of known machines, by the name kesh-cli takes.
struct CellPreset {
    const char* name;  // "snes"
    const char* title; // "SNES"
};
const std::vector<CellPreset>& CellPresets();
// The preset's cell layout, and whether its tile numbers are bytes before an
// attribute plane (Game Boy Color) rather than one word per cell.
std::optional<CellLayout> CellPresetLayout(std::string_view name, bool& usesPlane);

} // namespace kesh
