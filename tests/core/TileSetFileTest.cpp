#include <gtest/gtest.h>

#include <filesystem>

#include "app/OpenTarget.h"
#include "base/Messages.h"
#include "layout/Descriptor.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"
#include "tileset/TileSetFile.h"

using namespace kesh;
using kesh::test::ReadBytes;
using kesh::test::TileSetState;
using kesh::test::WriteBytes;
using Bytes = std::vector<uint8_t>;

namespace {

struct TileSetFileTest : ::testing::Test {
    kesh::test::TempDir dir;
    FileSystem& fs = FileSystem::Native();
    TileSet saved;

    void SetUp() override {
        kesh::test::MakeTiles(saved, 8, 4, 3);
        saved.format().header = "TS";
        saved.format().attrWidth = 1;
        Palette palette;
        palette.rgb[3] = 50; // entry 1: red 50
        saved.SetPalette(palette);
        ASSERT_TRUE(SaveTileSetFiles(fs, dir.file("set.til"), saved, EmptyTileSet::Refuse));
    }
};

// The first `cut` bytes of a file.
Bytes Cut(const std::string& path, size_t cut) {
    Bytes bytes = ReadBytes(path);
    bytes.resize(cut);
    return bytes;
}

} // namespace

TEST_F(TileSetFileTest, ASavedSetReadsBackWholeIntoAFreshSet) {
    TileSet back;
    kesh::test::MakeTiles(back, 16, 16, 5);
    back.setCurrent(4);
    bool missing = true;
    ASSERT_TRUE(OpenTileSetFiles(fs, dir.file("set.til"), back, missing));
    EXPECT_FALSE(missing);
    EXPECT_EQ(TileSetState(back), TileSetState(saved));
    EXPECT_EQ(back.tiles().width(), 8);
    EXPECT_EQ(back.current(), 0);
    EXPECT_EQ(back.colourTable()[4 + 2], 200); // red 50 x 4
}

TEST_F(TileSetFileTest, FailuresLeaveTheSetAsItWas) {
    TileSet set;
    kesh::test::MakeTiles(set, 16, 16, 2);
    const TileSetState before(set);
    bool missing = false;

    // No .ktf: told apart from every other failure, nothing read.
    std::filesystem::copy_file(dir.file("set.til"), dir.file("lone.til"));
    Status st = OpenTileSetFiles(fs, dir.file("lone.til"), set, missing);
    EXPECT_TRUE(missing);
    EXPECT_EQ(st.message(), msg::kKtfMissing);

    // A .ktf without its .til.
    std::filesystem::copy_file(dir.file("set.ktf"), dir.file("gone.ktf"));
    st = OpenTileSetFiles(fs, dir.file("gone.til"), set, missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(st.message(), std::string(msg::kOpenFailed) + "\n" + dir.file("gone.til"));

    // A damaged .ktf, and a .til cut short.
    WriteBytes(dir.file("bad.ktf"), {0, 0, 9});
    std::filesystem::copy_file(dir.file("set.til"), dir.file("bad.til"));
    EXPECT_EQ(OpenTileSetFiles(fs, dir.file("bad.til"), set, missing).message(), msg::kDamagedFile);
    WriteBytes(dir.file("set.til"), Cut(dir.file("set.til"), 40));
    EXPECT_EQ(OpenTileSetFiles(fs, dir.file("set.til"), set, missing).message(), msg::kDamagedFile);
    EXPECT_EQ(TileSetState(set), before);
}

TEST_F(TileSetFileTest, ASizeSetByHandStandsInForAMissingSizeItem) {
    // The file has a header, a count and pixels, but no size.
    TileSet raw;
    kesh::test::MakeTiles(raw, 8, 4, 3);
    raw.format().header = "HDR";
    raw.format().items = {TileItem::CountByte, TileItem::TileData};
    ByteWriter out;
    ASSERT_TRUE(raw.WriteTileFile(out));
    const Bytes file = out.take();

    TileReadLayout layout;
    layout.descriptor.headerLength = 3;
    layout.descriptor.items = raw.format().items;
    TileSet set;
    EXPECT_EQ(ReadTileSetFile(file, layout, set).message(), msg::kNoTileSize);

    layout.width = 8;
    layout.height = 4;
    ASSERT_TRUE(ReadTileSetFile(file, layout, set));
    EXPECT_EQ(TileSetState(set).pixels, TileSetState(raw).pixels);
    EXPECT_EQ(set.format().header, "HDR");
    EXPECT_EQ(set.format().items, raw.format().items); // the layout as read, nothing added
    EXPECT_EQ(set.tileWidth(), 8);

    // The wrong size by hand: the pixels no longer fit the file.
    layout.width = 16;
    const TileSetState before(set);
    EXPECT_EQ(ReadTileSetFile(file, layout, set).message(), msg::kDamagedFile);
    // A file shorter than its header has no room for anything after it.
    EXPECT_EQ(ReadTileSetFile(Bytes{'H', 'D'}, layout, set).message(), msg::kDamagedFile);
    EXPECT_EQ(TileSetState(set), before);

    // A size item in the file overrides the one set by hand.
    layout.width = 1;
    layout.height = 1;
    layout.descriptor.headerLength = 2;
    layout.descriptor.items = saved.format().items;
    layout.descriptor.attrWidth = saved.format().attrWidth;
    ASSERT_TRUE(LoadTileSetFile(fs, dir.file("set.til"), layout, set));
    EXPECT_EQ(set.tileWidth(), 8);
    EXPECT_EQ(set.tileHeight(), 4);
    EXPECT_EQ(TileSetState(set), TileSetState(saved));
}

TEST_F(TileSetFileTest, SavingAnEmptySetWritesOrRefusesAsAsked) {
    TileSet empty;
    ASSERT_EQ(SaveTileSetFiles(fs, dir.file("e.til"), empty, EmptyTileSet::Refuse).message(),
              msg::kNoTilesToSave);
    EXPECT_FALSE(std::filesystem::exists(dir.file("e.til")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("e.ktf")));

    // Written up to the first block it can't fill: the header, then nothing.
    empty.format().header = "H";
    ASSERT_TRUE(SaveTileSetFiles(fs, dir.file("e.til"), empty, EmptyTileSet::Write));
    EXPECT_EQ(ReadBytes(dir.file("e.til")), Bytes{'H'});
    EXPECT_EQ(ReadBytes(dir.file("e.ktf")), BuildKtf(empty.format()));
}

TEST_F(TileSetFileTest, SavingIsAllOrNothing) {
    const Bytes til = ReadBytes(dir.file("set.til"));
    const Bytes ktf = ReadBytes(dir.file("set.ktf"));
    TileSet other;
    kesh::test::MakeTiles(other, 16, 16, 1);
    kesh::test::FaultyFileSystem faulty;
    faulty.fault = kesh::test::FaultyFileSystem::Fault::Rename;
    faulty.succeedFirst = 1;
    EXPECT_EQ(SaveTileSetFiles(faulty, dir.file("set.til"), other, EmptyTileSet::Write).message(),
              std::string(msg::kSaveFailed) + "\n" + dir.file("set.ktf"));
    EXPECT_EQ(ReadBytes(dir.file("set.til")), til);
    EXPECT_EQ(ReadBytes(dir.file("set.ktf")), ktf);

    // A data file named like its own descriptor would be overwritten by it.
    EXPECT_EQ(SaveTileSetFiles(fs, dir.file("set.ktf"), other, EmptyTileSet::Write).message(),
              std::string(msg::kSaveFailed) + "\n" + dir.file("set.ktf"));
    EXPECT_EQ(ReadBytes(dir.file("set.ktf")), ktf);
}

TEST(OpenTarget, TileFilesAndDescriptorsOpenTheirDataFiles) {
    using T = OpenTarget;
    EXPECT_EQ(OpenTargetOf("/a/town.til"), (T{T::TileSet, "/a/town.til"}));
    EXPECT_EQ(OpenTargetOf("/a/TOWN.Til"), (T{T::TileSet, "/a/TOWN.Til"}));
    EXPECT_EQ(OpenTargetOf("/a/town.ktf"), (T{T::TileSet, "/a/town.til"}));
    EXPECT_EQ(OpenTargetOf("/a/town.old.KTF"), (T{T::TileSet, "/a/town.old.til"}));
    EXPECT_EQ(OpenTargetOf("/a/town.kmf"), (T{T::Map, "/a/town.map"}));
    EXPECT_EQ(OpenTargetOf("town.KMF"), (T{T::Map, "town.map"}));
    // Anything else is a map, as named.
    EXPECT_EQ(OpenTargetOf("/a/town.map"), (T{T::Map, "/a/town.map"}));
    EXPECT_EQ(OpenTargetOf("/a.til/town"), (T{T::Map, "/a.til/town"}));
    EXPECT_EQ(OpenTargetOf("/a/town.tile"), (T{T::Map, "/a/town.tile"}));
    EXPECT_EQ(OpenTargetOf("til"), (T{T::Map, "til"}));
}
