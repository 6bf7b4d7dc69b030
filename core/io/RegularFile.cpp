#include "io/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kesh {

RegularFile::RegularFile(const std::string& path, uint64_t limit, ReadFn read)
    : m_path(path), m_limit(limit), m_read(std::move(read)) {
    if (!m_read)
        m_read = [](int fd, void* data, size_t size) { return ::read(fd, data, size); };
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        m_error = ReadError::CannotOpen;
    else if (!S_ISREG(st.st_mode))
        m_error = ReadError::NotRegularFile;
    else if (uint64_t(st.st_size) > limit)
        m_error = ReadError::TooLarge;
    else
        m_size = size_t(st.st_size);
}

RegularFile::~RegularFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

ssize_t RegularFile::ReadUpTo(uint8_t* data, size_t size) {
    size_t used = 0;
    while (used < size) {
        const ssize_t n = m_read(m_fd, data + used, size - used);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        used += size_t(n);
    }
    return ssize_t(used);
}

ReadError RegularFile::ReadExactly(uint8_t* data) {
    const ssize_t used = ReadUpTo(data, m_size);
    if (used < 0)
        return ReadError::CannotOpen;
    if (size_t(used) < m_size)
        return ReadError::Changed; // shortened meanwhile
    uint8_t probe = 0;
    const ssize_t more = ReadUpTo(&probe, 1);
    if (more < 0)
        return ReadError::CannotOpen;
    return more == 0 ? ReadError::None : ReadError::Changed; // grown meanwhile
}

ReadResult<std::vector<uint8_t>> RegularFile::ReadAll() {
    if (m_error != ReadError::None)
        return Failure<std::vector<uint8_t>>(m_error);
    std::vector<uint8_t> bytes;
    if (m_size > 0) {
        bytes.resize(m_size);
        if (const ReadError e = ReadExactly(bytes.data()); e != ReadError::None)
            return Failure<std::vector<uint8_t>>(e);
        return bytes;
    }
    // No size told: read on in pieces, but never past the ceiling.
    size_t used = 0;
    for (;;) {
        bytes.resize(used + (size_t(1) << 16));
        const ssize_t n = ReadUpTo(bytes.data() + used, bytes.size() - used);
        if (n < 0)
            return Failure<std::vector<uint8_t>>(ReadError::CannotOpen);
        used += size_t(n);
        if (used > m_limit)
            return Failure<std::vector<uint8_t>>(ReadError::TooLarge);
        if (used < bytes.size())
            break;
    }
    bytes.resize(used);
    return bytes;
}

bool RegularFile::SizeUnchanged() const {
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 && uint64_t(st.st_size) == m_size;
}

} // namespace kesh
