#include "tmx/TmxLoader.h"

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

std::optional<std::vector<uint8_t>> FolderLoader::Load(const std::string& path) {
    return m_fs.readFile(JoinPath(m_folder, path));
}

} // namespace kesh
