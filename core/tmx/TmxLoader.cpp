#include "tmx/TmxLoader.h"

#include "io/AbsolutePath.h"

namespace kesh {

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& relative) {
    if (folder.empty() || (!relative.empty() && relative[0] == '/'))
        return relative;
    return folder + "/" + relative;
}

ReadResult<std::vector<uint8_t>> FolderLoader::Load(const std::string& path, uint64_t limit) {
    return m_fs.readFile(JoinPath(m_folder, path), limit);
}

std::string FolderLoader::Identity(const std::string& path) {
    return AbsolutePath(m_fs.resolveLinks(JoinPath(m_folder, path)));
}

} // namespace kesh
