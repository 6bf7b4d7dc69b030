#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "io/ByteWriter.h"
#include "tileset/TileList.h"

using kesh::ByteWriter;
using kesh::TileList;

namespace {

std::vector<uint8_t> Tile(const TileList& list, uint8_t fill) {
    return std::vector<uint8_t>(size_t(list.tileSize()), fill);
}

// Walks the links from the head and checks them against the numbering.
void ExpectLinksMatchNumbers(const TileList& list) {
    const kesh::TileNode* prev = nullptr;
    for (uint32_t i = 0; i < list.count(); ++i) {
        const kesh::TileNode* node = list.NodeAt(i);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->m_prev, prev) << i;
        if (prev) {
            EXPECT_EQ(prev->m_next, node) << i;
        }
        prev = node;
    }
    if (prev) {
        EXPECT_EQ(prev->m_next, nullptr);
    }
}

} // namespace

TEST(TileListTest, NewListIsEmpty) {
    TileList list;
    EXPECT_EQ(list.width(), 0);
    EXPECT_EQ(list.capacity(), 0);
    EXPECT_EQ(list.Append(nullptr, 0), 0);
    ASSERT_EQ(list.Setup(32, 32), 1);
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.tileSize(), 1024);
    EXPECT_EQ(list.PixelsAt(0), nullptr);
    EXPECT_EQ(list.AttributeAt(0), 0u);
    EXPECT_EQ(list.NodeAt(-1), nullptr);
}

TEST(TileListTest, DeleteRenumbersAndReusesTheSlot) {
    TileList list;
    ASSERT_EQ(list.Setup(32, 32), 1);
    const auto a = Tile(list, 'A'), b = Tile(list, 'B'), c = Tile(list, 'C'), d = Tile(list, 'D');
    ASSERT_EQ(list.Append(a.data(), 1), 1);
    ASSERT_EQ(list.Append(b.data(), 2), 1);
    ASSERT_EQ(list.Append(c.data(), 3), 1);
    const uint8_t* slotOfA = list.PixelsAt(0);

    ASSERT_EQ(list.Delete(0), 1);
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(list.PixelsEqual(b.data(), 0), 1);
    EXPECT_EQ(list.AttributeAt(0), 2u);
    EXPECT_EQ(list.PixelsEqual(c.data(), 1), 1);
    EXPECT_EQ(list.PixelsAt(2), nullptr);
    ExpectLinksMatchNumbers(list);

    ASSERT_EQ(list.Append(d.data(), 4), 1);
    EXPECT_EQ(list.PixelsAt(2), slotOfA);
    EXPECT_EQ(list.PixelsEqual(d.data(), 2), 1);
    ExpectLinksMatchNumbers(list);

    EXPECT_EQ(list.Delete(3), 0);
    EXPECT_EQ(list.Delete(-1), 0);
    ASSERT_EQ(list.Delete(2), 1);
    ASSERT_EQ(list.Delete(0), 1);
    EXPECT_EQ(list.PixelsEqual(c.data(), 0), 1);
    ExpectLinksMatchNumbers(list);
    ASSERT_EQ(list.Delete(0), 1);
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.NodeAt(0), nullptr);
}

TEST(TileListTest, AddUniqueNeedsSamePixelsAndAttribute) {
    TileList list;
    ASSERT_EQ(list.Setup(8, 8), 1);
    for (uint8_t i = 0; i < 5; ++i) {
        const auto t = Tile(list, i);
        ASSERT_EQ(list.Append(t.data(), i), 1);
    }
    auto three = Tile(list, 3);
    EXPECT_EQ(list.AddUnique(three.data(), 3), 1);
    EXPECT_EQ(list.count(), 5u);
    EXPECT_EQ(list.AddUnique(three.data(), 4), 1);
    EXPECT_EQ(list.count(), 6u);
    EXPECT_EQ(list.AttributeAt(5), 4u);

    three[63] = 0; // one pixel differs, whatever its value
    EXPECT_EQ(list.AddUnique(three.data(), 3), 1);
    EXPECT_EQ(list.count(), 7u);
    EXPECT_EQ(list.PixelsEqual(three.data(), 6), 1);
    EXPECT_EQ(list.PixelsEqual(three.data(), 3), 0);
}

TEST(TileListTest, AddUniqueFollowsDeletesAndAttributeChanges) {
    TileList list;
    ASSERT_EQ(list.Setup(16, 16), 1);
    const auto a = Tile(list, 1), b = Tile(list, 2);
    ASSERT_EQ(list.AddUnique(a.data(), 7), 1);
    ASSERT_EQ(list.AddUnique(b.data(), 7), 1);
    ASSERT_EQ(list.Delete(0), 1);
    EXPECT_EQ(list.AddUnique(a.data(), 7), 1);
    EXPECT_EQ(list.count(), 2u); // the deleted tile no longer counts

    ASSERT_EQ(list.SetAttributeAt(0, 9), 1);
    EXPECT_EQ(list.AttributeAt(0), 9u);
    EXPECT_EQ(list.AddUnique(b.data(), 7), 1);
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.AddUnique(b.data(), 9), 1);
    EXPECT_EQ(list.count(), 3u);
    EXPECT_EQ(list.SetAttributeAt(3, 1), 0);
}

TEST(TileListTest, CapacityIsSetByThePool) {
    struct Case {
        int side;
        uint32_t tiles;
    };
    for (const Case c : {Case{8, 40960}, Case{32, 3150}, Case{128, 190}}) {
        TileList list;
        ASSERT_EQ(list.Setup(c.side, c.side), 1);
        EXPECT_EQ(list.capacity(), int64_t(c.tiles));
        std::vector<uint8_t> t(size_t(list.tileSize()));
        for (uint32_t i = 0; i < c.tiles; ++i) {
            std::memcpy(t.data(), &i, sizeof i);
            ASSERT_EQ(list.Append(t.data(), i), 1) << c.side << " " << i;
        }
        t[0] ^= 0xFF;
        t[5] = 0x5A;
        EXPECT_EQ(list.Append(t.data(), 0), 0);
        EXPECT_EQ(list.AddUnique(t.data(), 0), 0);
        EXPECT_EQ(list.count(), c.tiles);
        // A full list still finds its own tiles.
        EXPECT_EQ(list.AddUnique(list.PixelsAt(c.tiles - 1), c.tiles - 1), 1);
        ExpectLinksMatchNumbers(list);
    }
}

TEST(TileListTest, SetupEmptiesAndResizes) {
    TileList list;
    ASSERT_EQ(list.Setup(32, 32), 1);
    const auto t = Tile(list, 1);
    ASSERT_EQ(list.Append(t.data(), 0), 1);
    ASSERT_EQ(list.Setup(16, 8), 1);
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.width(), 16);
    EXPECT_EQ(list.height(), 8);
    EXPECT_EQ(list.tileSize(), 128);
    EXPECT_EQ(list.PixelsAt(0), nullptr);

    EXPECT_EQ(list.Setup(-1, 8), 0);
    EXPECT_EQ(list.width(), 0);
    EXPECT_EQ(list.Append(t.data(), 0), 0);
}

TEST(TileListTest, MoveTransfersTheTiles) {
    TileList a;
    ASSERT_EQ(a.Setup(8, 8), 1);
    const auto t = Tile(a, 3);
    ASSERT_EQ(a.Append(t.data(), 5), 1);
    TileList b(std::move(a));
    EXPECT_EQ(a.count(), 0u);
    EXPECT_EQ(a.width(), 0);
    EXPECT_EQ(a.PixelsAt(0), nullptr);
    EXPECT_EQ(b.count(), 1u);
    EXPECT_EQ(b.AddUnique(t.data(), 5), 1);
    EXPECT_EQ(b.count(), 1u);

    TileList c;
    ASSERT_EQ(c.Setup(32, 32), 1);
    c = std::move(b);
    EXPECT_EQ(c.width(), 8);
    EXPECT_EQ(c.AttributeAt(0), 5u);
    EXPECT_EQ(b.count(), 0u);
}

TEST(TileListTest, WritersLayOutBytes) {
    TileList list;
    ASSERT_EQ(list.Setup(2, 1), 1);
    ByteWriter empty;
    EXPECT_EQ(list.WriteSize(empty, 0), 0);
    EXPECT_EQ(list.WriteCount(empty, 0), 0);
    EXPECT_EQ(list.WritePixels(empty), 0);
    EXPECT_EQ(list.WriteAttributes(empty, 0), 0);
    EXPECT_EQ(list.WritePixelsAndAttributes(empty, 0), 0);
    EXPECT_EQ(empty.size(), 0u);

    const uint8_t p0[] = {1, 2}, p1[] = {3, 4};
    ASSERT_EQ(list.Append(p0, 0x11223344), 1);
    ASSERT_EQ(list.Append(p1, 0x55667788), 1);
    ByteWriter out;
    EXPECT_EQ(list.WriteSize(out, 0), 1);
    EXPECT_EQ(list.WriteSize(out, 1), 1);
    EXPECT_EQ(list.WriteSize(out, 2), 1);
    EXPECT_EQ(list.WriteCount(out, 0), 1);
    EXPECT_EQ(list.WriteCount(out, 1), 1);
    EXPECT_EQ(list.WriteCount(out, 2), 1);
    EXPECT_EQ(list.WritePixels(out), 1);
    EXPECT_EQ(list.WriteAttributes(out, 0), 1);
    EXPECT_EQ(list.WriteAttributes(out, 1), 1);
    EXPECT_EQ(list.WriteAttributes(out, 2), 1);
    EXPECT_EQ(list.WriteAttributes(out, 3), 1); // writes nothing
    EXPECT_EQ(list.WritePixelsAndAttributes(out, 1), 1);
    EXPECT_EQ(list.WritePixelsAndAttributes(out, 7), 1);
    const std::vector<uint8_t> expected = {
        2,    1,    2,    0,    1,    0,    2,    0,    0, 0, 1, 0, 0, 0, // sizes
        2,    2,    0,    2,    0,    0,    0,                            // counts
        1,    2,    3,    4,                                              // pixels
        0x44, 0x88, 0x44, 0x33, 0x88, 0x77,             // attributes, 1 and 2 bytes
        0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, // 4 bytes
        1,    2,    0x44, 0x33, 3,    4,    0x88, 0x77, // pixels + 2-byte attribute
        1,    2,    3,    4,                            // pixels, no attribute
    };
    EXPECT_EQ(out.bytes(), expected);
}

TEST(TileListTest, AttributesOfThousandsOfTilesAreAllWritten) {
    // More attribute bytes than the writer gathers at once, for every width,
    // straight into memory and through a sink of odd-sized pieces.
    TileList list;
    ASSERT_EQ(list.Setup(1, 1), 1);
    const uint32_t count = 5000;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t pixel = uint8_t(i);
        ASSERT_EQ(list.Append(&pixel, i * 0x01010101u + 0x00030201u), 1);
    }
    for (int sel = 0; sel < 3; ++sel) {
        const int bytes = 1 << sel;
        std::vector<uint8_t> expected;
        for (uint32_t i = 0; i < count; ++i)
            for (int b = 0; b < bytes; ++b)
                expected.push_back(uint8_t(list.AttributeAt(i) >> (8 * b)));
        ByteWriter out;
        EXPECT_EQ(list.WriteAttributes(out, sel), 1);
        EXPECT_EQ(out.bytes(), expected) << bytes;

        std::vector<uint8_t> passed;
        ByteWriter streamed(
            [&](const uint8_t* data, size_t size) {
                passed.insert(passed.end(), data, data + size);
                return true;
            },
            333);
        streamed.writeU8(0xEE);
        EXPECT_EQ(list.WriteAttributes(streamed, sel), 1);
        EXPECT_TRUE(streamed.Flush());
        expected.insert(expected.begin(), 0xEE);
        EXPECT_EQ(passed, expected) << bytes;
    }
}

TEST(TileListTest, NeighbouringTilesKeepTheirBytes) {
    // Odd sizes too: a node and its pixels must fit its pool element whole.
    for (const auto& [w, h] : {std::pair{8, 8}, std::pair{9, 7}, std::pair{32, 32}}) {
        TileList list;
        ASSERT_EQ(list.Setup(w, h), 1);
        EXPECT_EQ(list.capacity(), 10 * (0x50000 / (w * h + 16)));
        std::vector<std::vector<uint8_t>> tiles;
        for (int i = 0; i < 50; ++i) {
            tiles.emplace_back(size_t(w * h));
            for (size_t p = 0; p < tiles.back().size(); ++p)
                tiles.back()[p] = uint8_t(i * 31 + p);
            ASSERT_EQ(list.Append(tiles.back().data(), 0xFFFFFFFFu - i), 1);
        }
        for (int i = 0; i < 50; ++i) {
            EXPECT_EQ(list.PixelsEqual(tiles[i].data(), i), 1) << w << "x" << h << " " << i;
            EXPECT_EQ(list.AttributeAt(i), 0xFFFFFFFFu - i);
        }
        ExpectLinksMatchNumbers(list);
    }
}

// The index AddUnique looks in is made only when first needed, and dropped
// when a reader writes tiles straight into the list: whatever happened
// before, AddUnique must find exactly the tiles the list holds.
TEST(TileListTest, AddUniqueSeesChangesMadeBeforeOrWithoutTheIndex) {
    struct Case {
        const char* name;
        bool indexFirst; // an AddUnique before the changes makes the index
    };
    for (const Case c : {Case{"indexed first", true}, Case{"never indexed", false}}) {
        SCOPED_TRACE(c.name);
        TileList list;
        ASSERT_EQ(list.Setup(8, 8), 1);
        const auto a = Tile(list, 1), b = Tile(list, 2), x = Tile(list, 9);
        if (c.indexFirst) {
            ASSERT_EQ(list.AddUnique(x.data(), 0), 1);
        } else {
            ASSERT_EQ(list.Append(x.data(), 0), 1);
        }
        // The slot the next tile takes still holds b's pixels.
        ASSERT_EQ(list.Append(b.data(), 0), 1);
        ASSERT_EQ(list.Delete(1), 1);
        uint8_t* written = list.AppendUnwritten(0); // tile 1: a, written afterwards
        ASSERT_NE(written, nullptr);
        std::memcpy(written, a.data(), a.size());
        ASSERT_EQ(list.Insert(0, b.data(), 0), 1); // b x a
        ASSERT_EQ(list.SetPixelsAt(1, b.data()), 1); // b b a: x is gone
        ASSERT_EQ(list.Delete(0), 1);                // b a

        EXPECT_EQ(list.AddUnique(a.data(), 0), 1);
        EXPECT_EQ(list.AddUnique(b.data(), 0), 1);
        EXPECT_EQ(list.count(), 2u);
        EXPECT_EQ(list.AddUnique(x.data(), 0), 1);
        EXPECT_EQ(list.count(), 3u);
        ExpectLinksMatchNumbers(list);
    }
}
