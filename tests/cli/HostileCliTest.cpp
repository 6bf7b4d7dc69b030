// kesh-cli against what a hostile user or another program does: names that
// lead to devices, memory that runs out, two processes saving one map.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "CliTestSupport.h"
#include "base/Messages.h"
#include "support/FaultyFileSystem.h"

extern char** environ;

using namespace kesh;
using kesh::test::TempDir;

namespace {

// Starts kesh-cli with `args`, its messages going to `errPath`.
pid_t Start(const std::vector<std::string>& args, const std::string& errPath) {
    std::vector<std::string> all = {KESH_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

// Memory that runs out anywhere in a command is reported, never an abort,
// and nothing is written.
TEST(HostileCli, MemoryRunningOutEndsTheCommandWithAMessage) {
    class Exhausted : public test::FaultyFileSystem {
        ReadResult<std::vector<uint8_t>> readFile(const std::string&, uint64_t) override {
            throw std::bad_alloc();
        }
    } fs;
    TempDir dir;
    test::SaveMap(dir.file("a.map"));
    const auto before = dir.entries();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", dir.file("a.map")},
          {"convert", dir.file("a.map"), dir.file("b.map")},
          {"palette", dir.file("a.pcx")}}) {
        std::ostringstream out, err;
        EXPECT_EQ(cli::RunCli(args, out, err, fs), cli::kExitRefused) << args[0];
        EXPECT_EQ(err.str(), std::string(msg::kOutOfMemory) + "\n") << args[0];
        EXPECT_EQ(dir.entries(), before) << args[0];
    }
}

// Names that lead to a device or FIFO are refused, naming them, at once.
TEST(HostileCli, DevicesAndFifosAreRefused) {
    TempDir dir;
    test::SaveMap(dir.file("a.map"));
    std::filesystem::create_symlink("/dev/zero", dir.file("z.map"));
    std::filesystem::copy_file(dir.file("a.kmf"), dir.file("z.kmf"));
    ASSERT_EQ(::mkfifo(dir.file("f.png").c_str(), 0600), 0);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", dir.file("z.map")},
          {"palette", "/dev/zero"},
          {"import-image", dir.file("f.png"), dir.file("s.til"), "--tile-size", "8x8"},
          {"import-tmx", "/dev/zero", dir.file("x.map")}}) {
        const test::CliRun run = test::Cli(args);
        EXPECT_EQ(run.status, cli::kExitRefused) << args[0];
        EXPECT_EQ(run.err, std::string(msg::kNotRegularFile) + "\n" + args[1] + "\n") << args[0];
    }
}

TEST(HostileCli, TwoProcessesSavingOneMapBothSucceed) {
    TempDir dir;
    // Large enough that the two saves overlap.
    MapModel map;
    ASSERT_TRUE(map.AllocateCells(1024, 512));
    map.format().items = {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile};
    ASSERT_TRUE(SaveMapFiles(FileSystem::Native(), dir.file("in.map"), map, test::Tiles({5, 6})));
    const std::string out = dir.file("out.map");
    for (int round = 0; round < 12; ++round) {
        const pid_t a = Start({"convert", dir.file("in.map"), out}, dir.file("a.err"));
        const pid_t b = Start(
            {"convert", dir.file("in.map"), out, "--map-items", "SizeWord,TileFile,CellsWord"},
            dir.file("b.err"));
        ASSERT_GT(a, 0);
        ASSERT_GT(b, 0);
        EXPECT_EQ(Wait(a), 0) << Text(dir.file("a.err"));
        EXPECT_EQ(Wait(b), 0) << Text(dir.file("b.err"));
        // Whichever came last, the pair reads as one map, and nothing is left beside it.
        MapModel opened;
        TileSet tiles;
        bool missing = false;
        EXPECT_TRUE(OpenMapFiles(FileSystem::Native(), out, opened, tiles, missing));
        EXPECT_EQ(dir.entries(), (std::vector<std::string>{"a.err", "b.err", "in.kmf", "in.map",
                                                           "out.kmf", "out.map"}))
            << "round " << round;
    }
}
