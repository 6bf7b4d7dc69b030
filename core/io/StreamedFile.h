#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/FileSystem.h"

namespace kesh {

class SaveLock;

// Writes one large file piece by piece without holding it all in memory, with
// the same promise as SaveFiles(): the bytes go to a temporary file beside the
// target, which replaces the target only when it is complete and flushed. An
// unfinished file is removed; the old target is never touched on failure.
class StreamedFile {
public:
    StreamedFile(FileSystem& fs, std::string path);
    ~StreamedFile();
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    // Takes the target's save lock (SaveLock), finishes or undoes an earlier
    // save of the target cut short (see FinishInterruptedSaves), then creates the temporary file;
    // false when that cannot be done, the file cannot be made or the target is read-only.
    bool Open();
    // Room for the next `n` bytes, to be filled by the caller before the next call.
    uint8_t* Append(size_t n);
    void Write(const void* data, size_t n);
    // Writes what is left, flushes and puts the file in place. Fails with
    // "파일을 저장하지 못했습니다.", the path and why when any step failed.
    Status Finish();

private:
    bool Flush();
    void Abandon();

    FileSystem& m_fs;
    std::string m_path;   // as the user named it, for messages
    std::string m_target; // the file replaced: where a symbolic link at m_path leads
    std::string m_temp;
    std::unique_ptr<SaveLock> m_lock; // from Open() to the end of the save
    int m_handle = -1;
    int m_error = 0; // errno of the first step that failed
    bool m_failed = false;
    Status m_refusal = Status::Ok(); // why Open() refused before writing anything
    std::vector<uint8_t> m_buffer;
    size_t m_used = 0;
};

} // namespace kesh
