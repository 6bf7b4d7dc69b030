// The generated readers' code for cell fields: a word per cell whose bits
// give the tile number and, beside it, a byte per cell for each other field;
// and the NES attribute table, whose bits give the palette field.
#include "layout/CodeGenFields.h"

#include <algorithm>
#include <cctype>

namespace kesh::codegen {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = char(std::toupper(uint8_t(c)));
    return text;
}

std::string MacroOf(const std::string& name) {
    return "KESH_FIELD_" + Upper(name);
}

// The index macro of field `name` among `names`: a name that differs from
// an earlier one only in case ("water", "Water") gets its index after it.
std::string MacroFor(const std::vector<std::string>& names, const std::string& name) {
    const size_t at = size_t(std::find(names.begin(), names.end(), name) - names.begin());
    const std::string macro = MacroOf(name);
    for (size_t k = 0; k < at && k < names.size(); ++k)
        if (MacroOf(names[k]) == macro)
            return macro + "_" + std::to_string(at);
    return macro;
}

// The entries "{0, 10, -1}", "{10, 1, KESH_FIELD_HFLIP}": first bit, width,
// array; one a line.
std::string CFieldTable(const MapDescriptor& map, const CellWord& word) {
    const std::vector<std::string> names = FieldNames(map);
    std::string table;
    for (const CellField& field : word.fields) {
        table += table.empty() ? "\n" : ",\n";
        table += "            {" + std::to_string(field.first) + ", " +
                 std::to_string(field.width) + ", " +
                 (field.kind == CellFieldKind::Tile ? std::string("-1")
                                                    : MacroFor(names, CellFieldName(field))) +
                 "}";
    }
    return table + "\n        ";
}

constexpr const char* kFieldWordsC = R"(
/* One field of a cell word: its lowest bit, its width in bits, and the
 * field array its value goes to (a KESH_FIELD_ index), or -1 for the tile
 * number. */
struct kesh_cell_field {
    int first, width, index;
};

/* One word of `bytes` bytes per cell, row by row, little- or big-endian; the
 * fields' values go to the tile numbers and the field arrays. A tile field
 * of 16 bits or more gives its low 16 bits. */
static inline int kesh_map_field_words(struct kesh_reader *in, int bytes, int big_endian,
                                       const struct kesh_cell_field *fields, int count,
                                       const struct kesh_map_scan *scan, struct kesh_map *out)
{
    const unsigned char *p;
    size_t n, i;
    int rc, f, b;

    if (scan->has_size && kesh_map_size_valid(scan->width, scan->height) &&
        (unsigned long long)(in->size - in->pos) <
            (unsigned long long)scan->width * (unsigned long long)scan->height * (unsigned)bytes)
        return KESH_ERR_DAMAGED;
    rc = kesh_map_grid(scan, out);
)";

constexpr const char* kFieldWordsLoopC = R"(    n = (size_t)out->width * (size_t)out->height;
    if ((in->size - in->pos) / (size_t)bytes < n)
        return KESH_ERR_DAMAGED;
    p = in->data + in->pos;
    for (i = 0; i < n; ++i, p += bytes) {
        unsigned long v = 0;
        for (b = 0; b < bytes; ++b)
            v = (v << 8) | p[big_endian ? b : bytes - 1 - b];
        for (f = 0; f < count; ++f) {
            unsigned long part = v >> fields[f].first;
            if (fields[f].width < 32)
                part &= (1UL << fields[f].width) - 1;
            if (fields[f].index < 0)
                out->cells[i] = (unsigned short)(part & 0xFFFF);
)";

// The NES attribute table as kesh reads it (layout/NesAttributeTable.h;
// https://www.nesdev.org/wiki/PPU_attribute_tables): 64 bytes a screen of
// 32 x 30 cells, the screens in reading order, the map padded to whole
// screens. `%FIELD%` is the palette field's index macro.
constexpr const char* kNesTableC = R"(
/* The NES attribute table: 64 bytes a screen of 32 x 30 cells, the screens
 * in reading order, a map that is not a whole number of screens padded to
 * one. Byte (row / 4) * 8 + col / 4 of a screen holds the palettes of a
 * 4 x 4-cell area, 2 bits a 2 x 2 block: bits 1-0 top left, 3-2 top right,
 * 5-4 bottom left, 7-6 bottom right. Each cell gets its block's palette in
 * field[%FIELD%]; the bits of the padding and of rows 30-31 are not read. */
static inline unsigned long long kesh_nes_table_bytes(long width, long height)
{
    return ((unsigned long long)width + 31) / 32 * (((unsigned long long)height + 29) / 30) * 64;
}

static inline int kesh_map_nes_table(struct kesh_reader *in, const struct kesh_map_scan *scan,
                                     struct kesh_map *out)
{
    const unsigned char *p;
    size_t across;
    long row, col;
    int rc;

    if (scan->has_size && kesh_map_size_valid(scan->width, scan->height) &&
        (unsigned long long)(in->size - in->pos) < kesh_nes_table_bytes(scan->width, scan->height))
        return KESH_ERR_DAMAGED;
    rc = kesh_map_grid(scan, out);
    if (rc == 0)
        rc = kesh_map_field_arrays(out);
    if (rc != 0)
        return rc;
    if ((unsigned long long)(in->size - in->pos) < kesh_nes_table_bytes(out->width, out->height))
        return KESH_ERR_DAMAGED;
    p = in->data + in->pos;
    across = ((size_t)out->width + 31) / 32;
    for (row = 0; row < out->height; ++row) {
        for (col = 0; col < out->width; ++col) {
            const long r = row % 30, c = col % 32;
            const size_t screen = (size_t)(row / 30) * across + (size_t)(col / 32);
            const unsigned char b = p[screen * 64 + (size_t)((r / 4) * 8 + c / 4)];
            const int shift = (int)(((r % 4) / 2 * 2 + (c % 4) / 2) * 2);
            out->field[%FIELD%][(size_t)row * (size_t)out->width + (size_t)col] =
                (unsigned char)((b >> shift) & 3);
        }
    }
    in->pos += (size_t)kesh_nes_table_bytes(out->width, out->height);
    return 0;
}
)";

constexpr const char* kNesTablePython = R"(

def _read_nes_table(scan, reader):
    """The NES attribute table: 64 bytes a screen of 32 x 30 cells, the screens
    in reading order, a map that is not a whole number of screens padded to one.
    Byte (row // 4) * 8 + col // 4 of a screen holds the palettes of a 4 x 4-cell
    area, 2 bits a 2 x 2 block: bits 1-0 top left, 3-2 top right, 5-4 bottom
    left, 7-6 bottom right. Each cell gets its block's palette in
    fields["palette"]; the bits of the padding and of rows 30-31 are not read."""
    def table_bytes(width, height):
        return (width + 31) // 32 * ((height + 29) // 30) * 64

    if (
        scan.width is not None
        and _map_size_valid(scan.width, scan.height)
        and reader.remaining() < table_bytes(scan.width, scan.height)
    ):
        raise _damaged()
    scan.grid()
    width, height = scan.width, scan.height
    if scan.fields is None:
        scan.fields = {name: [0] * (width * height) for name in FIELD_NAMES}
    start = reader.skip(table_bytes(width, height))
    data = reader.data
    across = (width + 31) // 32
    palettes = scan.fields["palette"]
    for row in range(height):
        r = row % 30
        for col in range(width):
            c = col % 32
            screen = (row // 30) * across + col // 32
            b = data[start + screen * 64 + (r // 4) * 8 + c // 4]
            shift = ((r % 4) // 2 * 2 + (c % 4) // 2) * 2
            palettes[row * width + col] = (b >> shift) & 3
)";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

void CFieldDefinitions(std::ostream& out, const MapDescriptor& map) {
    const std::vector<std::string> names = FieldNames(map);
    if (names.empty())
        return;
    out << "\n/* The cell fields beside the tile number. Each has an array in struct\n"
           " * kesh_map, one byte per cell, row by row, holding the field's value as\n"
           " * the file has it (0 or 1 for a flag, the number for a palette):\n"
           " * map.field[KESH_FIELD_HFLIP][i] is cell i's horizontal flip bit.\n"
           " * kesh_field_name(k) gives field k's name as kesh shows it. */\n";
    for (size_t k = 0; k < names.size(); ++k)
        out << "#define " << MacroFor(names, names[k]) << ' ' << k << '\n';
    out << "#define KESH_FIELD_COUNT " << names.size() << "\n\n"
        << "static inline const char *kesh_field_name(int k)\n"
           "{\n"
           "    static const char *const names[KESH_FIELD_COUNT] = {";
    for (size_t k = 0; k < names.size(); ++k)
        out << (k ? ", " : "") << '"' << names[k] << '"';
    out << "};\n\n"
           "    return k >= 0 && k < KESH_FIELD_COUNT ? names[k] : NULL;\n"
           "}\n";
}

std::string CFieldMember(const MapDescriptor& map) {
    if (FieldNames(map).empty())
        return "";
    return "    unsigned char *field[KESH_FIELD_COUNT]; /* width * height each: KESH_FIELD_ */\n";
}

void CFieldFunctions(std::ostream& out, const MapDescriptor& map) {
    if (!HasFieldItems(map))
        return;
    const std::vector<std::string> names = FieldNames(map);
    const bool arrays = !names.empty();
    if (arrays)
        out << "\n/* The field arrays, all 0, made once with the grid. */\n"
               "static inline int kesh_map_field_arrays(struct kesh_map *out)\n"
               "{\n"
               "    size_t n = (size_t)out->width * (size_t)out->height;\n"
               "    int k;\n\n"
               "    if (out->field[0] != NULL)\n"
               "        return 0;\n"
               "    for (k = 0; k < KESH_FIELD_COUNT; ++k)\n"
               "        if ((out->field[k] = (unsigned char *)calloc(n, 1)) == NULL)\n"
               "            return KESH_ERR_MEMORY;\n"
               "    return 0;\n"
               "}\n";
    if (HasNesTable(map))
        out << Replaced(kNesTableC, "%FIELD%", MacroFor(names, "palette"));
    if (!HasWordFieldItems(map))
        return;
    out << kFieldWordsC;
    if (arrays)
        out << "    if (rc == 0)\n        rc = kesh_map_field_arrays(out);\n";
    out << "    if (rc != 0)\n        return rc;\n" << kFieldWordsLoopC;
    if (arrays)
        out << "            else\n"
               "                out->field[fields[f].index][i] = (unsigned char)part;\n";
    out << "        }\n"
           "    }\n"
           "    in->pos += n * (size_t)bytes;\n"
           "    return 0;\n"
           "}\n";
}

void CFieldItem(std::ostream& out, const MapDescriptor& map, uint8_t code) {
    if (code == MapItem::NesAttributes) {
        out << "    if ((rc = kesh_map_nes_table(&in, &scan, out)) != 0)\n"
               "        goto fail;\n";
        return;
    }
    const CellWord& word = FieldWord(map, code);
    if (word.fields.empty()) {
        out << "    /* no fields: nothing to read */\n";
        return;
    }
    out << "    /* " << CellWordText(word, code == MapItem::CellAttributes) << " */\n"
        << "    {\n"
        << "        static const struct kesh_cell_field fields[] = {" << CFieldTable(map, word)
        << "};\n\n"
        << "        if ((rc = kesh_map_field_words(&in, " << word.bytes() << ", "
        << (word.bigEndian ? 1 : 0) << ", fields, " << word.fields.size()
        << ", &scan, out)) != 0)\n"
        << "            goto fail;\n"
        << "    }\n";
}

void PythonFieldFunctions(std::ostream& out, const MapDescriptor& map) {
    if (HasNesTable(map))
        out << kNesTablePython;
    if (!HasWordFieldItems(map))
        return;
    out << R"(

def _read_field_words(scan, reader, size, order, fields):
    """One word of size bytes per cell, row by row; fields are (first bit,
    width, name), the name None for the tile number (its low 16 bits)."""
    if (
        scan.width is not None
        and _map_size_valid(scan.width, scan.height)
        and reader.remaining() < scan.width * scan.height * size
    ):
        raise _damaged()
    scan.grid()
    n = len(scan.cells)
    if scan.fields is None:
        scan.fields = {name: [0] * n for name in FIELD_NAMES}
    start = reader.skip(n * size)
    data = reader.data
    words = [
        int.from_bytes(data[at:at + size], order) for at in range(start, start + n * size, size)
    ]
    for first, width, name in fields:
        mask = (1 << width) - 1
        if name is None:
            scan.cells = [(w >> first) & mask & 0xFFFF for w in words]
        else:
            scan.fields[name] = [(w >> first) & mask for w in words]
)";
}

void PythonFieldItem(std::ostream& out, const MapDescriptor& map, uint8_t code) {
    if (code == MapItem::NesAttributes) {
        out << "    _read_nes_table(scan, reader)\n";
        return;
    }
    const CellWord& word = FieldWord(map, code);
    if (word.fields.empty()) {
        out << "    # no fields: nothing to read\n";
        return;
    }
    out << "    # " << CellWordText(word, code == MapItem::CellAttributes) << '\n'
        << "    _read_field_words(scan, reader, " << word.bytes() << ", "
        << (word.bigEndian ? "\"big\"" : "\"little\"") << ", [\n";
    for (const CellField& field : word.fields)
        out << "        (" << int(field.first) << ", " << int(field.width) << ", "
            << (field.kind == CellFieldKind::Tile ? std::string("None")
                                                  : '"' + CellFieldName(field) + '"')
            << "),\n";
    out << "    ])\n";
}

} // namespace kesh::codegen
