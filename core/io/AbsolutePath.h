#pragma once

#include <string>

namespace kesh {

// `path` as an absolute path, the way the user named the file: a relative
// path is taken from the current folder, "." and empty parts are dropped and
// a leading ".." climbs the current folder. Symbolic links are not resolved,
// so a link stays the name of the file; a ".." after a part the user typed is
// kept, as that part may be a link to a folder elsewhere. An empty path, or
// one made when the current folder is unknown, comes back as it was.
std::string AbsolutePath(const std::string& path);

} // namespace kesh
