#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/Status.h"

namespace kesh {

// Why a whole-file read gave no bytes.
enum class ReadError {
    None,
    CannotOpen,     // missing, not permitted, or a read that failed
    NotRegularFile, // a folder, FIFO, device or socket: never read
    TooLarge,       // over the ceiling for its kind of file
    Changed,        // grew or shrank while it was read
};

// The Korean message for a read of `path` that failed with `error`, naming
// the path; for TooLarge also the ceiling `limit` in bytes.
Status ReadFailure(ReadError error, const std::string& path, uint64_t limit = 0);

// The bytes of a whole-file read, or why there are none. Reads like the
// optional it replaces (bool, * and ->).
template <class Bytes> class ReadResult {
public:
    ReadResult(Bytes bytes) : m_bytes(std::move(bytes)) {}
    ReadResult(ReadError error, const std::string& path, uint64_t limit = 0)
        : m_error(error), m_status(ReadFailure(error, path, limit)) {}

    explicit operator bool() const { return m_bytes.has_value(); }
    Bytes& operator*() { return *m_bytes; }
    const Bytes& operator*() const { return *m_bytes; }
    Bytes* operator->() { return &*m_bytes; }
    const Bytes* operator->() const { return &*m_bytes; }
    bool operator==(const Bytes& other) const { return m_bytes && *m_bytes == other; }

    ReadError error() const { return m_error; }
    // Ok after a read; otherwise why, with the path.
    const Status& status() const { return m_status; }
    // Why the file was refused (not a regular file, too large, changed while
    // read); `cannotOpen` when it merely could not be opened, for callers
    // whose own message says more (a missing descriptor, a missing image).
    Status Refusal(Status cannotOpen) const {
        return m_error == ReadError::CannotOpen ? std::move(cannotOpen) : m_status;
    }

private:
    std::optional<Bytes> m_bytes;
    ReadError m_error = ReadError::None;
    Status m_status = Status::Ok();
};

} // namespace kesh
