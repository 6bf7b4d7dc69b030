#include "io/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>

#include "base/Messages.h"
#include "io/AbsolutePath.h"
#include "io/CommitRecord.h"
#include "io/RegularFile.h"
#include "io/Replacement.h"
#include "io/SaveLock.h"
#include "io/SaveRecovery.h"
#include "io/SystemReason.h"

namespace kesh {

namespace {

// The piece a save writes to its temporary file at a time.
constexpr size_t kSavePiece = size_t(1) << 20;

// Files from this size on are mapped rather than read.
constexpr size_t kMapFrom = size_t(1) << 20;

class NativeFileSystem final : public FileSystem {
public:
    ReadResult<std::vector<uint8_t>> readFile(const std::string& path, uint64_t limit) override {
        return RegularFile(path, limit).ReadAll();
    }

    ReadResult<FileBytes> readBytes(const std::string& path, uint64_t limit) override {
        RegularFile file(path, limit);
        if (file.error() != ReadError::None)
            return file.Failure<FileBytes>(file.error());
        const size_t size = file.size();
        if (size >= kMapFrom) {
            // Mapped and faulted in at once: the pages come straight from the
            // page cache, with no copy and nothing to fill. A file that
            // shrinks later trips the mapping's guard; one that grew while
            // it was mapped is refused here.
            void* address =
                ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.fd(), 0);
            if (address != MAP_FAILED) {
                ::madvise(address, size, MADV_SEQUENTIAL);
                FileBytes out = FileBytes::Mapped(address, size);
                if (out.guarded()) {
                    if (!file.SizeUnchanged())
                        return file.Failure<FileBytes>(ReadError::Changed);
                    return out;
                }
                // Too many files mapped at once: this one is read.
            }
        }
        if (size == 0) {
            auto all = file.ReadAll();
            if (!all)
                return file.Failure<FileBytes>(all.error());
            return FileBytes(std::move(*all));
        }
        FileBytes out = FileBytes::Uninitialised(size);
        if (const ReadError e = file.ReadExactly(out.data()); e != ReadError::None)
            return file.Failure<FileBytes>(e);
        return out;
    }

    bool exists(const std::string& path) override { return ::access(path.c_str(), F_OK) == 0; }

    bool isReadOnly(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return false;
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
               ::access(path.c_str(), W_OK) != 0;
    }

    std::string resolveLinks(const std::string& path) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char* real = ::realpath(path.c_str(), nullptr);
        if (!real)
            return path; // a dangling link is replaced, as before
        std::string resolved = real;
        std::free(real);
        return resolved;
    }

    std::vector<std::string> listFolder(const std::string& folder) override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!dir)
            return names;
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
        return names;
    }

    bool makeFolders(const std::string& path) override {
        for (size_t slash = path.find('/', 1); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            (void)::mkdir(path.substr(0, slash).c_str(), 0700);
        (void)::mkdir(path.c_str(), 0700);
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    int createExclusive(const std::string& path) override {
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }

    bool writeAll(int handle, const uint8_t* data, size_t size) override {
        while (size > 0) {
            ssize_t n = ::write(handle, data, size);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    void copyMode(int handle, const std::string& like) override {
        struct stat st {};
        if (::stat(like.c_str(), &st) == 0)
            (void)::fchmod(handle, st.st_mode & 07777);
    }

    bool sync(int handle) override { return ::fsync(handle) == 0; }
    bool close(int handle) override { return ::close(handle) == 0; }
    bool rename(const std::string& from, const std::string& to) override {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    bool remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    bool link(const std::string& existing, const std::string& newName) override {
        return ::link(existing.c_str(), newName.c_str()) == 0;
    }
    int lockFile(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    bool syncFolder(const std::string& folder) override {
        const int fd =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool ok = ::fsync(fd) == 0;
        return (::close(fd) == 0) && ok;
    }
};

// A fresh name for a temporary file beside `target`: "<target>.kesh-XXXXXXXX.tmp".
constexpr size_t kNameDigits = 8;

std::string TemporaryNameFor(const std::string& target) {
    static std::mt19937_64 rng{std::random_device{}()};
    static const char* digits = "0123456789abcdef";
    std::string suffix;
    uint64_t r = rng();
    for (size_t i = 0; i < kNameDigits; ++i, r >>= 4)
        suffix += digits[r & 15];
    return target + ".kesh-" + suffix + ".tmp";
}

// Tries fresh temporary names beside `target` until `claim` succeeds with one.
// A name that is taken (left by a save that never finished) is skipped; any
// other failure ends the attempts. Returns the name claimed, or "".
template <typename Claim>
std::string ClaimFreshName(FileSystem& fs, const std::string& target, Claim claim) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = TemporaryNameFor(target);
        if (claim(name))
            return name;
        const int error = errno; // the claim's reason, not the check's
        const bool taken = fs.exists(name);
        errno = error;
        if (!taken)
            break;
    }
    return {};
}

std::vector<std::string> PathsOf(const std::vector<FileSource>& files) {
    std::vector<std::string> paths;
    for (const auto& file : files)
        paths.push_back(file.path);
    return paths;
}

} // namespace

void RemoveLeftoverTemporaries(FileSystem& fs, const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = FolderOf(target);
    const std::string prefix = target.substr(slash + 1) + ".kesh-"; // npos + 1 == 0
    const std::string suffix = ".tmp";
    auto isLeftover = [&](const std::string& name) {
        if (name.size() != prefix.size() + kNameDigits + suffix.size() ||
            name.rfind(prefix, 0) != 0 ||
            name.compare(prefix.size() + kNameDigits, suffix.size(), suffix) != 0)
            return false;
        return std::all_of(name.begin() + long(prefix.size()),
                           name.begin() + long(prefix.size() + kNameDigits),
                           [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
    };
    // What a commit record still needs stays; with a record that cannot be
    // read, anything might be needed, so nothing goes.
    const auto needed = FilesNeededByRecords(fs, folder);
    if (!needed)
        return;
    for (const auto& name : fs.listFolder(folder)) {
        const std::string path = InFolder(folder, name);
        if (isLeftover(name) &&
            std::find(needed->begin(), needed->end(), AbsolutePath(path)) == needed->end())
            fs.remove(path);
    }
}

int CreateReplacement(FileSystem& fs, const std::string& target, std::string& name, int* error) {
    int handle = -1;
    name = ClaimFreshName(fs, target, [&](const std::string& candidate) {
        errno = 0;
        handle = fs.createExclusive(candidate);
        if (handle < 0 && error)
            *error = errno;
        return handle >= 0;
    });
    if (handle >= 0)
        fs.copyMode(handle, target);
    return handle;
}

std::string SaveFailure(const std::string& path, int error, bool locked) {
    std::string text = std::string(msg::kSaveFailed) + "\n" + path;
    if (const std::string reason = SystemReason(error); !reason.empty())
        text += "\n" + reason;
    else if (!locked)
        text += std::string("\n") + msg::kSavingElsewhere;
    return text;
}

Status CheckNotReadOnly(FileSystem& fs, const std::string& path) {
    if (fs.isReadOnly(path))
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path + "\n" +
                            msg::kReadOnlyFile);
    return Status::Ok();
}

ReadResult<FileBytes> FileSystem::readBytes(const std::string& path, uint64_t limit) {
    auto bytes = readFile(path, limit);
    if (!bytes)
        return ReadResult<FileBytes>(bytes.error(), path, limit);
    return FileBytes(std::move(*bytes));
}

FileSystem& FileSystem::Native() {
    static NativeFileSystem fs;
    return fs;
}

std::string LinkUnderFreshName(FileSystem& fs, const std::string& target) {
    return ClaimFreshName(fs, target,
                          [&](const std::string& name) { return fs.link(target, name); });
}

Status SaveFiles(FileSystem& fs, const std::vector<FileContents>& files) {
    std::vector<FileSource> sources;
    sources.reserve(files.size());
    for (const auto& file : files)
        sources.push_back({file.path, [&bytes = file.bytes](ByteWriter& out) {
                               out.write(bytes.data(), bytes.size());
                               return Status::Ok();
                           }});
    return SaveFiles(fs, sources);
}

Status SaveFiles(FileSystem& fs, const std::vector<FileSource>& files) {
    for (const auto& file : files)
        if (Status st = CheckNotReadOnly(fs, file.path); !st)
            return st;
    std::vector<std::string> targets;
    for (const auto& file : files)
        targets.push_back(fs.resolveLinks(file.path));
    const SaveLock lock(fs, targets);
    if (Status st = FinishInterruptedSaves(fs, PathsOf(files)); !st)
        return st;
    std::vector<Replacement> written;
    const auto failed = [&](const std::string& path, int error) {
        AbandonReplacements(fs, written);
        return Status::Fail(SaveFailure(path, error, lock.held()));
    };
    for (size_t i = 0; i < files.size(); ++i) {
        const FileSource& file = files[i];
        // Where the file really goes: a symbolic link keeps pointing at the saved file.
        Replacement next{file.path, targets[i], {}};
        int error = 0;
        const int handle = CreateReplacement(fs, next.target, next.temp, &error);
        if (handle < 0)
            return failed(file.path, error);
        written.push_back(next);
        ByteWriter out(
            [&fs, handle, &error](const uint8_t* data, size_t size) {
                const bool ok = fs.writeAll(handle, data, size);
                if (!ok && error == 0)
                    error = errno;
                return ok;
            },
            kSavePiece);
        Status made = Status::Ok();
        bool ok = true;
        try {
            made = file.write(out);
            ok = made.ok() && out.Flush();
        } catch (const std::bad_alloc&) {
            made = Status::Fail(std::string(msg::kSaveFailed) + "\n" + file.path + "\n" +
                                msg::kOutOfMemory);
        }
        errno = 0;
        ok = fs.sync(handle) && ok;
        if (!ok && error == 0)
            error = errno;
        ok = fs.close(handle) && ok;
        if (!ok && error == 0)
            error = errno;
        if (!made) {
            AbandonReplacements(fs, written);
            return made;
        }
        if (!ok)
            return failed(file.path, error);
    }
    return CommitReplacements(fs, written, lock.held());
}

} // namespace kesh
