#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "io/ReadResult.h"

namespace kesh {

// A file opened for one whole read. Only a regular file is read: it is opened
// without blocking (a FIFO with no writer would wait for ever) and a folder,
// FIFO, device or socket is refused. The size it had when opened is all that
// is read, and only within the ceiling for its kind; a file that grows or
// shrinks while it is read is refused as changed. Closed with the object.
class RegularFile {
public:
    // The system's read(); tests pass one that changes the file meanwhile.
    using ReadFn = std::function<ssize_t(int fd, void* data, size_t size)>;

    RegularFile(const std::string& path, uint64_t limit, ReadFn read = {});
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // None when the file is open and may be read.
    ReadError error() const { return m_error; }
    int fd() const { return m_fd; }
    // Its size when opened; 0 also for the system's own files that tell none
    // (those under /proc), which ReadAll reads to their end within the ceiling.
    size_t size() const { return m_size; }

    // Reads size() bytes to `data` and checks that the file ends there.
    ReadError ReadExactly(uint8_t* data);
    // The whole file, sized or not.
    ReadResult<std::vector<uint8_t>> ReadAll();
    // After the file was mapped: whether it still has the size it was opened with.
    bool SizeUnchanged() const;
    // The failure `error` for this file's path.
    template <class Bytes> ReadResult<Bytes> Failure(ReadError error) const {
        return ReadResult<Bytes>(error, m_path, m_limit);
    }

private:
    // Reads up to `size` bytes; the count (less at the end of the file), or -1.
    ssize_t ReadUpTo(uint8_t* data, size_t size);

    std::string m_path;
    uint64_t m_limit;
    ReadFn m_read;
    int m_fd = -1;
    size_t m_size = 0;
    ReadError m_error = ReadError::None;
};

} // namespace kesh
