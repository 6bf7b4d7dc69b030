#include "io/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "app/Messages.h"
#include "io/AbsolutePath.h"
#include "io/CommitRecord.h"
#include "io/Replacement.h"
#include "io/SaveRecovery.h"

namespace kesh {

namespace {

class NativeFileSystem final : public FileSystem {
public:
    std::optional<std::vector<uint8_t>> readFile(const std::string& path) override {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::nullopt;
        // Read straight into a buffer of the file's size; grow only if the
        // file turns out longer than it said (a pipe, a file still growing).
        struct stat st {};
        size_t expected = (::fstat(fd, &st) == 0 && st.st_size > 0) ? size_t(st.st_size) : 0;
        std::vector<uint8_t> bytes(expected > 0 ? expected : size_t(1) << 16);
        size_t used = 0;
        for (;;) {
            if (used == bytes.size())
                bytes.resize(bytes.size() * 2);
            ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                ::close(fd);
                return std::nullopt;
            }
            if (n == 0)
                break;
            used += size_t(n);
        }
        ::close(fd);
        bytes.resize(used);
        return bytes;
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
        if (!fs.exists(name))
            break;
    }
    return {};
}

std::vector<std::string> PathsOf(const std::vector<FileContents>& files) {
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

int CreateReplacement(FileSystem& fs, const std::string& target, std::string& name) {
    int handle = -1;
    name = ClaimFreshName(fs, target, [&](const std::string& candidate) {
        handle = fs.createExclusive(candidate);
        return handle >= 0;
    });
    if (handle >= 0)
        fs.copyMode(handle, target);
    return handle;
}

Status CheckNotReadOnly(FileSystem& fs, const std::string& path) {
    if (fs.isReadOnly(path))
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path + "\n" +
                            msg::kReadOnlyFile);
    return Status::Ok();
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
    for (const auto& file : files)
        if (Status st = CheckNotReadOnly(fs, file.path); !st)
            return st;
    if (Status st = FinishInterruptedSaves(fs, PathsOf(files)); !st)
        return st;
    std::vector<Replacement> written;
    for (const auto& file : files) {
        // Where the file really goes: a symbolic link keeps pointing at the saved file.
        Replacement next{file.path, fs.resolveLinks(file.path), {}};
        const int handle = CreateReplacement(fs, next.target, next.temp);
        if (handle < 0) {
            AbandonReplacements(fs, written);
            return Status::Fail(std::string(msg::kSaveFailed) + "\n" + file.path);
        }
        written.push_back(next);
        bool ok = fs.writeAll(handle, file.bytes.data(), file.bytes.size());
        ok = fs.sync(handle) && ok;
        ok = fs.close(handle) && ok;
        if (!ok) {
            AbandonReplacements(fs, written);
            return Status::Fail(std::string(msg::kSaveFailed) + "\n" + file.path);
        }
    }
    return CommitReplacements(fs, written);
}

} // namespace kesh
