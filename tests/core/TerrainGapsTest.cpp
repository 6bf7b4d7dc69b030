#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/CellFields.h"
#include "support/TerrainSets.h"
#include "terrain/TerrainGaps.h"

namespace kesh {
namespace {

using terrainsets::Label;

// "1000" -> terrains by position, as the panel's table is written.
TerrainLabel Digits(const std::string& digits) {
    TerrainLabel label = 0;
    for (size_t pos = 0; pos < digits.size(); ++pos)
        label = WithTerrain(label, int(pos), digits[pos] - '0');
    return label;
}

TerrainSet CornerOf(std::vector<std::string> names, std::vector<std::string> labels) {
    TerrainSet set;
    set.terrains = std::move(names);
    uint16_t tile = 0;
    for (const std::string& l : labels)
        set.tiles.push_back({tile++, Digits(l)});
    return set;
}

std::vector<std::string> GapLabels(const std::vector<TerrainGap>& gaps, int positions) {
    std::vector<std::string> out;
    for (const TerrainGap& g : gaps) {
        std::string digits;
        for (int pos = 0; pos < positions; ++pos)
            digits += char('0' + TerrainAt(g.label, pos));
        out.push_back(std::to_string(g.low) + std::to_string(g.high) + ":" + digits);
    }
    return out;
}

// What the panel lists as missing, against tables written out by hand:
// template order per pair, mirror images counting only with flip fields,
// every label once.
TEST(TerrainGapsTest, ListsTheCombinationsNoTileOrMirrorImageShows) {
    const uint16_t noFlips = 0, flips = cellbit::kFlips;
    TerrainSet blobLacking = terrainsets::BlobSet48();
    blobLacking.tiles.erase(blobLacking.tiles.begin() + 5); // the 5th of the 47: N, NE, E
    struct Case {
        const char* what;
        TerrainSet set;
        uint16_t flipMask;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"a full corner set", terrainsets::CornerSet16(), noFlips, {}},
        {"a full blob set", terrainsets::BlobSet48(), flips, {}},
        {"corner: the plain tiles and one corner",
         CornerOf({"a", "b"}, {"0000", "1111", "1000"}),
         noFlips,
         {"01:0100", "01:1100", "01:0010", "01:1010", "01:0110", "01:1110", "01:0001", "01:1001",
          "01:0101", "01:1101", "01:0011", "01:1011", "01:0111"}},
        {"corner: the one corner serves four with flips",
         CornerOf({"a", "b"}, {"0000", "1111", "1000"}),
         flips,
         {"01:1100", "01:1010", "01:0110", "01:1110", "01:1001", "01:0101", "01:1101", "01:0011",
          "01:1011", "01:0111"}},
        {"corner: only the horizontal flip",
         CornerOf({"a", "b"}, {"0000", "1111", "1000"}),
         cellbit::kHFlip,
         {"01:1100", "01:0010", "01:1010", "01:0110", "01:1110", "01:0001", "01:1001", "01:0101",
          "01:1101", "01:0011", "01:1011", "01:0111"}},
        {"blob: one cell gone", blobLacking, noFlips, {"01:111000001"}},
        {"three terrains, plain tiles only: each pair's mixtures, plain ones once",
         CornerOf({"a", "b", "c"}, {"0000", "1111", "2222", "1100", "0011"}),
         noFlips,
         {"01:1000", "01:0100", "01:0010", "01:1010", "01:0110", "01:1110", "01:0001", "01:1001",
          "01:0101", "01:1101", "01:1011", "01:0111", "02:2000", "02:0200", "02:2200", "02:0020",
          "02:2020", "02:0220", "02:2220", "02:0002", "02:2002", "02:0202", "02:2202", "02:0022",
          "02:2022", "02:0222", "12:2111", "12:1211", "12:2211", "12:1121", "12:2121", "12:1221",
          "12:2221", "12:1112", "12:2112", "12:1212", "12:2212", "12:1122", "12:2122", "12:1222"}},
        {"one terrain without its plain tile", CornerOf({"a"}, {}), noFlips, {"00:0000"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(GapLabels(TerrainGaps(c.set, c.flipMask), LabelPositions(c.set.kind)),
                  c.expected);
    }
}

TEST(TerrainGapsTest, SampleIsTheFirstPlainTileOfTheTerrain) {
    TerrainSet set = CornerOf({"a", "b", "c"}, {"1000", "1111", "0000", "1111"});
    EXPECT_EQ(SampleTile(set, 0), 2);
    EXPECT_EQ(SampleTile(set, 1), 1);
    EXPECT_EQ(SampleTile(set, 2), -1);
}

} // namespace
} // namespace kesh
