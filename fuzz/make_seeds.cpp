// Writes the seed corpus of every fuzz target, made with the program's own
// writers: kesh_fuzz_seeds OUTDIR makes OUTDIR/<target>/<name> for each seed,
// after checking that its reader accepts it. The committed seeds in
// fuzz/corpus/ come from `rm -r fuzz/corpus && kesh_fuzz_seeds fuzz/corpus`.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EncodedTilesInput.h"
#include "FuzzSupport.h"
#include "TmxFilesInput.h"
#include "TmxFuzzInput.h"
#include "base/Messages.h"
#include "image/PaletteFile.h"
#include "io/InputLimits.h"
#include "layout/Descriptor.h"
#include "map/MapBitmapExport.h"
#include "map/MapFile.h"
#include "raster/ImageDecoders.h"
#include "support/TerrainSets.h"
#include "support/TestImages.h"
#include "terrain/TerrainFile.h"
#include "tileset/AddTileFile.h"
#include "tileset/EncodedTiles.h"
#include "tileset/TileSheetExport.h"
#include "tmx/TmxExport.h"
#include "tmx/TmxImport.h"

// Designated initializers name only the fields a case cares about.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using namespace kesh;
using Bytes = std::vector<uint8_t>;

namespace {

std::filesystem::path g_out;
int g_failures = 0;

void Save(const std::string& target, const std::string& name, const Bytes& bytes,
          const Status& check) {
    if (!check) {
        std::fprintf(stderr, "%s/%s is not read back: %s\n", target.c_str(), name.c_str(),
                     check.message().c_str());
        ++g_failures;
        return;
    }
    const auto dir = g_out / target;
    std::filesystem::create_directories(dir);
    std::ofstream file(dir / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
        ++g_failures;
    }
}

// A small tile set with distinct tiles and a palette of its own.
TileSet MakeTiles(const TileFormat& format, int count) {
    TileSet set;
    set.format() = format;
    set.InitTileSet();
    const size_t tileBytes = size_t(format.width) * size_t(format.height);
    // Pixels a console encoding stores, when the layout has one.
    const uint8_t mask = format.HasParamItems() ? LargestPixel(format.params.pixels) : 0xFF;
    for (int t = 0; t < count; ++t) {
        Bytes pixels(tileBytes);
        for (size_t i = 0; i < tileBytes; ++i)
            pixels[i] = uint8_t((t * 16 + i) & mask);
        set.tiles().Append(pixels.data(), uint32_t(t == 1 ? 260 : t * 0x01010101));
    }
    Palette palette;
    for (size_t i = 0; i < palette.rgb.size(); ++i)
        palette.rgb[i] = uint8_t((i * 7) % 64);
    set.SetPalette(palette);
    return set;
}

TileFormat Layout(std::string header, int32_t size, AttrWidth attrWidth, Bytes items) {
    TileFormat format;
    format.header = std::move(header);
    format.width = size;
    format.height = size;
    format.attrWidth = attrWidth;
    format.items = std::move(items);
    return format;
}

// A layout with the console items and their parameters.
TileFormat Console(int32_t size, Bytes items, PixelEncoding pixels, ColourEncoding colours, int k,
                   int p) {
    TileFormat format = Layout("", size, 0, std::move(items));
    format.params = {pixels, colours, uint16_t(k), uint16_t(p)};
    return format;
}

// The tile layouts the seeds use: every item and width at least once.
std::vector<std::pair<std::string, TileFormat>> TileLayouts() {
    using namespace TileItem;
    return {
        {"default", Layout("", 4, 0, {SizeByte, CountWord, TileData, AttrData, Palette768})},
        {"combined", Layout("", 4, 1, {SizeWord, CountByte, TileAttrData})},
        {"dword", Layout("TILES", 3, 2, {SizeDword, CountDword, TileAttrData, Palette1024})},
        {"both-palettes",
         Layout("H", 2, 0, {Palette1024, SizeByte, CountByte, TileData, Palette768, 200})},
        {"attributes-first", Layout("", 2, 2, {CountWord, SizeWord, AttrData, TileData})},
        {"count-only", Layout("", 2, 0, {SizeByte, CountByte})},
        {"console-snes", Console(8, {TileItem::Palette, SizeByte, CountByte, Pixels}, PixelEncoding::Planar4Snes,
                                 ColourEncoding::Bgr555, 16, 1)},
        {"console-nes", Console(16, {SizeWord, CountWord, TileItem::Palette, Pixels}, PixelEncoding::Planar2Nes,
                                ColourEncoding::Nes, 4, 4)},
        {"console-md", Console(8, {SizeByte, CountByte, Pixels, AttrData, TileItem::Palette},
                               PixelEncoding::Packed4High, ColourEncoding::MegaDrive, 16, 2)},
        {"console-gb", Console(8, {SizeByte, CountByte, TileData, Pixels, TileItem::Palette},
                               PixelEncoding::Planar2Rows, ColourEncoding::Rgb888, 4, 1)},
    };
}

Bytes TileFileOf(const TileSet& set) {
    ByteWriter out;
    set.WriteTileFile(out);
    return out.take();
}

Status ReadsTileFile(const Bytes& ktf, const Bytes& til) {
    TileDescriptor layout;
    if (Status st = ParseKtf(ktf, layout); !st)
        return st;
    TileSet set;
    set.format().items = layout.items;
    set.format().attrWidth = layout.attrWidth;
    set.format().params = layout.params;
    ByteReader in(til);
    return set.ReadTileFile(in, layout.headerLength);
}

void TileSeeds() {
    for (const auto& [name, format] : TileLayouts()) {
        const TileSet set = MakeTiles(format, name == "count-only" ? 1 : 3);
        const Bytes ktf = BuildKtf(set.format());
        const Bytes til = TileFileOf(set);
        const Status ok = ReadsTileFile(ktf, til);
        Save("fuzz_ktf", name, ktf, ok);
        Save("fuzz_tilefile", name, fuzz::JoinInput(ktf, til), ok);
        Bytes roundTrip = {0};
        const Bytes joined = fuzz::JoinInput(ktf, til);
        roundTrip.insert(roundTrip.end(), joined.begin(), joined.end());
        Save("fuzz_roundtrip", "tiles-" + name, roundTrip, ok);

        // Added to a set of the same size that already holds the first tile.
        TileSet target = MakeTiles(format, 1);
        TileDescriptor layout;
        ParseKtf(ktf, layout);
        const AddTileFileResult added = AddTileFile(target, til, layout);
        Bytes addInput =
            fuzz::JoinInput(ktf, Bytes{uint8_t(format.width), uint8_t(format.height), 0});
        addInput.insert(addInput.end(), til.begin(), til.end());
        Save("fuzz_addtiles", name, addInput, added.status);
    }
    // A file without size item, its size set by hand.
    const TileFormat byHand = Layout("", 4, 0, {TileItem::CountByte, TileItem::TileData});
    const TileSet set = MakeTiles(byHand, 2);
    TileDescriptor layout;
    const Bytes ktf = BuildKtf(set.format());
    ParseKtf(ktf, layout);
    const Bytes til = TileFileOf(set);
    TileSet target = MakeTiles(byHand, 0);
    Bytes addInput = fuzz::JoinInput(ktf, Bytes{4, 4, 1});
    addInput.insert(addInput.end(), til.begin(), til.end());
    Save("fuzz_addtiles", "size-by-hand", addInput, AddTileFile(target, til, layout, 4, 4).status);
}

MapModel MakeMap(Bytes items, std::string header, int32_t width, int32_t height) {
    MapModel map;
    map.format().items = std::move(items);
    map.format().header = std::move(header);
    map.AllocateCells(width, height);
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = i % 5 == 4 ? kEmptyCell : uint16_t(i % 3);
    return map;
}

// A map whose cells carry fields: the preset's layout (or `cells`) with
// flips, palettes, priority and a user bit set in turn.
MapModel FieldMap(Bytes items, const CellLayout& cells, int32_t width, int32_t height) {
    MapModel map;
    map.format().items = std::move(items);
    map.format().cells = cells;
    map.AllocateCells(width, height);
    const uint16_t mask = map.format().AttrMask();
    const int palettes = map.format().PaletteCount();
    for (size_t i = 0; i < map.cells().size(); ++i) {
        map.cells()[i] = i % 5 == 4 ? kEmptyCell : uint16_t(i * 7 % 300);
        map.attrs()[i] = uint16_t(cellbit::WithPalette(uint16_t(i), int(i) % palettes) & mask);
    }
    return map;
}

CellLayout PresetCells(const char* name) {
    bool plane = false;
    return *CellPresetLayout(name, plane);
}

void MapSeeds() {
    using namespace MapItem;
    const TileSet tiles = MakeTiles(TileLayouts()[0].second, 3);
    const TileSet dwordTiles = MakeTiles(TileLayouts()[2].second, 3);
    struct Seed {
        std::string name;
        MapModel map;
        const TileSet* tiles;
    };
    const std::vector<Seed> seeds = {
        {"default", MakeMap({SizeByte, CellsByte, TileFile}, "", 4, 3), &tiles},
        {"words", MakeMap({SizeWord, CellsWord}, "HDR", 3, 2), &tiles},
        {"dword-tiles-first", MakeMap({TileFile, SizeDword, CellsWord, 9}, "MAP", 2, 2),
         &dwordTiles},
        {"no-cells", MakeMap({SizeByte}, "", 3, 3), &tiles},
        {"twice", MakeMap({SizeByte, CellsByte, CellsWord, SizeByte, TileFile, TileFile}, "", 2, 3),
         &tiles},
        {"fields-snes", FieldMap({SizeWord, CellFields, TileFile}, PresetCells("snes"), 4, 3),
         &tiles},
        {"fields-gba", FieldMap({SizeWord, CellFields}, PresetCells("gba"), 3, 2), &tiles},
        {"fields-sms", FieldMap({SizeWord, CellFields}, PresetCells("sms"), 3, 2), &tiles},
        {"fields-pce", FieldMap({SizeWord, CellFields}, PresetCells("pce"), 3, 2), &tiles},
        // Two screens across, the second cut short, the table after the cells.
        {"nes-table", FieldMap({SizeWord, CellsByte, NesAttributes}, CellLayout{}, 34, 3),
         &tiles},
        {"fields-megadrive", FieldMap({SizeDword, CellFields}, PresetCells("megadrive"), 3, 3),
         &tiles},
        {"fields-gbc",
         FieldMap({SizeWord, CellsByte, CellAttributes, TileFile}, PresetCells("gbc"), 4, 2),
         &tiles},
        {"fields-32-users-twice",
         FieldMap(
             {SizeByte, CellAttributes, CellFields, CellsWord, CellFields},
             CellLayout{{32,
                         true,
                         {{CellFieldKind::User, 0, 1, "solid"},
                          {CellFieldKind::Tile, 4, 16, ""},
                          {CellFieldKind::User, 31, 1, "water"}}},
                        {16,
                         false,
                         {{CellFieldKind::Palette, 11, 5, ""}, {CellFieldKind::HFlip, 3, 1, ""}}},
                        8},
             3, 2),
         &tiles},
    };
    for (const auto& seed : seeds) {
        ByteWriter out;
        Status ok = WriteMapFile(seed.map, *seed.tiles, out);
        const Bytes kmf = BuildKmf(seed.map.format(), seed.tiles->format());
        if (ok) {
            MapModel map;
            TileSet read;
            ok = ReadMapFile(out.bytes(), kmf, map, read);
        }
        Save("fuzz_kmf", seed.name, kmf, ok);
        const Bytes joined = fuzz::JoinInput(kmf, out.bytes());
        Save("fuzz_map", seed.name, joined, ok);
        Bytes roundTrip = {1};
        roundTrip.insert(roundTrip.end(), joined.begin(), joined.end());
        Save("fuzz_roundtrip", "map-" + seed.name, roundTrip, ok);
    }
}

void Put16(Bytes& b, size_t at, int v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

// An 8-bit PCX: 128-byte header, the pixels (run-length coded or not), then
// the 0x0C marker and the 768-byte palette.
Bytes Pcx(int width, int height, bool runLength) {
    Bytes b(128, 0);
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = runLength ? 1 : 0;
    b[3] = 8;
    Put16(b, 8, width - 1);
    Put16(b, 10, height - 1);
    b[65] = 1;
    Put16(b, 66, width);
    for (int i = 0; i < width * height;) {
        const uint8_t value = uint8_t(i / 3 * 0x31);
        if (runLength && i + 3 <= width * height) {
            b.push_back(0xC3); // three pixels of one value
            b.push_back(value);
            i += 3;
        } else {
            if (runLength && value >= 0xC0)
                b.push_back(0xC1);
            b.push_back(value);
            ++i;
        }
    }
    b.push_back(0x0C);
    for (int i = 0; i < 768; ++i)
        b.push_back(uint8_t(i * 5));
    return b;
}

void ImageSeeds() {
    Image image;
    for (const auto& [name, bytes] :
         {std::pair<std::string, Bytes>{"rle-7x3", Pcx(7, 3, true)}, {"raw-4x2", Pcx(4, 2, false)}})
        Save("fuzz_pcx", name, bytes, LoadPcx(bytes, image));

    // A tile sheet as exported, and a 3 x 2 image whose rows are padded to 4 bytes.
    const TileSet tiles = MakeTiles(TileLayouts()[4].second, 3);
    const Bytes sheet = BuildTileSheet(tiles);
    Save("fuzz_bmp", "tile-sheet", sheet, LoadBmp(sheet, image));
    const auto header = MapBitmapHeader(3, 2, tiles.colourTable());
    Bytes small(header.begin(), header.end());
    for (uint8_t v : {1, 2, 3, 0, 4, 5, 6, 0})
        small.push_back(v);
    Save("fuzz_bmp", "padded-3x2", small, LoadBmp(small, image));

    // The headers other programs write: OS/2, version 4 and 5 with a short
    // colour table, top-down, 1 and 4 bits, RLE8 with runs, literals and deltas.
    Bytes table;
    for (int i = 0; i < 16; ++i)
        table.insert(table.end(), {uint8_t(i * 16), uint8_t(255 - i), uint8_t(i), 0});
    const Bytes os2Table(table.begin(), table.begin() + 12);
    const std::pair<std::string, Bytes> bmps[] = {
        {"os2-3x2",
         test::MakeBmp(12, 3, 2, 8, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 0, 2, 1, 0, 0})},
        {"v4-16-colours", test::MakeBmp(108, 4, 2, 8, 0, 16, table, Bytes(8, 5))},
        {"v5-top-down", test::MakeBmp(124, 4, -2, 8, 0, 16, table, {1, 2, 3, 4, 5, 6, 7, 8})},
        {"1-bit", test::MakeBmp(40, 9, 2, 1, 0, 2, Bytes(table.begin(), table.begin() + 8),
                                {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0})},
        {"4-bit", test::MakeBmp(40, 3, 2, 4, 0, 16, table, {0x12, 0x30, 0, 0, 0xAB, 0xC0, 0, 0})},
        {"rle8", test::MakeBmp(40, 6, 4, 8, 1, 16, table,
                               {3, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 1, 1, 2, 9, 0, 1})},
    };
    for (const auto& [name, bytes] : bmps)
        Save("fuzz_bmp", name, bytes, LoadBmp(bytes, image));

    // PNGs of every colour type and the bit depths that go with them.
    std::vector<png_color> colours;
    for (int i = 0; i < 16; ++i)
        colours.push_back({uint8_t(i * 16), uint8_t(i), uint8_t(255 - i)});
    const auto samples = [](size_t n, int mod) {
        Bytes s(n);
        for (size_t i = 0; i < n; ++i)
            s[i] = uint8_t(int(i * 5) % mod);
        return s;
    };
    const std::pair<std::string, test::PngRecipe> pngs[] = {
        {"palette-1",
         {.width = 9,
          .height = 3,
          .bitDepth = 1,
          .samples = samples(27, 2),
          .palette = {colours[0], colours[15]}}},
        {"palette-4-interlaced",
         {.width = 9,
          .height = 9,
          .bitDepth = 4,
          .interlaced = true,
          .samples = samples(81, 16),
          .palette = colours}},
        {"palette-8", {.width = 8, .height = 4, .samples = samples(32, 16), .palette = colours}},
        {"grey-2",
         {.width = 5,
          .height = 2,
          .colourType = PNG_COLOR_TYPE_GRAY,
          .bitDepth = 2,
          .samples = samples(10, 4)}},
        {"grey-alpha-16",
         {.width = 3,
          .height = 2,
          .colourType = PNG_COLOR_TYPE_GRAY_ALPHA,
          .bitDepth = 16,
          .samples = samples(24, 256)}},
        {"rgb-8",
         {.width = 4, .height = 3, .colourType = PNG_COLOR_TYPE_RGB, .samples = samples(36, 256)}},
        {"rgba-8",
         {.width = 3,
          .height = 3,
          .colourType = PNG_COLOR_TYPE_RGB_ALPHA,
          .samples = samples(36, 256)}},
    };
    for (const auto& [name, recipe] : pngs) {
        const Bytes bytes = test::MakePng(recipe);
        Save("fuzz_png", name, bytes, LoadPng(bytes, image));
    }

    // Palette files, both kinds.
    const std::pair<std::string, std::string> palettes[] = {
        {"gimp", "GIMP Palette\nName: Town\nColumns: 4\n#\n255   0   0\tRed\n  0 128 255 Sky\n"},
        {"jasc", "JASC-PAL\r\n0100\r\n3\r\n0 0 0\r\n128 64 32\r\n255 255 255\r\n"},
    };
    Palette palette;
    for (const auto& [name, text] : palettes) {
        const Bytes bytes(text.begin(), text.end());
        Save("fuzz_palette", name, bytes, LoadPaletteFile(bytes, palette));
    }
}

// Tiled maps from the test writer (every encoding, tile set kind, infinite
// maps) and the export, with their files after them.
void TmxSeeds() {
    TileSet tiles = MakeTiles(TileLayouts()[4].second, 5);
    tiles.tiles().SetAttributeAt(2, 0xFFFFFFF0u);
    MapModel map;
    map.AllocateCells(4, 4);
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = i % 6 == 5 ? kEmptyCell : uint16_t(i % 5);
    struct Case {
        std::string name;
        test::TmxSampleOptions options;
    };
    using E = test::TmxEncoding;
    const Case cases[] = {
        {"csv", {E::Csv, 1, 3, false, 0}},
        {"xml", {E::Xml, 1, 2, false, 0}},
        {"base64", {E::Base64, 2, 2, false, 0}},
        {"zlib-tsx", {E::Zlib, 1, 3, true, 0}},
        {"gzip-2-sets", {E::Gzip, 2, 2, true, 0}},
        {"infinite-csv", {E::Csv, 1, 3, false, 2}},
        {"infinite-zlib", {E::Zlib, 2, 1, false, 2}},
    };
    for (const Case& c : cases) {
        test::MemoryLoader files;
        const std::string tmx = test::MakeTmx(tiles, 4, 4, map.cells(), c.options, files);
        const Bytes input = fuzz::JoinTmxInput(tmx, files);
        test::MemoryLoader check;
        const std::string_view text = fuzz::SplitTmxInput(input.data(), input.size(), check);
        Save("fuzz_tmx", c.name, input,
             ImportTmx(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), check,
                       {})
                 .status);
    }
    test::MemoryLoader files;
    files.files["m-tiles.png"] = BuildTmxSheet(tiles);
    const std::string tmx = BuildTmx(map, tiles, "m", "m-tiles.png");
    Save("fuzz_tmx", "export", fuzz::JoinTmxInput(tmx, files),
         ImportTmx(Bytes(tmx.begin(), tmx.end()), files, {}).status);
}

// The import through the folder loader over a file system in memory: the
// maps above with their tile sets in a folder, one image named by many tile
// sets (also through a link), and an image that is a FIFO.
Status ImportFromFiles(const Bytes& input) {
    test::MemoryFileSystem fs;
    fuzz::PlaceTmxFiles(input.data(), input.size(), fs);
    FolderLoader loader(fs, std::string(fuzz::kTmxFilesFolder));
    return ImportTmx(*fs.readFile(std::string(fuzz::kTmxFilesMap), kMaxTmxBytes), loader, {})
        .status;
}

void TmxFilesSeeds() {
    TileSet tiles = MakeTiles(TileLayouts()[4].second, 4);
    MapModel map;
    map.AllocateCells(4, 2);
    for (size_t i = 0; i < map.cells().size(); ++i)
        map.cells()[i] = uint16_t(i % 4);
    for (const bool external : {false, true}) {
        test::MemoryLoader files;
        test::TmxSampleOptions options;
        options.sheets = 2;
        options.external = external;
        const Bytes input =
            fuzz::JoinTmxInput(test::MakeTmx(tiles, 4, 2, map.cells(), options, files), files);
        Save("fuzz_tmxfs", external ? "tsx" : "embedded", input, ImportFromFiles(input));
    }
    // Four tile sets of one sheet: by its name, through a link, and from a subfolder.
    test::MemoryLoader files;
    files.files["sheet.png"] = test::SheetPng(tiles, 0, 4, 2);
    const std::string link = "@@link sheet.png";
    files.files["link.png"] = Bytes(link.begin(), link.end());
    const std::string gids[] = {"1", "5", "9", "13"};
    const std::string images[] = {"sheet.png", "link.png", "./sheet.png", "../sheet.png"};
    std::string sets;
    for (int s = 0; s < 4; ++s) {
        const std::string text = test::TilesetText(tiles, 0, 4, 2, images[s], "");
        if (s < 3) {
            sets += "<tileset firstgid=\"" + gids[s] + "\"" + text.substr(8);
        } else {
            files.files["sets/s.tsx"] = Bytes(text.begin(), text.end());
            sets += "<tileset firstgid=\"13\" source=\"sets/s.tsx\"/>";
        }
    }
    const int32_t tw = tiles.tileWidth(), th = tiles.tileHeight();
    const std::string head =
        "<map orientation=\"orthogonal\" width=\"4\" height=\"1\" tilewidth=\"" +
        std::to_string(tw) + "\" tileheight=\"" + std::to_string(th) + "\">";
    const std::string layer = "<layer name=\"a\" width=\"4\" height=\"1\"><data "
                              "encoding=\"csv\">1,6,11,16</data></layer></map>";
    const Bytes shared = fuzz::JoinTmxInput(head + sets + layer, files);
    Save("fuzz_tmxfs", "one-sheet-many-sets", shared, ImportFromFiles(shared));
    // The same with the sheet a FIFO: refused as no regular file.
    files.files["sheet.png"] = Bytes{'@', '@', 'f', 'i', 'f', 'o'};
    const Bytes fifo = fuzz::JoinTmxInput(head + sets + layer, files);
    const Status refused = ImportFromFiles(fifo);
    Save("fuzz_tmxfs", "fifo-sheet", fifo,
         refused.message().rfind(msg::kNotRegularFile, 0) == 0 ? Status::Ok() : refused);
}

} // namespace

// One seed per pixel encoding, each with a palette in one of the colour
// encodings: two tiles of 16 x 8 drawn from every value the encoding holds.
void EncodedTileSeeds() {
    for (int e = 0; e < kPixelEncodingCount; ++e) {
        const auto pixels = PixelEncoding(e);
        const auto colours = ColourEncoding(e % kColourEncodingCount);
        TileList tiles;
        tiles.Setup(16, 8);
        for (int t = 0; t < 2; ++t) {
            Bytes tile(128);
            for (size_t i = 0; i < tile.size(); ++i)
                tile[i] = uint8_t((i * 37 + size_t(t) * 11) & LargestPixel(pixels));
            tiles.Append(tile.data(), 0);
        }
        ByteWriter tileBytes;
        WriteEncodedTiles(tiles, pixels, tileBytes);
        ColourTable table{};
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = uint8_t(i * 29);
        Bytes palette(size_t(PaletteBytes(colours, 4)));
        EncodeColours(colours, table, 0, 4, palette.data());
        TileList check;
        check.Setup(16, 8);
        Save("fuzz_encodedtiles", std::string(PixelEncodingName(pixels)),
             fuzz::BuildEncodedTilesInput(pixels, colours, 16, 8, palette, tileBytes.bytes()),
             ReadEncodedTiles(tileBytes.bytes(), pixels, 2, check));
    }
}

// Terrain set files: a corner set, a blob set, and one with comments,
// blank lines and CRLF line ends.
void TerrainSeeds() {
    const auto save = [](const std::string& name, const std::string& text) {
        TerrainSet check;
        Save("fuzz_terrain", name, Bytes(text.begin(), text.end()),
             ReadTerrainFile(std::span<const uint8_t>(
                                 reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                             check));
    };
    save("corner", WriteTerrainFile(terrainsets::CornerSet16()));
    save("blob", WriteTerrainFile(terrainsets::BlobSet48()));
    save("comments", "kesh-terrain 1\r\n# 물과 풀\r\n\r\nkind corner\r\nterrain 물\r\n"
                     "terrain 풀 밭\r\n  # 가운데\r\ntile 0 0 0 0 0\r\ntile 7 1 1 1 0\r\n");
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    g_out = argv[1];
    TileSeeds();
    MapSeeds();
    ImageSeeds();
    TmxSeeds();
    TmxFilesSeeds();
    EncodedTileSeeds();
    TerrainSeeds();
    if (g_failures > 0)
        return 1;
    std::printf("seeds written to %s\n", g_out.c_str());
    return 0;
}
