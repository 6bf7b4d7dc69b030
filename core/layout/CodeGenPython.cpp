#include <sstream>

#include "layout/CodeGen.h"
#include "layout/CodeGenConsole.h"
#include "layout/CodeGenFields.h"

namespace kesh {

namespace {

// The reading steps every layout uses; they follow kesh's own reader.
constexpr const char* kHelpers = R"(

def _damaged():
    return ValueError("the file is short or does not fit the layout")


class _Reader:
    """Reads from the data, never past its end."""

    def __init__(self, data):
        self.data = bytes(data)
        self.pos = 0

    def remaining(self):
        return len(self.data) - self.pos

    def skip(self, n):
        """Moves n bytes on and returns where they start."""
        if n < 0 or n > self.remaining():
            raise _damaged()
        start = self.pos
        self.pos += n
        return start

    def value(self, size):
        """A little-endian value: 1 and 2 bytes unsigned, 4 bytes signed."""
        start = self.skip(size)
        return int.from_bytes(self.data[start:self.pos], "little", signed=size == 4)

    def header(self, length):
        """The header string: length bytes, the string ending at the first zero."""
        start = self.skip(length)
        return self.data[start:self.pos].split(b"\0", 1)[0]


def _fits(size, at, count, each):
    """Whether count records of each bytes fit between at and size."""
    return at <= size and count >= 0 and (each == 0 or count * each <= size - at)


class _TileScan:
    """What the walk through a tile file has found: sizes, count, blocks."""

    def __init__(self):
        self.width = self.height = self.count = -1
        self.tiles = self.attributes = None
        self.tiles_interleaved = self.attributes_interleaved = False
        self.palette768 = self.palette1024 = None

    def check(self):
        if self.width < 0 or self.height < 0:
            raise ValueError("the layout gives no tile size before it is needed")
        if self.count < 0:
            raise ValueError("the layout gives no tile count before it is needed")

    def size(self, reader, size):
        self.width = reader.value(size)
        self.height = reader.value(size)

    def block(self, reader, pixels, attributes):
        """Notes and skips pixels, attributes or both (each tile's pixels, then its attribute)."""
        self.check()
        each = (self.width * self.height if pixels else 0) + (_ATTR_BYTES if attributes else 0)
        here = reader.pos
        if not _fits(len(reader.data), here, self.count, each):
            raise _damaged()
        reader.skip(self.count * each)
        if pixels:
            self.tiles, self.tiles_interleaved = here, attributes
        if attributes:
            self.attributes, self.attributes_interleaved = here, pixels

    def finish(self, data, header):
        """The tiles: blank ones when the layout has no pixel block, attributes 0
        without an attribute block; with both palette forms the 1,024-byte one counts."""
        self.check()
        tile = self.width * self.height
        record = tile + _ATTR_BYTES
        if self.tiles is not None and not _fits(
            len(data), self.tiles, self.count, record if self.tiles_interleaved else tile
        ):
            raise _damaged()
        attr_record = record if self.attributes_interleaved else _ATTR_BYTES
        if self.attributes is not None and not _fits(
            len(data), self.attributes, self.count, attr_record
        ):
            raise _damaged()
        # kesh keeps tiles in ten blocks of 327,680 bytes, each tile taking 16
        # bytes more than its pixels; it refuses files with more or larger tiles.
        if self.width <= 0 or self.height <= 0 or tile + 16 > 327680:
            raise _damaged()
        if self.count > 10 * (327680 // (tile + 16)):
            raise _damaged()

        n = self.count
        if self.tiles is None:
            pixels = bytes(n * tile)
        elif self.tiles_interleaved:
            starts = [self.tiles + i * record for i in range(n)]
            pixels = b"".join(data[start:start + tile] for start in starts)
        else:
            pixels = data[self.tiles:self.tiles + n * tile]
        attributes = [0] * n
        if self.attributes is not None:
            start = self.attributes + (tile if self.attributes_interleaved else 0)
            stride = record if self.attributes_interleaved else _ATTR_BYTES
            attributes = [
                int.from_bytes(data[start + i * stride:start + i * stride + _ATTR_BYTES], "little")
                for i in range(n)
            ]
        tiles = {
            "header": header.decode("cp949", "replace"),
            "headerBytes": len(header),
            "tileWidth": self.width,
            "tileHeight": self.height,
            "attrWidth": ATTR_WIDTH,
            "tileItems": list(TILE_ITEMS),
            "tileCount": n,
            "attributes": attributes,
            "pixels": pixels,
        }
        # As kesh shows the colours: r, g, b of 0-255.
        if self.palette1024 is not None:
            p = self.palette1024  # blue, green, red, unused
            tiles["palette"] = [[data[p + 4 * i + 2], data[p + 4 * i + 1], data[p + 4 * i]]
                                for i in range(256)]
        elif self.palette768 is not None:
            p = self.palette768  # 6-bit values, shown times 4 within 8 bits
            tiles["palette"] = [[(data[p + 3 * i + c] << 2) & 255 for c in range(3)]
                                for i in range(256)]
        return tiles
)";

constexpr const char* kMapHelpers = R"(

def _map_size_valid(width, height):
    return 1 <= width <= 65535 and 1 <= height <= 65535 and width * height <= 268435456


class _MapScan:
    """The map size read so far and the cells, once there is a grid."""

    def __init__(self):
        self.width = self.height = None
        self.cells = None

    def size(self, reader, size):
        width = reader.value(size)
        height = reader.value(size)
        # The cells were laid out for the size read before.
        if self.cells is not None and (width, height) != (self.width, self.height):
            raise _damaged()
        self.width, self.height = width, height

    def grid(self):
        """The grid of empty cells (0xFFFF) for the size read, made once."""
        if self.width is None:
            raise ValueError("the layout gives no map size before it is needed")
        if self.cells is None:
            if not _map_size_valid(self.width, self.height):
                raise ValueError("the map size is not valid")
            self.cells = [0xFFFF] * (self.width * self.height)

    def read_cells(self, reader, size):
        """One byte (0-255) or one 16-bit word per cell, row by row."""
        if (
            self.width is not None
            and _map_size_valid(self.width, self.height)
            and reader.remaining() < self.width * self.height * size
        ):
            raise _damaged()
        self.grid()
        n = len(self.cells)
        start = reader.skip(n * size)
        if size == 1:
            self.cells = list(reader.data[start:start + n])
        else:
            self.cells = list(struct.unpack_from("<%dH" % n, reader.data, start))
)";

std::string PyList(const std::vector<uint8_t>& items, const char* (*nameOf)(int)) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        const char* name = nameOf(items[i]);
        out += name ? "\"" + std::string(name) + "\"" : std::to_string(items[i]);
    }
    return out + "]";
}

// The tile items as kesh-cli names them, with their parameters ("Pixels[4bpp-snes]").
std::string TileItemList(const TileDescriptor& tile) {
    const TileFormat format = codegen::FormatOf(tile);
    std::string out = "[";
    for (size_t i = 0; i < tile.items.size(); ++i) {
        if (i > 0)
            out += ", ";
        const uint8_t code = tile.items[i];
        out +=
            TileItemName(code) ? "\"" + TileItemLabel(format, code) + "\"" : std::to_string(code);
    }
    return out + "]";
}

void Docstring(std::ostream& out, const CodeLayout& layout) {
    const bool map = layout.map.has_value();
    out << "\"\"\"kesh reader for " << (map ? "maps" : "tile files");
    if (!layout.madeFor.empty())
        out << " laid out like " << layout.madeFor;
    out << ".\n\n";
    for (const std::string& line : codegen::LayoutLines(layout))
        out << "    " << line << '\n';
    out << '\n';
    for (const std::string& line : codegen::OffsetLines(layout))
        out << line << '\n';
    out << '\n';
    for (const std::string& line : codegen::NoticeLines())
        out << line << '\n';
    out << '\n';
    if (map)
        out << "read_map(data) returns a dict keyed as `kesh-cli info --cells` prints a map\n"
               "(header, headerBytes, width, height, mapItems, cells; with an embedded tile\n"
               "file also tileWidth, tileHeight, attrWidth, tileItems, tileCount, attributes,\n"
               "pixels, tileHeader and, when the file has one, palette).\n";
    else
        out << "read_tiles(data) returns a dict keyed as `kesh-cli info` prints a tile file\n"
               "(header, headerBytes, tileWidth, tileHeight, attrWidth, tileItems, tileCount,\n"
               "attributes, pixels and, when the file has one, palette).\n";
    if (codegen::HasPixelsItem(layout.tile))
        out << "The Pixels item's tiles come decoded, one byte a pixel; \"pixelEncoding\" names\n"
               "their encoding.\n";
    if (codegen::HasPaletteItem(layout.tile))
        out << "The Palette item gives \"palettes\": paletteCount lists of coloursPerPalette\n"
               "[red, green, blue] (0-255) as the hardware shows them, and \"colourEncoding\".\n";
    if (map && codegen::HasFieldItems(*layout.map))
        out << "Its \"fields\" maps each field beside the tile number (FIELD_NAMES) to a list\n"
               "of the cells' values, row by row, as the file holds them.\n";
    out << "A short or damaged file raises ValueError. Python 3, the standard library only.\n"
           "\"\"\"\n";
}

void TileFileFunction(std::ostream& out, const TileDescriptor& tile) {
    out << "\n\ndef _read_tile_file(reader):\n"
           "    \"\"\"One tile file from the reader's position.\"\"\"\n"
           "    scan = _TileScan()\n";
    const bool console = codegen::HasConsoleItems(tile);
    if (console)
        out << "    pixels_at = palette_at = None\n";
    if (tile.headerLength > 0)
        out << "    # The header string: " << tile.headerLength << " bytes\n"
            << "    header = reader.header(" << tile.headerLength << ")\n";
    else
        out << "    header = b\"\"\n";
    for (const uint8_t code : tile.items) {
        const char* text = TileItemText(code);
        if (!text) {
            out << "    # code " << int(code) << ": not an item, nothing to read\n";
            continue;
        }
        out << "    # " << TileItemName(code) << ": " << text << '\n';
        switch (code) {
        case TileItem::SizeByte:
        case TileItem::SizeWord:
        case TileItem::SizeDword:
            out << "    scan.size(reader, " << BytesForWidthCode(code - TileItem::SizeByte)
                << ")\n";
            break;
        case TileItem::CountByte:
        case TileItem::CountWord:
        case TileItem::CountDword:
            out << "    scan.count = reader.value(" << BytesForWidthCode(code - TileItem::CountByte)
                << ")\n";
            break;
        case TileItem::TileData:
            out << "    scan.block(reader, True, False)\n";
            break;
        case TileItem::AttrData:
            out << "    scan.block(reader, False, True)\n";
            break;
        case TileItem::TileAttrData:
            out << "    scan.block(reader, True, True)\n";
            break;
        case TileItem::Palette768:
            out << "    scan.palette768 = reader.skip(768)\n";
            break;
        case TileItem::Palette1024:
            out << "    scan.palette1024 = reader.skip(1024)\n";
            break;
        case TileItem::Pixels:
            out << "    pixels_at = _scan_pixels(scan, reader)\n";
            break;
        default:
            out << "    palette_at = reader.skip("
                << TileItemBytes(codegen::FormatOf(tile), code, 0) << ")\n";
            break;
        }
        // Plain pixels after a Pixels item replace its tiles.
        if ((code == TileItem::TileData || code == TileItem::TileAttrData) &&
            codegen::HasPixelsItem(tile))
            out << "    pixels_at = None\n";
    }
    if (!console) {
        out << "    return scan.finish(reader.data, header)\n";
        return;
    }
    out << "    _console_check(scan, reader.data, pixels_at, palette_at)\n"
           "    tiles = scan.finish(reader.data, header)\n"
           "    _console_finish(tiles, reader.data, pixels_at, palette_at)\n"
           "    return tiles\n";
}

void MapFunction(std::ostream& out, const MapDescriptor& map) {
    out << "\n\ndef read_map(data: bytes) -> dict:\n"
           "    \"\"\"Reads a whole map file; raises ValueError when it is short or "
           "damaged.\"\"\"\n"
           "    reader = _Reader(data)\n"
           "    scan = _MapScan()\n"
           "    tiles = None\n";
    const bool fields = codegen::HasFieldItems(map);
    if (fields)
        out << "    scan.fields = None\n";
    if (map.headerLength > 0)
        out << "    # The header string: " << map.headerLength << " bytes\n"
            << "    header = reader.header(" << map.headerLength << ")\n";
    else
        out << "    header = b\"\"\n";
    for (const uint8_t code : map.items) {
        const char* text = MapItemText(code);
        if (!text) {
            out << "    # code " << int(code) << ": not an item, nothing to read\n";
            continue;
        }
        out << "    # " << MapItemName(code) << ": " << text << '\n';
        switch (code) {
        case MapItem::SizeByte:
        case MapItem::SizeWord:
        case MapItem::SizeDword:
            out << "    scan.size(reader, " << BytesForWidthCode(code - MapItem::SizeByte) << ")\n";
            break;
        case MapItem::TileFile:
            out << "    tiles = _read_tile_file(reader)\n";
            break;
        case MapItem::CellsByte:
            out << "    scan.read_cells(reader, 1)\n";
            break;
        case MapItem::CellsWord:
            out << "    scan.read_cells(reader, 2)\n";
            break;
        default:
            codegen::PythonFieldItem(out, map, code);
            break;
        }
    }
    out << "    # Without cell items the map is all empty cells.\n"
           "    scan.grid()\n"
           "    result = {\n"
           "        \"kind\": \"map\",\n"
           "        \"header\": header.decode(\"cp949\", \"replace\"),\n"
           "        \"headerBytes\": len(header),\n"
           "        \"width\": scan.width,\n"
           "        \"height\": scan.height,\n"
           "        \"mapItems\": list(MAP_ITEMS),\n"
           "    }\n"
           "    if tiles is not None:\n"
           "        result[\"tileHeader\"] = tiles.pop(\"header\")\n"
           "        del tiles[\"headerBytes\"]\n"
           "        result.update(tiles)\n"
           "    result[\"cells\"] = scan.cells\n";
    if (fields)
        out << "    # The fields beside the tile numbers, a list per field, a value per cell.\n"
               "    result[\"fields\"] = scan.fields or {}\n";
    out << "    return result\n";
}

void TilesFunction(std::ostream& out) {
    out << "\n\ndef read_tiles(data: bytes) -> dict:\n"
           "    \"\"\"Reads a whole tile file; raises ValueError when it is short or "
           "damaged.\"\"\"\n"
           "    tiles = _read_tile_file(_Reader(data))\n"
           "    result = {\"kind\": \"tileset\"}\n"
           "    result.update(tiles)\n"
           "    return result\n";
}

} // namespace

std::string GeneratePythonReader(const CodeLayout& layout) {
    std::ostringstream out;
    Docstring(out, layout);
    out << '\n';
    if (layout.map)
        out << "import struct\n\n";
    out << "__all__ = [\"" << (layout.map ? "read_map" : "read_tiles") << "\"]\n\n";
    if (layout.map)
        out << "MAP_ITEMS = " << PyList(layout.map->items, MapItemName) << '\n';
    if (layout.map && codegen::HasFieldItems(*layout.map)) {
        out << "FIELD_NAMES = [";
        const std::vector<std::string> names = codegen::FieldNames(*layout.map);
        for (size_t k = 0; k < names.size(); ++k)
            out << (k ? ", " : "") << '"' << names[k] << '"';
        out << "]\n";
    }
    out << "TILE_ITEMS = " << TileItemList(layout.tile) << '\n';
    out << "ATTR_WIDTH = " << layout.tile.attrWidth << '\n';
    out << "_ATTR_BYTES = " << AttrBytesFor(layout.tile.attrWidth) << '\n';
    out << kHelpers;
    codegen::PythonConsoleFunctions(out, layout.tile);
    if (layout.map) {
        out << kMapHelpers;
        if (codegen::HasFieldItems(*layout.map))
            codegen::PythonFieldFunctions(out, *layout.map);
    }
    TileFileFunction(out, layout.tile);
    if (layout.map)
        MapFunction(out, *layout.map);
    else
        TilesFunction(out);
    return out.str();
}

} // namespace kesh
