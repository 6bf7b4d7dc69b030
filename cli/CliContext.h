#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "Cli.h"
#include "CliArgs.h"
#include "app/UserServices.h"
#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh::cli {

// How many plain arguments a subcommand takes.
struct PlainArgs {
    size_t count = 0;
    bool orMore = false;

    static PlainArgs Exactly(size_t n) { return {n, false}; }
    static PlainArgs AtLeast(size_t n) { return {n, true}; }
};

// Refuses option values a subcommand cannot use, with `error` set (Korean text).
using OptionCheck = std::function<bool(const ParsedArgs& args, std::string& error)>;

// What every subcommand works with.
struct CliContext {
    FileSystem& fs;
    UserServices& services;
    std::ostream& out;
    std::ostream& err;

    // Shows why an input file was refused and gives the matching exit status.
    int Refuse(const Status& status) {
        services.ShowMessage(status.message());
        return kExitRefused;
    }
    // Shows what was wrong with the command line and gives the matching exit status.
    int Usage(const std::string& problem);

    // The start every subcommand shares: splits `args` by `options` (ParseArgs),
    // lets `check` refuse option values, then counts the plain arguments.
    // False after showing the first problem through Usage(): the subcommand
    // then exits with kExitUsage.
    bool ReadArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& options,
                  PlainArgs plain, ParsedArgs& out, const OptionCheck& check = {});
};

} // namespace kesh::cli
