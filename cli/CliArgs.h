#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kesh::cli {

struct OptionDef {
    std::string name; // with the dashes: "--cells"
    bool takesValue = false;
    // Takes a number as its value when one follows ("--quantize 64",
    // "--quantize=64"), else stands alone with the value "".
    bool numberMayFollow = false;
};

// A subcommand's arguments: the plain ones in order, and the options given.
struct ParsedArgs {
    std::vector<std::string> positionals;
    std::map<std::string, std::string> options; // a flag maps to ""

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;
};

// Splits `args` by `defs`. Options may come anywhere, as "--name value" or
// "--name=value"; after "--" everything is plain. An unknown or repeated
// option, or one without its value, fails with `error` set (Korean text).
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
               ParsedArgs& out, std::string& error);

// The number of colours of "--quantize [N]": 256 for "", else N of 2 to 256.
bool ParseColourCount(const std::string& text, int& colours);

} // namespace kesh::cli
