#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "io/FileSystem.h"

namespace kesh::cli {

// Exit statuses of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1; // an input file could not be read or written
inline constexpr int kExitUsage = 2;   // the command line was wrong

// Runs the tool on `args` (without the program name). Results go to `out`,
// messages to `err`. All files are read and written through `fs`.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           FileSystem& fs = FileSystem::Native());

const char* Version();

} // namespace kesh::cli
