// Damaged layout descriptors: every one fails with the damaged-file message
// and leaves the descriptor it was to fill as it was.
#include <gtest/gtest.h>

#include "base/Messages.h"
#include "layout/Descriptor.h"

using namespace kesh;

using Bytes = std::vector<uint8_t>;

namespace {

TileDescriptor OldTileDescriptor() {
    TileDescriptor old;
    old.headerLength = 9;
    old.attrWidth = 2;
    old.items = {TileItem::Palette1024};
    return old;
}

MapDescriptor OldMapDescriptor() {
    MapDescriptor old;
    old.headerLength = 4;
    old.items = {MapItem::CellsWord, MapItem::CellsWord};
    old.tile = OldTileDescriptor();
    return old;
}

void ExpectKtfRefused(const Bytes& bytes) {
    TileDescriptor read = OldTileDescriptor();
    const Status st = ParseKtf(bytes, read);
    ASSERT_FALSE(st) << bytes.size() << " bytes";
    EXPECT_EQ(st.message(), msg::kDamagedFile);
    EXPECT_EQ(read, OldTileDescriptor());
}

void ExpectKmfRefused(const Bytes& bytes) {
    MapDescriptor read = OldMapDescriptor();
    const Status st = ParseKmf(bytes, read);
    ASSERT_FALSE(st) << bytes.size() << " bytes";
    EXPECT_EQ(st.message(), msg::kDamagedFile);
    EXPECT_EQ(read, OldMapDescriptor());
}

// header "HDR", AttrWidth 1, the five default items
const Bytes kKtf = {3, 1, 5, 0, 4, 6, 7, 9};
// header "MAP", SizeWord, CellsWord, TileFile, then kKtf
const Bytes kKmf = {3, 3, 1, 5, 3, 3, 1, 5, 0, 4, 6, 7, 9};

} // namespace

TEST(MalformedDescriptor, TruncatedAtEveryOffset) {
    for (size_t n = 0; n < kKtf.size(); ++n)
        ExpectKtfRefused(Bytes(kKtf.begin(), kKtf.begin() + n));
    for (size_t n = 0; n < kKmf.size(); ++n)
        ExpectKmfRefused(Bytes(kKmf.begin(), kKmf.begin() + n));
    TileDescriptor ktf;
    EXPECT_TRUE(ParseKtf(kKtf, ktf));
    MapDescriptor kmf;
    EXPECT_TRUE(ParseKmf(kKmf, kmf));
}

TEST(MalformedDescriptor, CountsLargerThanTheFile) {
    ExpectKtfRefused({0, 0, 6, 0, 4, 6, 7, 9});
    ExpectKtfRefused({0, 0, 127});
    ExpectKmfRefused({0, 100, 0, 4, 3, 0, 0, 0});             // map part
    ExpectKmfRefused({0, 1, 0, 0, 0, 2, TileItem::TileData}); // tile part
}

TEST(MalformedDescriptor, ItemCountsAboveTheLayoutLimit) {
    // A layout holds at most 127 items; 128 to 255 never come from a save,
    // even when the file has that many codes.
    for (const int count : {128, 200, 255}) {
        Bytes ktf = {0, 0, uint8_t(count)};
        ktf.insert(ktf.end(), size_t(count), TileItem::TileData);
        ExpectKtfRefused(ktf);

        Bytes kmf = {0, uint8_t(count)};
        kmf.insert(kmf.end(), size_t(count), MapItem::CellsByte);
        kmf.insert(kmf.end(), {0, 0, 0});
        ExpectKmfRefused(kmf);
    }
    Bytes full = {0, 0, 127};
    full.insert(full.end(), 127, TileItem::TileData);
    TileDescriptor read;
    ASSERT_TRUE(ParseKtf(full, read));
    EXPECT_EQ(read.items.size(), 127u);
}

TEST(MalformedDescriptor, BytesAfterTheLastItem) {
    Bytes ktf = kKtf;
    ktf.push_back(0);
    ExpectKtfRefused(ktf);
    Bytes kmf = kKmf;
    kmf.push_back(TileItem::TileData);
    ExpectKmfRefused(kmf);
}

TEST(MalformedDescriptor, UnknownCodesAndSelectorsAreNoDamage) {
    // Codes outside the tables are kept for the readers to skip; a selector
    // outside 0-2 reads as one byte per attribute.
    TileDescriptor ktf;
    ASSERT_TRUE(ParseKtf(Bytes{255, 200, 4, 11, 127, 128, 255}, ktf));
    EXPECT_EQ(ktf.headerLength, 255);
    EXPECT_EQ(ktf.attrWidth, 0);
    EXPECT_EQ(ktf.items, (Bytes{11, 127, 128, 255}));

    MapDescriptor kmf;
    ASSERT_TRUE(ParseKmf(Bytes{255, 2, 6, 255, 0, 3, 1, 200}, kmf));
    EXPECT_EQ(kmf.items, (Bytes{6, 255}));
    EXPECT_EQ(kmf.tile.attrWidth, 0);
    EXPECT_EQ(kmf.tile.items, (Bytes{200}));
}

TEST(MalformedDescriptor, EmptyFiles) {
    ExpectKtfRefused({});
    ExpectKmfRefused({});
}
