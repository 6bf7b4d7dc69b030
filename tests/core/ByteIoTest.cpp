#include <gtest/gtest.h>

#include "io/ByteReader.h"
#include "io/ByteWriter.h"

using namespace kesh;

TEST(ByteIo, LittleEndianRoundTripCutsToLowBytes) {
    ByteWriter w;
    w.writeLE(300, 1);        // cut to 44
    w.writeLE(0x12345678, 2); // cut to 0x5678
    w.writeLE(0xFFFFFFFF, 4);
    ASSERT_EQ(w.size(), 7u);
    ByteReader r(w.bytes());
    int32_t v = 0;
    ASSERT_TRUE(r.readLE(1, v));
    EXPECT_EQ(v, 44);
    ASSERT_TRUE(r.readLE(2, v));
    EXPECT_EQ(v, 0x5678);
    ASSERT_TRUE(r.readLE(4, v));
    EXPECT_EQ(v, -1); // four bytes read as signed
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteIo, ReadsPastTheEndFailAndKeepThePosition) {
    const uint8_t bytes[] = {1, 2, 3};
    ByteReader r(bytes);
    uint8_t buf[4];
    EXPECT_FALSE(r.read(buf, 4));
    EXPECT_EQ(r.pos(), 0u);
    EXPECT_TRUE(r.skip(2));
    int32_t v = 0;
    EXPECT_FALSE(r.readLE(2, v));
    EXPECT_EQ(r.pos(), 2u);
    EXPECT_FALSE(r.skip(UINT64_MAX));
    EXPECT_FALSE(r.seek(4));
    EXPECT_TRUE(r.seek(3));
    EXPECT_TRUE(r.atEnd());
}
