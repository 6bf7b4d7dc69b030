#pragma once

#include <ostream>
#include <string>

#include "Cli.h"
#include "app/UserServices.h"
#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh::cli {

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
};

} // namespace kesh::cli
