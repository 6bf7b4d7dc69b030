#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/ByteWriter.h"
#include "io/FileBytes.h"
#include "io/ReadResult.h"

namespace kesh {

// The file primitives the program uses. Everything that touches the disk goes
// through here, so tests can make any step fail (a full disk, a write that
// stops after N bytes, a rename that is refused) even when running as root.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whole-file read of a regular file of at most `limit` bytes (the ceiling
    // for its kind, see io/InputLimits.h); no bytes, and why, when it cannot
    // be opened, is no regular file, is larger or changes while it is read.
    virtual ReadResult<std::vector<uint8_t>> readFile(const std::string& path, uint64_t limit) = 0;
    // The same without filling memory first (large files are mapped); for
    // files read once and then let go, such as the map and tile files. By
    // default it takes readFile's bytes.
    virtual ReadResult<FileBytes> readBytes(const std::string& path, uint64_t limit);
    virtual bool exists(const std::string& path) = 0;
    // True for an existing file that is marked read-only: one without any
    // write permission bit counts even for root, as a file locked by a version
    // control checkout must not be replaced behind its owner's back.
    virtual bool isReadOnly(const std::string& path) = 0;
    // The file a symbolic link at `path` leads to; `path` itself when it is
    // not a link (or leads nowhere). Saves replace that file, not the link.
    virtual std::string resolveLinks(const std::string& path) = 0;

    // The names of the entries of a folder; empty when it cannot be read.
    virtual std::vector<std::string> listFolder(const std::string& folder) = 0;
    // Creates the folder `path` and any missing parents, readable by the
    // owner only. True when the folder exists afterwards.
    virtual bool makeFolders(const std::string& path) = 0;

    // Low-level writing used by SaveFiles(). A handle is an opaque number; -1 is failure.
    virtual int createExclusive(const std::string& path) = 0;
    virtual bool writeAll(int handle, const uint8_t* data, size_t size) = 0;
    // Gives the open file the permission bits of the existing file `like`, so
    // a replaced file keeps them; nothing happens when `like` does not exist.
    virtual void copyMode(int handle, const std::string& like) = 0;
    virtual bool sync(int handle) = 0;
    virtual bool close(int handle) = 0;
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // A second name for an existing file (a hard link); used to keep the old
    // file until a multi-file save has fully succeeded.
    virtual bool link(const std::string& existing, const std::string& newName) = 0;
    // Makes the entries of a folder ("" is the current one) durable: the
    // names that renames, links and removals gave or took are on the disk.
    virtual bool syncFolder(const std::string& folder) = 0;
    // Opens an existing file and takes an exclusive lock on it that lasts
    // until the handle is closed (or the process ends); -1 when the file
    // cannot be opened or another open handle holds the lock.
    virtual int lockFile(const std::string& path) = 0;

    // The real disk.
    static FileSystem& Native();
};

struct FileContents {
    std::string path;
    std::vector<uint8_t> bytes;
};

// A file of a save whose bytes are made while it is written: `write` puts
// them into the writer it is given, which passes them on to the temporary
// file through a buffer of fixed size. A failed status ends the save, with
// that status, before anything is replaced.
struct FileSource {
    std::string path;
    std::function<Status(ByteWriter& out)> write;
};

// Creates the temporary file that is to replace `target` (a path with its
// links resolved), with the target's permission bits, and names it in `name`
// ("<target>.kesh-XXXXXXXX.tmp").
// Returns its handle, or -1 (and "" as the name) when none can be made; then
// `error`, when given, holds the system's error number (0 when none was told).
int CreateReplacement(FileSystem& fs, const std::string& target, std::string& name,
                      int* error = nullptr);

// "파일을 저장하지 못했습니다.", the path and why: the system's reason for
// `error` (errno), or, when there is none and the save went ahead without
// its lock (`locked` false), "다른 프로그램이 이 파일을 저장하고 있습니다.".
std::string SaveFailure(const std::string& path, int error, bool locked);

// Removes the temporary files that saves of `target` which never finished (the
// program was killed, the machine lost power) left beside it. Files a commit
// record beside it still names stay, and so does everything while a record
// there cannot be read.
void RemoveLeftoverTemporaries(FileSystem& fs, const std::string& target);

// Gives the existing file `target` a second, fresh name beside it
// ("<target>.kesh-XXXXXXXX.tmp") by a hard link; "" when none can be made.
std::string LinkUnderFreshName(FileSystem& fs, const std::string& target);

// Fails with "파일을 저장하지 못했습니다.", the path and "읽기 전용 파일입니다."
// when `path` is an existing read-only file.
Status CheckNotReadOnly(FileSystem& fs, const std::string& path);

// Writes every file all-or-nothing: each goes to a temporary file beside its
// target, is flushed, and only when all are complete are they renamed over
// the targets. On failure no temporary file is left and the old files are
// untouched; the status carries "파일을 저장하지 못했습니다.", the path and why
// (see SaveFailure). A read-only target fails the save before anything is
// written. Saves of the same files by other processes wait for each other
// (SaveLock). Memory that runs out while a file is made fails the save with
// "메모리가 부족합니다." and leaves nothing behind. An earlier
// save of the targets cut short during its renames is first finished or
// undone (FinishInterruptedSaves); when that cannot be done the save fails
// with the reason. A successful save that held its lock also clears what
// earlier unfinished saves of the targets left behind, except what a commit
// record still needs.
Status SaveFiles(FileSystem& fs, const std::vector<FileContents>& files);
// The same for files made while they are written, so that none is ever held
// whole in memory.
Status SaveFiles(FileSystem& fs, const std::vector<FileSource>& files);

} // namespace kesh
