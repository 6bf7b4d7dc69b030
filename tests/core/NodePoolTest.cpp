#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tileset/NodePool.h"

using kesh::NodePool;

namespace {

// The pool of a 32 x 32 tile set: 1,040-byte elements, 315 to a block.
NodePool& Pool32(NodePool& pool) {
    EXPECT_EQ(pool.Init(1040, 0x50000, 10), 1);
    return pool;
}

} // namespace

TEST(NodePoolTest, InitSetsSizesFromBudget) {
    NodePool pool;
    Pool32(pool);
    EXPECT_EQ(pool.elemSize(), 1040);
    EXPECT_EQ(pool.elemsPerBlock(), 315);
    EXPECT_EQ(pool.blockSize(), 315 * 1040);
    EXPECT_EQ(pool.blockCount(), 10);
    EXPECT_EQ(pool.capacity(), 3150);
}

TEST(NodePoolTest, FillsBlocksInOrderUpToCapacity) {
    NodePool pool;
    Pool32(pool);
    std::vector<uint8_t*> elems;
    for (int i = 0; i < 3150; ++i) {
        auto* p = static_cast<uint8_t*>(pool.Alloc());
        ASSERT_NE(p, nullptr) << i;
        elems.push_back(p);
    }
    EXPECT_EQ(pool.Alloc(), nullptr);
    // Slots of one block are consecutive; the 316th element starts block 1.
    EXPECT_EQ(elems[314], elems[0] + 314 * 1040);
    EXPECT_NE(elems[315], elems[0] + 315 * 1040);
    EXPECT_EQ(elems[629], elems[315] + 314 * 1040);
}

TEST(NodePoolTest, FreedSlotIsReusedFirstAndKeepsItsBytes) {
    NodePool pool;
    Pool32(pool);
    std::vector<void*> elems;
    for (int i = 0; i < 400; ++i)
        elems.push_back(pool.Alloc());
    std::memset(elems[5], 0xAB, 1040);
    pool.Free(elems[5]);
    pool.Free(elems[0]);
    pool.Free(elems[350]);
    // Lowest free slot of the first block with room, even with block 1 in use.
    EXPECT_EQ(pool.Alloc(), elems[0]);
    void* again = pool.Alloc();
    ASSERT_EQ(again, elems[5]);
    const auto* bytes = static_cast<const uint8_t*>(again);
    for (int i = 0; i < 1040; ++i)
        ASSERT_EQ(bytes[i], 0xAB);
    EXPECT_EQ(pool.Alloc(), elems[350]);
    EXPECT_NE(pool.Alloc(), elems[350]);
}

TEST(NodePoolTest, FreeOfForeignAddressesChangesNothing) {
    NodePool pool;
    Pool32(pool);
    std::vector<uint8_t*> elems;
    for (int i = 0; i < 3150; ++i)
        elems.push_back(static_cast<uint8_t*>(pool.Alloc()));
    int outside = 0;
    pool.Free(nullptr);
    pool.Free(&outside);
    pool.Free(elems[7] + 1);      // inside a slot, not its start
    pool.Free(elems[314] + 1040); // just past block 0
    std::vector<uint8_t> elsewhere(1040);
    pool.Free(elsewhere.data());
    EXPECT_EQ(pool.Alloc(), nullptr);
}

TEST(NodePoolTest, FreeingTwiceDoesNotHandOutTheSlotTwice) {
    NodePool pool;
    Pool32(pool);
    void* a = pool.Alloc();
    void* b = pool.Alloc();
    pool.Free(a);
    pool.Free(a);
    EXPECT_EQ(pool.Alloc(), a);
    void* c = pool.Alloc();
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
}

TEST(NodePoolTest, FailedInitAndDestroyLeaveEverythingZero) {
    NodePool pool;
    EXPECT_EQ(pool.Init(0, 0x50000, 10), 0);
    EXPECT_EQ(pool.Alloc(), nullptr);
    pool.Free(&pool);
    pool.Destroy();
    EXPECT_EQ(pool.elemSize(), 0);
    EXPECT_EQ(pool.capacity(), 0);

    Pool32(pool);
    EXPECT_NE(pool.Alloc(), nullptr);
    pool.Destroy();
    EXPECT_EQ(pool.elemsPerBlock(), 0);
    EXPECT_EQ(pool.blockSize(), 0);
    EXPECT_EQ(pool.blockCount(), 0);
    EXPECT_EQ(pool.Alloc(), nullptr);
}

TEST(NodePoolTest, ElementLargerThanBudgetGivesNothing) {
    NodePool pool;
    ASSERT_EQ(pool.Init(0x50001, 0x50000, 10), 1);
    EXPECT_EQ(pool.elemsPerBlock(), 0);
    EXPECT_EQ(pool.Alloc(), nullptr);
}
