#include "layout/CellFields.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kesh {

namespace {

constexpr std::array<const char*, 5> kKindNames = {"tile", "hflip", "vflip", "palette",
                                                   "priority"};

std::string FieldName(const CellField& field) {
    return field.kind == CellFieldKind::User ? field.name : kKindNames[size_t(field.kind)];
}

int MaxWidth(CellFieldKind kind) {
    switch (kind) {
    case CellFieldKind::Tile:
        return 16;
    case CellFieldKind::Palette:
        return cellbit::kPaletteBits;
    default:
        return 1;
    }
}

uint32_t Mask(int width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u; }

// The attribute bits a non-tile field stands for, and where they start.
struct AttrPlace {
    int shift;
    int width;
};

AttrPlace PlaceOf(const CellField& field, int userIndex) {
    switch (field.kind) {
    case CellFieldKind::HFlip:
        return {0, 1};
    case CellFieldKind::VFlip:
        return {1, 1};
    case CellFieldKind::Priority:
        return {2, 1};
    case CellFieldKind::Palette:
        return {cellbit::kPaletteShift, std::min<int>(field.width, cellbit::kPaletteBits)};
    default:
        return {cellbit::kUserShift + userIndex, 1};
    }
}

// Calls fn(field, place) for each attribute field of both words, users
// numbered in the order they appear (cell word first).
template <typename Fn> void ForEachAttr(const CellLayout& layout, Fn fn) {
    int user = 0;
    for (const CellWord* word : {&layout.word, &layout.plane}) {
        for (const CellField& field : word->fields) {
            if (field.kind == CellFieldKind::Tile)
                continue;
            const int index = field.kind == CellFieldKind::User ? user++ : 0;
            if (index < cellbit::kUserBits)
                fn(*word, field, PlaceOf(field, index));
        }
    }
}

Status FieldFail(const CellField& field, const char* what) {
    return Status::Fail("필드 " + FieldName(field) + ": " + what);
}

bool IsIdentifier(std::string_view name) {
    if (name.empty() || name.size() > 15 || !(std::isalpha(uint8_t(name[0])) || name[0] == '_'))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(uint8_t(c)) || c == '_'; });
}

Status CheckWord(const CellWord& word) {
    if (word.bits != 8 && word.bits != 16 && word.bits != 32)
        return Status::Fail("셀 워드는 8, 16, 32비트 중 하나여야 합니다.");
    uint32_t used = 0;
    for (const CellField& field : word.fields) {
        if (field.width < 1 || field.width > MaxWidth(field.kind))
            return FieldFail(field, "너비가 올바르지 않습니다.");
        if (int(field.first) + int(field.width) > word.bits)
            return FieldFail(field, "워드 밖에 있습니다.");
        const uint32_t bits = Mask(field.width) << field.first;
        if (used & bits)
            return FieldFail(field, "다른 필드와 겹칩니다.");
        used |= bits;
    }
    return Status::Ok();
}

} // namespace

std::string CellFieldName(const CellField& field) { return FieldName(field); }

int UserFieldCount(const CellWord& word) {
    return int(std::count_if(word.fields.begin(), word.fields.end(),
                             [](const CellField& f) { return f.kind == CellFieldKind::User; }));
}

uint16_t CellLayout::AttrMask() const {
    uint16_t mask = 0;
    ForEachAttr(*this, [&](const CellWord&, const CellField&, AttrPlace place) {
        mask = uint16_t(mask | (Mask(place.width) << place.shift));
    });
    return mask;
}

std::vector<std::string> CellLayout::UserNames() const {
    std::vector<std::string> names;
    ForEachAttr(*this, [&](const CellWord&, const CellField& field, AttrPlace) {
        if (field.kind == CellFieldKind::User)
            names.push_back(field.name);
    });
    return names;
}

int CellLayout::PaletteCount() const {
    int count = 1;
    ForEachAttr(*this, [&](const CellWord&, const CellField& field, AttrPlace place) {
        if (field.kind == CellFieldKind::Palette)
            count = 1 << place.width;
    });
    const int fit = 256 / std::max<int>(coloursPerPalette, 1);
    return std::max(1, std::min(count, fit));
}

bool CellLayout::Has(CellFieldKind kind) const {
    for (const CellWord* word : {&this->word, &plane})
        for (const CellField& field : word->fields)
            if (field.kind == kind)
                return true;
    return false;
}

Status CheckCellLayout(const CellLayout& layout, bool nesTable) {
    for (const CellWord* word : {&layout.word, &layout.plane}) {
        Status st = CheckWord(*word);
        if (!st)
            return st;
    }
    std::vector<std::string> seen;
    int users = 0;
    int tiles = 0;
    for (const CellWord* word : {&layout.word, &layout.plane}) {
        for (const CellField& field : word->fields) {
            const std::string name = FieldName(field);
            if (field.kind == CellFieldKind::User) {
                if (!IsIdentifier(name) ||
                    std::find(kKindNames.begin(), kKindNames.end(), name) != kKindNames.end())
                    return FieldFail(field, "이름이 올바르지 않습니다.");
                if (++users > cellbit::kUserBits)
                    return FieldFail(field, "사용자 필드는 4개까지입니다.");
            }
            if (std::find(seen.begin(), seen.end(), name) != seen.end())
                return FieldFail(field, "두 번 있습니다.");
            if (nesTable && field.kind == CellFieldKind::Palette)
                return FieldFail(field, "NES 속성 테이블이 팔레트를 저장하므로 둘 수 없습니다.");
            seen.push_back(name);
            if (field.kind == CellFieldKind::Tile) {
                if (word == &layout.plane)
                    return FieldFail(field, "속성 평면에는 둘 수 없습니다.");
                ++tiles;
            }
        }
    }
    if (tiles == 0 && !layout.word.fields.empty())
        return Status::Fail("셀 워드에 tile 필드가 없습니다.");
    if (layout.coloursPerPalette < 1 || layout.coloursPerPalette > 256)
        return Status::Fail("팔레트당 색 수는 1에서 256 사이여야 합니다.");
    return Status::Ok();
}

uint32_t PackCell(const CellWord& word, uint16_t tile, uint16_t attr, int firstUser) {
    uint32_t value = 0;
    int user = firstUser;
    for (const CellField& field : word.fields) {
        uint32_t part = 0;
        if (field.kind == CellFieldKind::Tile) {
            part = tile;
        } else {
            const int index = field.kind == CellFieldKind::User ? user++ : 0;
            if (index >= cellbit::kUserBits)
                continue;
            const AttrPlace place = PlaceOf(field, index);
            part = (uint32_t(attr) >> place.shift) & Mask(place.width);
        }
        value |= (part & Mask(field.width)) << field.first;
    }
    return value;
}

void UnpackCell(const CellWord& word, uint32_t value, uint16_t& tile, uint16_t& attr,
                int firstUser) {
    int user = firstUser;
    for (const CellField& field : word.fields) {
        const uint32_t part = (value >> field.first) & Mask(field.width);
        if (field.kind == CellFieldKind::Tile) {
            tile = uint16_t(part);
            continue;
        }
        const int index = field.kind == CellFieldKind::User ? user++ : 0;
        if (index >= cellbit::kUserBits)
            continue;
        const AttrPlace place = PlaceOf(field, index);
        const uint32_t bits = Mask(place.width) << place.shift;
        attr = uint16_t((attr & ~bits) | ((part << place.shift) & bits));
    }
}

} // namespace kesh
