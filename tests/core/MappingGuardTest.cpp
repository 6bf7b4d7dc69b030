#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <vector>

#include "io/FileSystem.h"
#include "io/InputLimits.h"
#include "support/TempDir.h"

using namespace kesh;
using kesh::test::TempDir;
using kesh::test::WriteBytes;

namespace {

// Large enough to be read through a mapping.
constexpr size_t kBig = size_t(4) << 20;

// Reads every byte, as a reader would; the sum keeps the reads.
uint64_t ReadAll(const FileBytes& bytes) {
    uint64_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 512)
        sum += bytes.data()[i];
    return sum;
}

} // namespace

// Another program shortens a large file while it is mapped: the reads past
// its new end give zeros instead of ending the program, and the bytes say so.
TEST(MappingGuard, AFileShortenedWhileMappedIsReportedCutShort) {
    TempDir dir;
    const std::string path = dir.file("big.map");
    WriteBytes(path, std::vector<uint8_t>(kBig, 7));
    auto bytes = FileSystem::Native().readBytes(path, kMaxMapFileBytes);
    ASSERT_TRUE(bytes);
    ASSERT_TRUE(bytes->mapped());
    EXPECT_FALSE(bytes->cutShort());
    EXPECT_EQ(ReadAll(*bytes), uint64_t(kBig / 512) * 7);
    EXPECT_FALSE(bytes->cutShort());

    ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
    EXPECT_EQ(bytes->data()[0], 7);
    EXPECT_EQ(bytes->data()[kBig - 1], 0);
    EXPECT_TRUE(bytes->cutShort());
    ReadAll(*bytes);

    // A later mapping starts clean.
    WriteBytes(path, std::vector<uint8_t>(kBig, 1));
    auto again = FileSystem::Native().readBytes(path, kMaxMapFileBytes);
    ASSERT_TRUE(again);
    EXPECT_EQ(ReadAll(*again), uint64_t(kBig / 512));
    EXPECT_FALSE(again->cutShort());
}

// More files mapped at once than there are guards: the rest are read plainly.
TEST(MappingGuard, ManyFilesAtOnceAreStillRead) {
    TempDir dir;
    std::vector<FileBytes> open;
    for (int i = 0; i < 24; ++i) {
        const std::string path = dir.file("f" + std::to_string(i));
        WriteBytes(path, std::vector<uint8_t>(size_t(1) << 20, uint8_t(i)));
        auto bytes = FileSystem::Native().readBytes(path, kMaxMapFileBytes);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->data()[12345], uint8_t(i));
        EXPECT_TRUE(!bytes->mapped() || bytes->guarded());
        open.push_back(std::move(*bytes));
    }
}
