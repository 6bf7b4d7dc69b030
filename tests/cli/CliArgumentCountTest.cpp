#include <gtest/gtest.h>

#include "CliMessages.h"
#include "CliTestSupport.h"

using namespace kesh::test;
namespace text = kesh::cli::text;

// Every subcommand counts its plain arguments the same way: too few or too
// many is wrong usage (2) before any file is touched; a count it takes goes on
// to the files, which do not exist here (1). Option values that convert
// cannot use are reported before the count.
TEST(CliArgumentCountTest, EverySubcommandCountsItsArguments) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* problem; // on standard error, for wrong usage
    };
    const std::vector<Case> cases = {
        {{"info"}, 2, text::kWrongArgCount},
        {{"info", "a.map", "b.map", "--cells"}, 2, text::kWrongArgCount},
        {{"export-bmp", "a.map", "b.bmp", "c.bmp"}, 2, text::kWrongArgCount},
        {{"export-png", "a.map"}, 2, text::kWrongArgCount},
        {{"palette", "a.pcx", "b.pcx"}, 2, text::kWrongArgCount},
        {{"add-tiles", "a.til"}, 2, text::kWrongArgCount},
        {{"add-tiles", "a.til", "b.til", "c.til"}, 1, nullptr},
        {{"convert", "a.map", "b.map", "c.map"}, 2, text::kWrongArgCount},
        {{"convert", "a.map", "--attr-width", "3"}, 2, text::kBadAttrWidth},
        {{"import-image", "a.png"}, 2, text::kWrongArgCount},
        {{"layout", "--json"}, 2, text::kWrongArgCount},
        {{"codegen", "a.map", "b.map", "--lang", "c"}, 2, text::kWrongArgCount},
        {{"export-tmx", "a.map"}, 2, text::kWrongArgCount},
        {{"import-tmx", "a.tmx", "b.map", "c.map"}, 2, text::kWrongArgCount},
        {{"delete-tile", "a.map"}, 2, text::kWrongArgCount},
        {{"delete-tile", "a.map", "1"}, 1, nullptr},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.args);
        const std::string name = c.args[0] + " with " + std::to_string(c.args.size() - 1);
        EXPECT_EQ(run.status, c.status) << name << '\n' << run.err;
        if (c.problem) {
            EXPECT_TRUE(Has(run.err, c.problem)) << name << '\n' << run.err;
        }
        EXPECT_TRUE(run.out.empty()) << name;
    }
}
