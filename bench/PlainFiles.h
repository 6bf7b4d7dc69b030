#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The plain baselines' file work, for benchmarks that compare a file format
// with bytes written and read without any format.
namespace kesh::bench {

// A folder under /tmp for one benchmark, removed with it.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = "/tmp/kesh-bench-XXXXXX";
        m_path = ::mkdtemp(pattern.data()) ? pattern : "/tmp";
    }
    ~ScratchDir() {
        std::error_code ec;
        if (m_path != "/tmp")
            std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// What a save must at least do: the bytes written in 1 MiB pieces and
// flushed to the disk.
inline void WriteAndSync(const std::string& path, const uint8_t* bytes, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    for (size_t at = 0; at < size;) {
        const ssize_t done = ::write(fd, bytes + at, std::min<size_t>(size - at, 1 << 20));
        if (done <= 0)
            break;
        at += size_t(done);
    }
    ::fsync(fd);
    ::close(fd);
}

// What an open must at least do: the whole file read into fresh memory.
inline std::vector<uint8_t> ReadWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    std::vector<uint8_t> bytes(size_t(st.st_size));
    for (size_t at = 0; at < bytes.size();) {
        const ssize_t n = ::read(fd, bytes.data() + at, bytes.size() - at);
        if (n <= 0)
            break;
        at += size_t(n);
    }
    ::close(fd);
    return bytes;
}

} // namespace kesh::bench
