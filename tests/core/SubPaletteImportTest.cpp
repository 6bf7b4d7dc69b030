// Image import with "팔레트 P개 × 색 K개": palettes worked out by hand for
// pictures of 2 x 2 tiles drawn in letters (tests/support/LetterPictures.h).
#include <gtest/gtest.h>

#include "image/AssignPalettes.h"
#include "image/ImportImage.h"
#include "layout/CellFields.h"
#include "support/LetterPictures.h"
#include "support/TestTiles.h"

using namespace kesh;
using kesh::test::LetterPicture;

namespace {

using Palettes = std::vector<std::vector<uint32_t>>;
using Pixels = std::vector<std::vector<uint8_t>>;

constexpr uint32_t k0 = 0x000000, kR = 0xFF0000, kG = 0x00FF00, kB = 0x0000FF, kW = 0xFFFFFF;
constexpr uint16_t kH = cellbit::kHFlip;

// A cell's attribute word showing palette `p`.
constexpr uint16_t P(int p, uint16_t flips = 0) {
    return cellbit::WithPalette(flips, p);
}

struct Picture {
    std::vector<std::string> rows;
    bool indexed = false;
    bool pad = false;
};

struct Options {
    int palettes, colours, area = 1;
    ColourEncoding encoding = ColourEncoding::Rgb888;
    bool flips = false;
};

// The set's tiles' pixels.
Pixels TilesOf(const TileSet& set) {
    Pixels tiles;
    for (int t = 0; t < set.count(); ++t)
        tiles.emplace_back(set.tiles().PixelsAt(t),
                           set.tiles().PixelsAt(t) + set.tiles().tileSize());
    return tiles;
}

ImportResult Import(TileSet& set, const Picture& picture, const Options& o,
                    PaletteAssigner assign = {}) {
    ImportOptions options;
    options.makeMap = true;
    options.pad = picture.pad;
    options.flips = o.flips;
    options.subPalettes = {o.palettes, o.colours, o.area, o.encoding, std::move(assign)};
    return ImportImage(set, LetterPicture(picture.rows, picture.indexed), options);
}

// Palette p's colours fill entries p x K on, entries no palette fills take colour 0.
void ExpectColourTable(const TileSet& set, const Palettes& palettes, const Options& o) {
    for (size_t p = 0; p < size_t(o.palettes); ++p)
        for (size_t i = 0; i < size_t(o.colours); ++i) {
            const uint32_t want =
                p < palettes.size() && i < palettes[p].size() ? palettes[p][i] : palettes[0][0];
            const uint8_t* e = set.colourTable() + 4 * (p * size_t(o.colours) + i);
            EXPECT_EQ(uint32_t(e[2] << 16 | e[1] << 8 | e[0]), want) << "entry " << p << "," << i;
        }
}

} // namespace

TEST(SubPaletteImportTest, PalettesTilesAndCellsWorkedByHand) {
    struct Case {
        const char* name;
        Picture picture;
        Options options;
        Palettes palettes;
        Pixels tiles;
        std::vector<uint16_t> cells, attrs;
    };
    const Case cases[] = {
        // Colour 0 is black, in both tiles; each palette's own colours follow
        // in increasing order.
        {"per tile",
         {{".r.b", "rgb."}},
         {2, 3},
         {{k0, kG, kR}, {k0, kB}},
         {{0, 2, 2, 1}, {0, 1, 1, 0}},
         {0, 1},
         {P(0), P(1)}},
        // White is in more tiles than red or blue; one palette takes both.
        {"colour 0 the colour in most tiles",
         {{"wrwb", "rwbw"}},
         {1, 3},
         {{kW, kB, kR}},
         {{0, 2, 2, 0}, {0, 1, 1, 0}},
         {0, 1},
         {P(0), P(0)}},
        {"a tile reused with two palettes counts once",
         {{".r.b", "r.b."}},
         {2, 2},
         {{k0, kR}, {k0, kB}},
         {{0, 1, 1, 0}},
         {0, 0},
         {P(0), P(1)}},
        // Two NES areas of 2 x 2 tiles: red and green share one palette.
        {"areas of 2 x 2 tiles",
         {{"r...b...", "....b...", "..g.....", "..gg...b"}},
         {2, 3, 2},
         {{k0, kG, kR}, {k0, kB}},
         {{2, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {1, 0, 1, 1}, {0, 0, 0, 1}},
         {0, 1, 2, 1, 1, 3, 1, 4},
         {P(0), P(0), P(1), P(1), P(0), P(0), P(1), P(1)}},
        {"the same picture per tile",
         {{"r...b...", "....b...", "..g.....", "..gg...b"}},
         {3, 2},
         {{k0, kR}, {k0, kB}, {k0, kG}},
         {{1, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 1, 0}, {1, 0, 1, 1}, {0, 0, 0, 1}},
         {0, 1, 2, 1, 1, 3, 1, 4},
         {P(0), P(0), P(1), P(0), P(0), P(2), P(0), P(1)}},
        // A mirror image in another palette is the same tile, flipped.
        {"flips across palettes",
         {{"r..b", "...."}, false, false},
         {2, 2, 1, ColourEncoding::Rgb888, true},
         {{k0, kR}, {k0, kB}},
         {{1, 0, 0, 0}},
         {0, 0},
         {P(0), P(1, kH)}},
        // The padding of the cut tile is colour 0, not a colour of its own.
        {"padding takes colour 0",
         {{"wrb", "www"}, false, true},
         {2, 2},
         {{kW, kR}, {kW, kB}},
         {{0, 1, 0, 0}, {1, 0, 0, 0}},
         {0, 1},
         {P(0), P(1)}},
        // 0xFC0000 and 0xFF0000 are one SNES colour; grey 0x80 is 0x84 there.
        {"colours reduced to the encoding",
         {{"rRo.", "...."}},
         {1, 3, 1, ColourEncoding::Bgr555},
         {{k0, 0x848484, kR}},
         {{2, 2, 0, 0}, {1, 0, 0, 0}},
         {0, 1},
         {P(0), P(0)}},
        // A palette picture's colours are its palette's at 6 bits, times 4.
        {"palette picture",
         {{".r", "R."}, true},
         {1, 3},
         {{k0, 0xFC0000}},
         {{0, 1, 1, 0}},
         {0},
         {P(0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileSet set = test::EmptyTileSet(2, 2);
        const ImportResult r = Import(set, c.picture, c.options);
        ASSERT_TRUE(r.status) << r.status.message();
        EXPECT_EQ(r.subPalettes.palettes, c.palettes);
        EXPECT_EQ(TilesOf(set), c.tiles);
        EXPECT_EQ(r.added, int64_t(c.tiles.size()));
        EXPECT_EQ(r.cells, c.cells);
        EXPECT_EQ(r.attrs, c.attrs);
        ExpectColourTable(set, c.palettes, c.options);
    }
}

TEST(SubPaletteImportTest, RefusalsNameThePlaceAndChangeNothing) {
    struct Case {
        const char* name;
        Picture picture;
        Options options;
        const char* refusal;
    };
    const Case cases[] = {
        {"no packing",
         {{"rgb.", "...."}},
         {1, 3},
         "그림의 (2, 0) 위치의 타일의 색을 팔레트 1개 × 색 3개 안에 나누어 넣을 수 없습니다."},
        {"a tile with more colours than a palette",
         {{"..rg", "..b."}},
         {4, 3},
         "그림의 (2, 0) 위치의 타일은 0번 색 말고도 색이 3개여서"},
        {"an area with more colours than a palette",
         {{"r...b...", "....b...", "..g.....", "..gg...b"}},
         {4, 2, 2},
         "그림의 (0, 0) 위치의 4×4 영역은 0번 색 말고도 색이 2개여서"},
        // Without reduction the two reds are two colours.
        {"colours not reduced",
         {{"rR..", "...."}},
         {1, 2},
         "그림의 (0, 0) 위치의 타일은 0번 색 말고도 색이 2개여서"},
        {"more palettes than cells name", {{"r.", ".."}}, {33, 2}, "32개까지만"},
        {"colours past the set's table", {{"r.", ".."}}, {17, 16}, "256색에 들어가지 않습니다"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileSet set;
        test::MakeTiles(set, 2, 2, 3);
        const test::TileSetState before(set);
        const ImportResult r = Import(set, c.picture, c.options);
        ASSERT_FALSE(r.status);
        EXPECT_NE(r.status.message().find(c.refusal), std::string::npos) << r.status.message();
        EXPECT_TRUE(test::TileSetState(set) == before);
        EXPECT_TRUE(r.cells.empty());
    }
}

// The step that assigns palettes can be another than the packer; what it
// gives must keep to P x K, or nothing is imported.
TEST(SubPaletteImportTest, AnotherAssignerIsUsedAndHeldToPByK) {
    const Picture picture{{".r.b", "r.b."}};
    const SubPalettes fair{{{k0, kB, kR}}, {0, 0}};
    struct Case {
        const char* name;
        SubPalettes gives;
        bool kept;
    };
    const Case cases[] = {
        {"its own palettes", fair, true},
        {"more palettes than P", {{{k0, kR}, {k0, kB}, {k0}}, {0, 1}}, false},
        {"more colours than K", {{{k0, kB, kR, kW}}, {0, 0}}, false},
        {"a place without a palette", {{{k0, kB, kR}}, {0}}, false},
        {"a palette that is not there", {{{k0, kB, kR}}, {0, 1}}, false},
        {"no palettes", {{}, {0, 0}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TileSet set = test::EmptyTileSet(2, 2);
        const test::TileSetState before(set);
        const auto assign = [&](const PictureTiles& tiles, const SubPaletteOptions&,
                                SubPalettes& out) {
            EXPECT_EQ(tiles.places(), 2u);
            out = c.gives;
            return Status::Ok();
        };
        const ImportResult r = Import(set, picture, {2, 3}, assign);
        EXPECT_EQ(bool(r.status), c.kept) << r.status.message();
        if (c.kept) {
            EXPECT_EQ(TilesOf(set), (Pixels{{0, 2, 2, 0}, {0, 1, 1, 0}}));
            EXPECT_EQ(r.attrs, (std::vector<uint16_t>{P(0), P(0)}));
        } else {
            EXPECT_TRUE(test::TileSetState(set) == before);
        }
    }
}
