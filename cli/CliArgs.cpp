#include "CliArgs.h"

#include <algorithm>
#include <charconv>

#include "CliMessages.h"

namespace kesh::cli {

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
               ParsedArgs& out, std::string& error) {
    bool plainOnly = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A one-letter option ("-o") counts only when the command takes it.
        const bool shortOption = !plainOnly && arg.size() == 2 && arg[0] == '-' && arg[1] != '-' &&
                                 std::any_of(defs.begin(), defs.end(),
                                             [&](const OptionDef& d) { return d.name == arg; });
        if (!shortOption && (plainOnly || arg.size() < 2 || arg.compare(0, 2, "--") != 0)) {
            out.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            plainOnly = true;
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const OptionDef* def = nullptr;
        for (const auto& s : defs)
            if (s.name == name)
                def = &s;
        if (!def || (!def->takesValue && !def->numberMayFollow && eq != std::string::npos)) {
            error = std::string(text::kUnknownOption) + arg;
            return false;
        }
        if (out.has(name)) {
            error = std::string(text::kRepeatedOption) + name;
            return false;
        }
        std::string value;
        const auto isNumber = [](const std::string& s) {
            return !s.empty() &&
                   std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (def->numberMayFollow) {
            if (eq != std::string::npos)
                value = arg.substr(eq + 1);
            else if (!plainOnly && i + 1 < args.size() && isNumber(args[i + 1]))
                value = args[++i];
        } else if (def->takesValue) {
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = std::string(text::kMissingValue) + name;
                return false;
            }
        }
        out.options[name] = value;
    }
    return true;
}

bool ParseColourCount(const std::string& text, int& colours) {
    if (text.empty()) {
        colours = 256;
        return true;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), colours);
    return ec == std::errc() && end == text.data() + text.size() && colours >= 2 && colours <= 256;
}

} // namespace kesh::cli
