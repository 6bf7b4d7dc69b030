#include "io/FileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <random>

#include "app/Messages.h"

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

} // namespace

void RemoveLeftoverTemporaries(FileSystem& fs, const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash);
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
    for (const auto& name : fs.listFolder(folder))
        if (isLeftover(name))
            fs.remove(slash == std::string::npos ? name : folder + "/" + name);
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

Status SaveFiles(FileSystem& fs, const std::vector<FileContents>& files) {
    std::vector<std::string> temps;   // complete new contents, not yet in place
    std::vector<std::string> backups; // old targets kept under a second name ("" when none)
    size_t placed = 0;                // targets already replaced by their new contents
    // Where each file really goes: a symbolic link keeps pointing at the saved file.
    std::vector<std::string> targets;
    for (const auto& file : files)
        targets.push_back(fs.resolveLinks(file.path));

    auto fail = [&](const std::string& path) {
        // Put back the old files that were already replaced, newest first.
        for (size_t i = placed; i-- > 0;) {
            if (!backups[i].empty())
                fs.rename(backups[i], targets[i]);
            else
                fs.remove(targets[i]);
        }
        for (size_t i = placed; i < backups.size(); ++i)
            if (!backups[i].empty())
                fs.remove(backups[i]);
        for (size_t i = placed; i < temps.size(); ++i)
            fs.remove(temps[i]);
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + path);
    };

    for (const auto& file : files)
        if (Status st = CheckNotReadOnly(fs, file.path); !st)
            return st;
    for (size_t i = 0; i < files.size(); ++i) {
        const FileContents& file = files[i];
        std::string temp;
        const int handle = CreateReplacement(fs, targets[i], temp);
        if (handle < 0)
            return fail(file.path);
        temps.push_back(temp);
        bool ok = fs.writeAll(handle, file.bytes.data(), file.bytes.size());
        ok = fs.sync(handle) && ok;
        ok = fs.close(handle) && ok;
        if (!ok)
            return fail(file.path);
    }
    // Keep every old target under a second name until all new files are in place.
    for (size_t i = 0; i < files.size(); ++i) {
        std::string backup;
        if (fs.exists(targets[i])) {
            backup = ClaimFreshName(
                fs, targets[i], [&](const std::string& name) { return fs.link(targets[i], name); });
            if (backup.empty())
                return fail(files[i].path);
        }
        backups.push_back(backup);
    }
    for (; placed < files.size(); ++placed) {
        if (!fs.rename(temps[placed], targets[placed]))
            return fail(files[placed].path);
    }
    for (const auto& backup : backups)
        if (!backup.empty())
            fs.remove(backup);
    for (const auto& target : targets)
        RemoveLeftoverTemporaries(fs, target);
    return Status::Ok();
}

} // namespace kesh
