#include "io/StreamedFile.h"

#include <cerrno>
#include <cstring>

#include "base/Messages.h"
#include "io/CommitRecord.h"
#include "io/SaveLock.h"
#include "io/SaveRecovery.h"

namespace kesh {

namespace {

constexpr size_t kBufferSize = size_t(1) << 20;

} // namespace

StreamedFile::StreamedFile(FileSystem& fs, std::string path)
    : m_fs(fs), m_path(std::move(path)), m_target(m_path) {}

StreamedFile::~StreamedFile() {
    Abandon();
}

bool StreamedFile::Open() {
    m_target = m_fs.resolveLinks(m_path);
    m_refusal = CheckNotReadOnly(m_fs, m_path);
    if (m_refusal) {
        m_lock = std::make_unique<SaveLock>(m_fs, std::vector<std::string>{m_target});
        m_refusal = FinishInterruptedSaves(m_fs, {m_path});
    }
    if (!m_refusal) {
        m_failed = true;
        return false;
    }
    m_handle = CreateReplacement(m_fs, m_target, m_temp, &m_error);
    if (m_handle < 0) {
        m_failed = true;
        return false;
    }
    m_buffer.resize(kBufferSize);
    return true;
}

uint8_t* StreamedFile::Append(size_t n) {
    if (m_used + n > m_buffer.size()) {
        Flush();
        if (n > m_buffer.size())
            m_buffer.resize(n);
    }
    uint8_t* room = m_buffer.data() + m_used;
    m_used += n;
    return room;
}

void StreamedFile::Write(const void* data, size_t n) {
    if (n > 0)
        std::memcpy(Append(n), data, n);
}

bool StreamedFile::Flush() {
    if (m_used > 0 && !m_failed && m_handle >= 0) {
        m_failed = !m_fs.writeAll(m_handle, m_buffer.data(), m_used);
        if (m_failed)
            m_error = errno;
    }
    m_used = 0;
    return !m_failed;
}

Status StreamedFile::Finish() {
    bool ok = m_handle >= 0 && Flush();
    const auto noteError = [&] {
        if (!ok && m_error == 0)
            m_error = errno;
    };
    if (m_handle >= 0) {
        errno = 0;
        ok = ok && m_fs.sync(m_handle);
        noteError();
        ok = m_fs.close(m_handle) && ok;
        noteError();
        m_handle = -1;
    }
    errno = 0;
    ok = ok && m_fs.rename(m_temp, m_target);
    noteError();
    if (ok) {
        // The new name must be on the disk too, as after a save; the file is
        // in place by now, so a failure here is told but nothing is undone.
        m_temp.clear();
        errno = 0;
        ok = m_fs.syncFolder(FolderOf(m_target));
        noteError();
    }
    const bool locked = m_lock && m_lock->held();
    if (!ok) {
        Abandon();
        if (!m_refusal)
            return m_refusal;
        return Status::Fail(SaveFailure(m_path, m_error, locked));
    }
    m_temp.clear();
    // Without the lock another save may be under way: its temporaries stay.
    if (locked)
        RemoveLeftoverTemporaries(m_fs, m_target);
    m_lock.reset();
    return Status::Ok();
}

void StreamedFile::Abandon() {
    if (m_handle >= 0) {
        m_fs.close(m_handle);
        m_handle = -1;
    }
    if (!m_temp.empty()) {
        m_fs.remove(m_temp);
        m_temp.clear();
    }
    m_lock.reset();
    m_failed = true;
}

} // namespace kesh
