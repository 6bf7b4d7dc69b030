#include <algorithm>
#include <cctype>
#include <sstream>

#include "layout/CodeGen.h"
#include "layout/CodeGenConsole.h"
#include "layout/CodeGenFields.h"

namespace kesh {

namespace {

// What every reader needs, whatever the layout: the two structs, bounds-checked
// value reading, and the tile file's scan and assembly, which follow kesh's
// own reader step by step.
constexpr const char* kCommon = R"(#include <stddef.h>
#include <stdlib.h>
#include <string.h>

/* Results of the read functions: 0, or one of these. */
#define KESH_ERR_DAMAGED (-1) /* the file is short or does not fit the layout */
#define KESH_ERR_NO_SIZE (-2) /* the layout gives no size before it is needed */
#define KESH_ERR_NO_COUNT (-3) /* the layout gives no tile count before it is needed */
#define KESH_ERR_MEMORY (-4) /* out of memory */
#define KESH_ERR_MAP_SIZE (-5) /* a map size no map can have */
)";

// The tiles' struct; `colourMember` is the lines of the Palette item's colours, if any.
std::string TilesStruct(const std::string& colourMember) {
    return "\nstruct kesh_tiles {\n"
           "    int width, height, count, attr_width;\n"
           "    unsigned char *pixels;     /* count * width * height, tile after tile, rows top "
           "first */\n"
           "    unsigned long *attributes; /* count */\n"
           "    unsigned char palette[768]; /* r, g, b of 256 colours, 6-bit values (0-63) */\n"
           "    int has_palette;\n" +
           colourMember +
           "    unsigned char header[256]; /* up to its first zero byte, zero-terminated */\n"
           "    int header_length;\n"
           "};\n";
}

// The map's struct; `fieldMember` is the line of the field arrays, if any.
std::string MapStruct(const std::string& fieldMember) {
    return "\nstruct kesh_map {\n"
           "    int width, height;\n"
           "    unsigned short *cells; /* width * height, row by row; 0xFFFF is an empty cell "
           "*/\n" +
           fieldMember +
           "    struct kesh_tiles tiles;\n"
           "    int has_tiles;\n"
           "    unsigned char header[256];\n"
           "    int header_length;\n"
           "};\n";
}

// The helpers both kinds of reader use.
constexpr const char* kHelpers = R"(
/* Where reading has got to; pos never passes size. */
struct kesh_reader {
    const unsigned char *data;
    size_t size;
    size_t pos;
};

/* A little-endian value of 1, 2 or 4 bytes: 1 and 2 bytes read as unsigned,
 * 4 bytes as a signed 32-bit number. */
static inline int kesh_read_value(struct kesh_reader *in, int bytes, long *value)
{
    unsigned long v = 0;
    int i;

    if (in->size - in->pos < (size_t)bytes)
        return KESH_ERR_DAMAGED;
    for (i = bytes - 1; i >= 0; --i)
        v = (v << 8) | in->data[in->pos + (size_t)i];
    in->pos += (size_t)bytes;
    if (bytes == 4 && v >= 0x80000000UL)
        *value = -(long)(0xFFFFFFFFUL - v) - 1;
    else
        *value = (long)v;
    return 0;
}

/* The header string: `length` bytes are read, the string ends at the first zero. */
static inline int kesh_read_header(struct kesh_reader *in, size_t length,
                                   unsigned char header[256], int *header_length)
{
    size_t n = 0;

    if (in->size - in->pos < length)
        return KESH_ERR_DAMAGED;
    while (n < length && in->data[in->pos + n] != 0)
        ++n;
    memcpy(header, in->data + in->pos, n);
    header[n] = 0;
    *header_length = (int)n;
    in->pos += length;
    return 0;
}

/* Whether `count` records of `each` bytes fit between `at` and `size`. */
static inline int kesh_fits(size_t size, size_t at, long count, unsigned long long each)
{
    if (at > size || count < 0)
        return 0;
    return each == 0 || (unsigned long long)count <= (unsigned long long)(size - at) / each;
}

#define KESH_ABSENT ((size_t)-1)

/* What the walk through a tile file has found so far: the size and count
 * read (-1 until then) and where each block starts. */
struct kesh_tile_scan {
    long width, height, count;
    int attr_width, attr_bytes;
    size_t tiles, attributes, palette768, palette1024;
    int tiles_interleaved, attributes_interleaved; /* from a pixel+attribute block */
};

static inline void kesh_scan_start(struct kesh_tile_scan *scan, int attr_width)
{
    scan->width = scan->height = scan->count = -1;
    scan->attr_width = attr_width;
    scan->attr_bytes = attr_width == 1 ? 2 : attr_width == 2 ? 4 : 1;
    scan->tiles = scan->attributes = KESH_ABSENT;
    scan->palette768 = scan->palette1024 = KESH_ABSENT;
    scan->tiles_interleaved = scan->attributes_interleaved = 0;
}

static inline int kesh_check_tile_format(const struct kesh_tile_scan *scan)
{
    if (scan->width < 0 || scan->height < 0)
        return KESH_ERR_NO_SIZE;
    if (scan->count < 0)
        return KESH_ERR_NO_COUNT;
    return 0;
}

static inline int kesh_scan_size(struct kesh_reader *in, int bytes, struct kesh_tile_scan *scan)
{
    int rc = kesh_read_value(in, bytes, &scan->width);

    return rc != 0 ? rc : kesh_read_value(in, bytes, &scan->height);
}

static inline int kesh_scan_count(struct kesh_reader *in, int bytes, struct kesh_tile_scan *scan)
{
    return kesh_read_value(in, bytes, &scan->count);
}

/* Notes and skips a block of pixels, attributes or both (each tile's pixels,
 * then its attribute). */
static inline int kesh_scan_block(struct kesh_reader *in, struct kesh_tile_scan *scan,
                                  int pixels, int attributes)
{
    size_t here = in->pos;
    unsigned long long each = 0;
    int rc = kesh_check_tile_format(scan);

    if (rc != 0)
        return rc;
    if (pixels)
        each += (unsigned long long)scan->width * (unsigned long long)scan->height;
    if (attributes)
        each += (unsigned long long)scan->attr_bytes;
    if (!kesh_fits(in->size, here, scan->count, each))
        return KESH_ERR_DAMAGED;
    in->pos += (size_t)((unsigned long long)scan->count * each);
    if (pixels) {
        scan->tiles = here;
        scan->tiles_interleaved = attributes;
    }
    if (attributes) {
        scan->attributes = here;
        scan->attributes_interleaved = pixels;
    }
    return 0;
}

static inline int kesh_scan_palette(struct kesh_reader *in, size_t bytes, size_t *at)
{
    if (in->size - in->pos < bytes)
        return KESH_ERR_DAMAGED;
    *at = in->pos;
    in->pos += bytes;
    return 0;
}

/* After the walk: checks the blocks against the final size and count, then
 * copies the tiles and the palette out. A count without a pixel block gives
 * blank tiles (all pixels 0); without an attribute block every attribute is 0.
 * With both palette forms the 1,024-byte one counts. */
static inline int kesh_tiles_finish(const struct kesh_reader *in,
                                    const struct kesh_tile_scan *scan, struct kesh_tiles *out)
{
    const unsigned char *data = in->data;
    unsigned long long tile, record;
    size_t n, i, stride, attr_stride, attr_start;
    int b, rc = kesh_check_tile_format(scan);

    if (rc != 0)
        return rc;
    tile = (unsigned long long)scan->width * (unsigned long long)scan->height;
    record = tile + (unsigned long long)scan->attr_bytes;
    if (scan->tiles != KESH_ABSENT &&
        !kesh_fits(in->size, scan->tiles, scan->count, scan->tiles_interleaved ? record : tile))
        return KESH_ERR_DAMAGED;
    if (scan->attributes != KESH_ABSENT &&
        !kesh_fits(in->size, scan->attributes, scan->count,
                   scan->attributes_interleaved ? record : (unsigned long long)scan->attr_bytes))
        return KESH_ERR_DAMAGED;
    /* kesh keeps tiles in ten blocks of 327,680 bytes, each tile taking 16
     * bytes more than its pixels; it refuses files with more or larger tiles. */
    if (scan->width <= 0 || scan->height <= 0 || tile + 16 > 327680 ||
        (unsigned long long)scan->count > 10 * (327680 / (tile + 16)))
        return KESH_ERR_DAMAGED;

    n = (size_t)scan->count;
    out->width = (int)scan->width;
    out->height = (int)scan->height;
    out->count = (int)scan->count;
    out->attr_width = scan->attr_width;
    out->pixels = NULL;
    out->attributes = NULL;
    if (n > 0) {
        out->pixels = (unsigned char *)calloc(n, (size_t)tile);
        out->attributes = (unsigned long *)calloc(n, sizeof *out->attributes);
        if (out->pixels == NULL || out->attributes == NULL) {
            free(out->pixels);
            free(out->attributes);
            out->pixels = NULL;
            out->attributes = NULL;
            return KESH_ERR_MEMORY;
        }
    }
    stride = (size_t)(scan->tiles_interleaved ? record : tile);
    attr_stride = scan->attributes_interleaved ? (size_t)record : (size_t)scan->attr_bytes;
    attr_start = scan->attributes + (scan->attributes_interleaved ? (size_t)tile : 0);
    for (i = 0; i < n; ++i) {
        if (scan->tiles != KESH_ABSENT)
            memcpy(out->pixels + i * (size_t)tile, data + scan->tiles + i * stride, (size_t)tile);
        if (scan->attributes != KESH_ABSENT) {
            const unsigned char *p = data + attr_start + i * attr_stride;
            unsigned long value = 0;
            for (b = scan->attr_bytes - 1; b >= 0; --b)
                value = (value << 8) | p[b];
            out->attributes[i] = value;
        }
    }

    out->has_palette = 0;
    if (scan->palette768 != KESH_ABSENT) {
        for (i = 0; i < 768; ++i)
            out->palette[i] = (unsigned char)(data[scan->palette768 + i] & 63);
        out->has_palette = 1;
    }
    if (scan->palette1024 != KESH_ABSENT) {
        /* blue, green, red, unused; 8-bit values */
        for (i = 0; i < 256; ++i) {
            out->palette[3 * i] = (unsigned char)(data[scan->palette1024 + 4 * i + 2] >> 2);
            out->palette[3 * i + 1] = (unsigned char)(data[scan->palette1024 + 4 * i + 1] >> 2);
            out->palette[3 * i + 2] = (unsigned char)(data[scan->palette1024 + 4 * i] >> 2);
        }
        out->has_palette = 1;
    }
    return 0;
}

static inline void kesh_free_tiles(struct kesh_tiles *t)
{
    free(t->pixels);
    free(t->attributes);
    t->pixels = NULL;
    t->attributes = NULL;
    t->count = 0;
}
)";

// The map's own steps: sizes, cells, the grid, an embedded tile file.
constexpr const char* kMapCommon = R"(
/* The map size read so far, and whether the cells exist yet. */
struct kesh_map_scan {
    long width, height;
    int has_size;
};

static inline int kesh_map_size_valid(long width, long height)
{
    return width >= 1 && height >= 1 && width <= 65535 && height <= 65535 &&
           (unsigned long long)width * (unsigned long long)height <= 268435456ULL;
}

static inline int kesh_map_size(struct kesh_reader *in, int bytes, struct kesh_map_scan *scan,
                                const struct kesh_map *out)
{
    long width, height;
    int rc = kesh_read_value(in, bytes, &width);

    if (rc == 0)
        rc = kesh_read_value(in, bytes, &height);
    if (rc != 0)
        return rc;
    /* The cells were laid out for the size read before. */
    if (out->cells != NULL && (width != scan->width || height != scan->height))
        return KESH_ERR_DAMAGED;
    scan->width = width;
    scan->height = height;
    scan->has_size = 1;
    return 0;
}

/* Makes the grid of empty cells for the size read, once. */
static inline int kesh_map_grid(const struct kesh_map_scan *scan, struct kesh_map *out)
{
    size_t n, i;

    if (!scan->has_size)
        return KESH_ERR_NO_SIZE;
    if (out->cells != NULL)
        return 0;
    if (!kesh_map_size_valid(scan->width, scan->height))
        return KESH_ERR_MAP_SIZE;
    n = (size_t)scan->width * (size_t)scan->height;
    out->cells = (unsigned short *)malloc(n * sizeof *out->cells);
    if (out->cells == NULL)
        return KESH_ERR_MEMORY;
    for (i = 0; i < n; ++i)
        out->cells[i] = 0xFFFF;
    out->width = (int)scan->width;
    out->height = (int)scan->height;
    return 0;
}

/* One byte (0-255) or one 16-bit word per cell, row by row. */
static inline int kesh_map_cells(struct kesh_reader *in, int bytes,
                                 const struct kesh_map_scan *scan, struct kesh_map *out)
{
    const unsigned char *p;
    size_t n, i;
    int rc;

    if (scan->has_size && kesh_map_size_valid(scan->width, scan->height) &&
        (unsigned long long)(in->size - in->pos) <
            (unsigned long long)scan->width * (unsigned long long)scan->height * (unsigned)bytes)
        return KESH_ERR_DAMAGED;
    rc = kesh_map_grid(scan, out);
    if (rc != 0)
        return rc;
    n = (size_t)out->width * (size_t)out->height;
    if ((in->size - in->pos) / (size_t)bytes < n)
        return KESH_ERR_DAMAGED;
    p = in->data + in->pos;
    for (i = 0; i < n; ++i)
        out->cells[i] = bytes == 1 ? p[i] : (unsigned short)(p[2 * i] | p[2 * i + 1] << 8);
    in->pos += n * (size_t)bytes;
    return 0;
}
)";

// Frees the map, and its field arrays when it has them.
void FreeMapFunction(std::ostream& out, bool fieldArrays) {
    out << "\nstatic inline void kesh_free_map(struct kesh_map *m)\n"
           "{\n";
    if (fieldArrays)
        out << "    int k;\n\n"
               "    for (k = 0; k < KESH_FIELD_COUNT; ++k) {\n"
               "        free(m->field[k]);\n"
               "        m->field[k] = NULL;\n"
               "    }\n";
    out << "    free(m->cells);\n"
           "    m->cells = NULL;\n"
           "    if (m->has_tiles)\n"
           "        kesh_free_tiles(&m->tiles);\n"
           "    m->has_tiles = 0;\n"
           "}\n";
}

constexpr const char* kEnd = R"(
#endif /* KESH_READER_H */
)";

void Comment(std::ostream& out, const CodeLayout& layout) {
    const bool map = layout.map.has_value();
    out << "/*\n * kesh reader for " << (map ? "maps" : "tile files");
    if (!layout.madeFor.empty())
        out << " laid out like " << layout.madeFor;
    out << ".\n *\n";
    for (const std::string& line : codegen::LayoutLines(layout))
        out << " *   " << line << '\n';
    out << " *\n";
    for (const std::string& line : codegen::OffsetLines(layout))
        out << " * " << line << '\n';
    out << " *\n";
    for (const std::string& line : codegen::NoticeLines())
        out << " * " << line << '\n';
    out << " *\n";
    if (map) {
        out << " * Usage: kesh_read_map(data, size, &map) returns 0 and fills `map`, or a\n"
               " * negative KESH_ERR_ value; free what it holds with kesh_free_map(&map).\n";
    } else {
        out << " * Usage: kesh_read_tiles(data, size, &tiles) returns 0 and fills `tiles`, or\n"
               " * a negative KESH_ERR_ value; free what it holds with kesh_free_tiles(&tiles).\n";
    }
    out << " * Nothing is read past data + size. C99, the standard library only.\n */\n";
}

// The tile file's walk, item by item, then its assembly.
void TileFileFunction(std::ostream& out, const TileDescriptor& tile) {
    out << "\n/* Reads one tile file from the reader's position. */\n"
           "static inline int kesh_read_tile_file(struct kesh_reader *in, struct kesh_tiles *out)\n"
           "{\n"
           "    struct kesh_tile_scan scan;\n";
    const bool console = codegen::HasConsoleItems(tile);
    if (console)
        out << "    struct kesh_console_scan console;\n";
    const bool readsAny = tile.headerLength > 0 ||
                          std::any_of(tile.items.begin(), tile.items.end(),
                                      [](uint8_t code) { return TileItemText(code) != nullptr; });
    if (readsAny)
        out << "    int rc;\n";
    out << "\n    kesh_scan_start(&scan, " << tile.attrWidth << ");\n";
    if (console)
        out << "    console.pixels = console.palette = KESH_ABSENT;\n";
    if (tile.headerLength > 0)
        out << "    /* The header string: " << tile.headerLength << " bytes */\n"
            << "    if ((rc = kesh_read_header(in, " << tile.headerLength
            << ", out->header, &out->header_length)) != 0)\n        return rc;\n";
    for (const uint8_t code : tile.items) {
        const char* text = TileItemText(code);
        if (!text) {
            out << "    /* code " << int(code) << ": not an item, nothing to read */\n";
            continue;
        }
        out << "    /* " << TileItemName(code) << ": " << text << " */\n";
        switch (code) {
        case TileItem::SizeByte:
        case TileItem::SizeWord:
        case TileItem::SizeDword:
            out << "    if ((rc = kesh_scan_size(in, "
                << BytesForWidthCode(code - TileItem::SizeByte) << ", &scan)) != 0)\n";
            break;
        case TileItem::CountByte:
        case TileItem::CountWord:
        case TileItem::CountDword:
            out << "    if ((rc = kesh_scan_count(in, "
                << BytesForWidthCode(code - TileItem::CountByte) << ", &scan)) != 0)\n";
            break;
        case TileItem::TileData:
            out << "    if ((rc = kesh_scan_block(in, &scan, 1, 0)) != 0)\n";
            break;
        case TileItem::AttrData:
            out << "    if ((rc = kesh_scan_block(in, &scan, 0, 1)) != 0)\n";
            break;
        case TileItem::TileAttrData:
            out << "    if ((rc = kesh_scan_block(in, &scan, 1, 1)) != 0)\n";
            break;
        case TileItem::Palette768:
            out << "    if ((rc = kesh_scan_palette(in, 768, &scan.palette768)) != 0)\n";
            break;
        case TileItem::Palette1024:
            out << "    if ((rc = kesh_scan_palette(in, 1024, &scan.palette1024)) != 0)\n";
            break;
        case TileItem::Pixels:
            out << "    if ((rc = kesh_scan_pixels(in, &scan, &console)) != 0)\n";
            break;
        default:
            out << "    if ((rc = kesh_scan_palette(in, KESH_PALETTE_BYTES, &console.palette)) "
                   "!= 0)\n";
            break;
        }
        out << "        return rc;\n";
        // Plain pixels after a Pixels item replace its tiles.
        if ((code == TileItem::TileData || code == TileItem::TileAttrData) &&
            codegen::HasPixelsItem(tile))
            out << "    console.pixels = KESH_ABSENT;\n";
    }
    if (!console) {
        out << "    return kesh_tiles_finish(in, &scan, out);\n}\n";
        return;
    }
    out << "    if ((rc = kesh_console_check(in, &scan, &console)) != 0)\n"
           "        return rc;\n"
           "    if ((rc = kesh_tiles_finish(in, &scan, out)) != 0)\n"
           "        return rc;\n"
           "    kesh_console_finish(in, &scan, &console, out);\n"
           "    return 0;\n}\n";
}

void TilesInterface(std::ostream& out) {
    out << "\nstatic inline int kesh_read_tiles(const unsigned char *data, size_t size, "
           "struct kesh_tiles *out)\n"
           "{\n"
           "    struct kesh_reader in;\n\n"
           "    in.data = data;\n"
           "    in.size = size;\n"
           "    in.pos = 0;\n"
           "    memset(out, 0, sizeof *out);\n"
           "    return kesh_read_tile_file(&in, out);\n"
           "}\n";
}

void MapInterface(std::ostream& out, const MapDescriptor& map) {
    out << "\n/* An embedded tile file; a later one replaces an earlier one. */\n"
           "static inline int kesh_map_tiles(struct kesh_reader *in, struct kesh_map *out)\n"
           "{\n"
           "    struct kesh_tiles tiles;\n"
           "    int rc;\n\n"
           "    memset(&tiles, 0, sizeof tiles);\n"
           "    rc = kesh_read_tile_file(in, &tiles);\n"
           "    if (rc != 0)\n"
           "        return rc;\n"
           "    if (out->has_tiles)\n"
           "        kesh_free_tiles(&out->tiles);\n"
           "    out->tiles = tiles;\n"
           "    out->has_tiles = 1;\n"
           "    return 0;\n"
           "}\n";
    out << "\nstatic inline int kesh_read_map(const unsigned char *data, size_t size, "
           "struct kesh_map *out)\n"
           "{\n"
           "    struct kesh_reader in;\n"
           "    struct kesh_map_scan scan;\n"
           "    int rc;\n\n"
           "    in.data = data;\n"
           "    in.size = size;\n"
           "    in.pos = 0;\n"
           "    scan.width = scan.height = 0;\n"
           "    scan.has_size = 0;\n"
           "    memset(out, 0, sizeof *out);\n";
    if (map.headerLength > 0)
        out << "    /* The header string: " << map.headerLength << " bytes */\n"
            << "    if ((rc = kesh_read_header(&in, " << map.headerLength
            << ", out->header, &out->header_length)) != 0)\n        goto fail;\n";
    for (const uint8_t code : map.items) {
        const char* text = MapItemText(code);
        if (!text) {
            out << "    /* code " << int(code) << ": not an item, nothing to read */\n";
            continue;
        }
        out << "    /* " << MapItemName(code) << ": " << text << " */\n";
        switch (code) {
        case MapItem::SizeByte:
        case MapItem::SizeWord:
        case MapItem::SizeDword:
            out << "    if ((rc = kesh_map_size(&in, "
                << BytesForWidthCode(code - MapItem::SizeByte) << ", &scan, out)) != 0)\n";
            break;
        case MapItem::TileFile:
            out << "    if ((rc = kesh_map_tiles(&in, out)) != 0)\n";
            break;
        case MapItem::CellsByte:
            out << "    if ((rc = kesh_map_cells(&in, 1, &scan, out)) != 0)\n";
            break;
        case MapItem::CellsWord:
            out << "    if ((rc = kesh_map_cells(&in, 2, &scan, out)) != 0)\n";
            break;
        default:
            codegen::CFieldItem(out, map, code);
            continue;
        }
        out << "        goto fail;\n";
    }
    out << "    /* Without cell items the map is all empty cells. */\n"
           "    if ((rc = kesh_map_grid(&scan, out)) != 0)\n"
           "        goto fail;\n"
           "    return 0;\n\n"
           "fail:\n"
           "    kesh_free_map(out);\n"
           "    return rc;\n"
           "}\n";
}

// `text` with every `from` that starts a word put as `to`.
std::string ReplaceWord(const std::string& text, const std::string& from, const std::string& to) {
    std::string result;
    size_t at = 0;
    for (size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, hit + 1)) {
        const bool starts = hit == 0 || !(std::isalnum(static_cast<unsigned char>(text[hit - 1])) ||
                                          text[hit - 1] == '_');
        if (!starts)
            continue;
        result.append(text, at, hit - at).append(to);
        at = hit + from.size();
    }
    return result.append(text, at, std::string::npos);
}

} // namespace

std::string GenerateCReader(const CodeLayout& layout) {
    std::ostringstream out;
    Comment(out, layout);
    out << "\n#ifndef KESH_READER_H\n#define KESH_READER_H\n\n"
        << kCommon << TilesStruct(codegen::CConsoleMember(layout.tile));
    if (layout.map)
        codegen::CFieldDefinitions(out, *layout.map);
    out << MapStruct(layout.map ? codegen::CFieldMember(*layout.map) : "");
    if (layout.map) {
        out << "\n/* The reader's interface. kesh_read_map returns 0, or <0 (KESH_ERR_). */\n"
               "static int kesh_read_map(const unsigned char *data, size_t size, struct kesh_map "
               "*out);\n"
               "static void kesh_free_map(struct kesh_map *m);\n"
               "static void kesh_free_tiles(struct kesh_tiles *t);\n";
    } else {
        out << "\n/* The reader's interface. kesh_read_tiles returns 0, or <0 (KESH_ERR_). */\n"
               "static int kesh_read_tiles(const unsigned char *data, size_t size, struct "
               "kesh_tiles *out);\n"
               "static void kesh_free_tiles(struct kesh_tiles *t);\n";
    }
    out << kHelpers;
    codegen::CConsoleFunctions(out, layout.tile);
    if (layout.map) {
        out << kMapCommon;
        codegen::CFieldFunctions(out, *layout.map);
        FreeMapFunction(out, !codegen::CFieldMember(*layout.map).empty());
    }
    TileFileFunction(out, layout.tile);
    if (layout.map)
        MapInterface(out, *layout.map);
    else
        TilesInterface(out);
    out << kEnd;
    if (layout.prefix == kDefaultReaderPrefix)
        return out.str();
    // Every name at file scope, the guard included, carries the prefix, so
    // that readers of several layouts can live in one program.
    std::string upper = layout.prefix;
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return ReplaceWord(ReplaceWord(out.str(), "kesh_", layout.prefix + "_"), "KESH_", upper + "_");
}

} // namespace kesh
