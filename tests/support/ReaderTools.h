#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace kesh::test {

// Helpers for the tests that compile and run the generated readers with
// KESH_TEST_CC and KESH_TEST_PYTHON (found at configure time).

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// Whether a missing compiler or python3 fails the test (scripts/test sets
// KESH_REQUIRE_READER_TOOLS) rather than skipping it.
inline bool ReaderToolsRequired() {
    const char* value = std::getenv("KESH_REQUIRE_READER_TOOLS");
    return value != nullptr && *value != '\0' && std::string(value) != "0";
}

// Runs a shell command with its output to `out` and its errors to `log`;
// true when it exits with 0.
inline bool RunTo(const std::string& command, const std::string& out, const std::string& log) {
    return std::system((command + " >" + Quote(out) + " 2>" + Quote(log)).c_str()) == 0;
}

} // namespace kesh::test
