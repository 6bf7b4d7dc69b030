#include "io/AbsolutePath.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace kesh {

namespace {

// Appends the parts of `path` between slashes, "." and empty ones left out.
void SplitInto(const std::string& path, std::vector<std::string>& parts) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        start = end + 1;
    }
}

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()))
            return buffer.data();
        if (errno != ERANGE || buffer.size() > (size_t(1) << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

std::string AbsolutePath(const std::string& path) {
    if (path.empty())
        return path;
    std::vector<std::string> parts;
    size_t fromCwd = 0; // leading parts that come from the current folder: real folders
    if (path.front() != '/') {
        const std::string cwd = CurrentFolder();
        if (cwd.empty() || cwd.front() != '/')
            return path;
        SplitInto(cwd, parts);
        fromCwd = parts.size();
    }
    std::vector<std::string> own;
    SplitInto(path, own);
    bool climbing = true; // still in the leading ".." of a relative path
    for (auto& part : own) {
        if (climbing && part == "..") {
            // Up from a folder of the current path, or at "/", which is its own parent.
            if (fromCwd > 0) {
                parts.pop_back();
                --fromCwd;
            }
            continue;
        }
        climbing = false;
        parts.push_back(std::move(part));
    }
    std::string result;
    for (const auto& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

} // namespace kesh
