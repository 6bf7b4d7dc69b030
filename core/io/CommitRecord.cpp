#include "io/CommitRecord.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "io/AbsolutePath.h"

namespace kesh {

namespace {

constexpr std::string_view kHeader = "kesh commit record 1\n";
constexpr std::string_view kEnd = "end\n";
constexpr std::string_view kMark = ".kesh-";
constexpr size_t kDigits = 8; // the random part of "<target>.kesh-XXXXXXXX.tmp"
constexpr std::string_view kCommitExt = ".commit";
constexpr std::string_view kAbortExt = ".abort";

bool IsHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// "<base>.kesh-XXXXXXXX<ext>" for some non-empty base.
bool HasMarkedEnd(std::string_view name, std::string_view ext) {
    const size_t tail = kMark.size() + kDigits + ext.size();
    if (name.size() <= tail || !name.ends_with(ext))
        return false;
    const std::string_view marked = name.substr(name.size() - tail);
    return marked.starts_with(kMark) && IsHex(marked.substr(kMark.size(), kDigits));
}

// Whether `name` is a temporary file name made for `target`.
bool IsTemporaryOf(const std::string& name, const std::string& target) {
    return name.size() == target.size() + kMark.size() + kDigits + 4 &&
           name.compare(0, target.size(), target) == 0 && HasMarkedEnd(name, ".tmp");
}

// How a path is stored in a record kept in `folder`.
std::string Stored(const std::string& folder, const std::string& path) {
    if (path.empty() || FolderOf(path) != folder)
        return path.empty() ? path : AbsolutePath(path);
    return path.substr(path.find_last_of('/') + 1); // npos + 1 == 0
}

void PutField(std::vector<uint8_t>& out, std::string_view key, const std::string& value) {
    const std::string line =
        std::string(key) + " " + std::to_string(value.size()) + ":" + value + "\n";
    out.insert(out.end(), line.begin(), line.end());
}

// Reads the text of a record from the front, with every bound checked.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes)
        : m_text(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}

    bool Take(std::string_view expected) {
        if (!m_text.starts_with(expected))
            return false;
        m_text.remove_prefix(expected.size());
        return true;
    }
    // Decimal digits up to `stop`, which is taken too; nullopt past `limit`.
    std::optional<size_t> Number(char stop, size_t limit) {
        const size_t end = m_text.find(stop);
        if (end == std::string_view::npos || end == 0 || end > 5)
            return std::nullopt;
        size_t value = 0;
        const auto [ptr, ec] = std::from_chars(m_text.data(), m_text.data() + end, value);
        if (ec != std::errc() || ptr != m_text.data() + end || value > limit)
            return std::nullopt;
        m_text.remove_prefix(end + 1);
        return value;
    }
    // "<key> <length>:<bytes>\n"
    std::optional<std::string> Field(std::string_view key) {
        if (!Take(key) || !Take(" "))
            return std::nullopt;
        const auto length = Number(':', CommitRecord::kMaxPath);
        if (!length || m_text.size() < *length + 1 || m_text[*length] != '\n')
            return std::nullopt;
        std::string value(m_text.substr(0, *length));
        m_text.remove_prefix(*length + 1);
        return value;
    }
    bool AtEnd() const { return m_text.empty(); }

private:
    std::string_view m_text;
};

// A stored path as a path to use: a bare name lies in `folder`; anything but
// a bare name or an absolute path is refused.
std::optional<std::string> Restored(const std::string& folder, const std::string& stored) {
    if (stored.find('\0') != std::string::npos)
        return std::nullopt;
    if (!stored.empty() && stored.front() == '/')
        return stored;
    if (stored.empty() || stored == "." || stored == ".." || stored.find('/') != std::string::npos)
        return std::nullopt;
    return InFolder(folder, stored);
}

} // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::vector<uint8_t> CommitRecord::Encode(const std::string& folder,
                                          const std::vector<CommitEntry>& entries) {
    std::vector<uint8_t> out(kHeader.begin(), kHeader.end());
    const std::string count = "files " + std::to_string(entries.size()) + "\n";
    out.insert(out.end(), count.begin(), count.end());
    for (const auto& entry : entries) {
        PutField(out, "temp", Stored(folder, entry.temp));
        PutField(out, "backup", Stored(folder, entry.backup));
        PutField(out, "target", Stored(folder, entry.target));
    }
    out.insert(out.end(), kEnd.begin(), kEnd.end());
    return out;
}

std::optional<std::vector<CommitEntry>> CommitRecord::Decode(std::span<const uint8_t> bytes,
                                                             const std::string& folder) {
    Cursor in(bytes);
    if (!in.Take(kHeader) || !in.Take("files "))
        return std::nullopt;
    const auto count = in.Number('\n', kMaxFiles);
    if (!count || *count == 0)
        return std::nullopt;
    std::vector<CommitEntry> entries;
    for (size_t i = 0; i < *count; ++i) {
        const auto temp = in.Field("temp");
        const auto backup = temp ? in.Field("backup") : std::nullopt;
        const auto target = backup ? in.Field("target") : std::nullopt;
        if (!target)
            return std::nullopt;
        CommitEntry entry;
        const auto restoredTarget = Restored(folder, *target);
        const auto restoredTemp = Restored(folder, *temp);
        if (!restoredTarget || !restoredTemp)
            return std::nullopt;
        entry.target = *restoredTarget;
        entry.temp = *restoredTemp;
        if (!backup->empty()) {
            const auto restoredBackup = Restored(folder, *backup);
            if (!restoredBackup || !IsTemporaryOf(*restoredBackup, entry.target))
                return std::nullopt;
            entry.backup = *restoredBackup;
        }
        if (!IsTemporaryOf(entry.temp, entry.target) || entry.temp == entry.backup)
            return std::nullopt;
        entries.push_back(std::move(entry));
    }
    if (!in.Take(kEnd) || !in.AtEnd())
        return std::nullopt;
    return entries;
}

std::optional<CommitRecord::State> CommitRecord::StateOfName(const std::string& name) {
    if (HasMarkedEnd(name, kCommitExt))
        return State::Commit;
    if (HasMarkedEnd(name, kAbortExt))
        return State::Abort;
    return std::nullopt;
}

std::optional<CommitRecord> CommitRecord::Place(FileSystem& fs,
                                                const std::vector<CommitEntry>& entries) {
    if (entries.empty())
        return std::nullopt;
    const std::string& first = entries.front().target;
    const std::string folder = FolderOf(first);
    // Written under a temporary name of the first target, which a save
    // clears away like any other if this one dies before the record is whole.
    std::string part;
    const int handle = CreateReplacement(fs, first, part);
    if (handle < 0)
        return std::nullopt;
    const int lock = fs.lockFile(part);
    const std::vector<uint8_t> bytes = Encode(folder, entries);
    bool ok = lock >= 0 && fs.writeAll(handle, bytes.data(), bytes.size());
    ok = fs.sync(handle) && ok;
    ok = fs.close(handle) && ok;
    // "<first>.kesh-XXXXXXXX.tmp" -> "<first>.kesh-XXXXXXXX.commit"; a link
    // never takes the place of another record that happens to have the name.
    const std::string name = part.substr(0, part.size() - 4) + std::string(kCommitExt);
    const bool linked = ok && fs.link(part, name);
    fs.remove(part);
    if (linked && fs.syncFolder(folder))
        return CommitRecord(name, State::Commit, lock);
    if (linked)
        fs.remove(name);
    if (lock >= 0)
        fs.close(lock);
    return std::nullopt;
}

bool CommitRecord::MarkAborted(FileSystem& fs) {
    if (m_state == State::Abort)
        return true;
    const std::string aborted =
        m_path.substr(0, m_path.size() - kCommitExt.size()) + std::string(kAbortExt);
    if (!fs.rename(m_path, aborted))
        return false;
    m_path = aborted;
    m_state = State::Abort;
    return true;
}

bool CommitRecord::Remove(FileSystem& fs) {
    const bool removed = fs.remove(m_path);
    if (m_lock >= 0)
        fs.close(m_lock);
    m_lock = -1;
    return removed;
}

} // namespace kesh
