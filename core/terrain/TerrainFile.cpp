#include "terrain/TerrainFile.h"

#include <charconv>
#include <string_view>

#include "base/Messages.h"
#include "map/MapModel.h"
#include "terrain/TerrainMessages.h"

namespace kesh {

namespace {

// Whether `text` is well-formed UTF-8 without control characters but tab.
bool IsCleanUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = uint8_t(text[i]);
        int more = 0;
        uint32_t code = c;
        if (c < 0x80) {
            if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
                return false;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (more && i + size_t(more) >= text.size())
            return false;
        for (int k = 1; k <= more; ++k) {
            const auto n = uint8_t(text[i + size_t(k)]);
            if ((n & 0xC0) != 0x80)
                return false;
            code = code << 6 | (n & 0x3F);
        }
        static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += size_t(more) + 1;
    }
    return true;
}

// The next word of `line` from `at`, spaces and tabs between words.
std::string_view Word(std::string_view line, size_t& at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    const size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t')
        ++at;
    return line.substr(start, at - start);
}

bool Number(std::string_view word, int64_t max, int64_t& value) {
    if (word.empty() || word.size() > 6)
        return false;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && value >= 0 && value <= max;
}

// Reads one statement into `set`; false when the line is not one.
bool ReadLine(std::string_view line, TerrainSet& set, bool& kindSeen) {
    size_t at = 0;
    const std::string_view key = Word(line, at);
    if (key == "kind") {
        const std::string_view kind = Word(line, at);
        if (kindSeen || !set.tiles.empty() || !Word(line, at).empty())
            return false;
        kindSeen = true;
        if (kind == "corner")
            set.kind = TerrainKind::Corner;
        else if (kind == "blob")
            set.kind = TerrainKind::Blob;
        else
            return false;
        return true;
    }
    if (key == "terrain") {
        std::string_view name = line.substr(at);
        while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
            name.remove_prefix(1);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.remove_suffix(1);
        if (name.empty() || set.terrains.size() >= size_t(kMaxTerrains))
            return false;
        set.terrains.emplace_back(name);
        return true;
    }
    if (key == "tile") {
        int64_t tile = 0;
        if (!kindSeen || !Number(Word(line, at), int64_t(kEmptyCell) - 1, tile))
            return false;
        TerrainTile entry{uint16_t(tile), 0};
        for (int pos = 0; pos < LabelPositions(set.kind); ++pos) {
            int64_t terrain = 0;
            if (!Number(Word(line, at), int64_t(set.terrains.size()) - 1, terrain))
                return false;
            entry.label = WithTerrain(entry.label, pos, int(terrain));
        }
        if (!Word(line, at).empty())
            return false;
        set.tiles.push_back(entry);
        return true;
    }
    return false;
}

} // namespace

Status ReadTerrainFile(std::span<const uint8_t> bytes, TerrainSet& set) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!IsCleanUtf8(text))
        return Status::Fail(terrainmsg::kNotUtf8);
    TerrainSet read;
    bool kindSeen = false;
    size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 1) {
            size_t at = 0;
            int64_t version = 0;
            if (Word(line, at) != "kesh-terrain" || !Number(Word(line, at), 999999, version) ||
                !Word(line, at).empty() || version < 1)
                return Status::Fail(terrainmsg::kNotTerrainFile);
            if (version > kTerrainFileVersion)
                return Status::Fail(terrainmsg::kNewerVersion);
            continue;
        }
        size_t first = 0;
        if (Word(line, first).empty() || line.substr(line.find_first_not_of(" \t")).starts_with("#"))
            continue;
        if (!ReadLine(line, read, kindSeen))
            return Status::Fail(std::string(terrainmsg::kBadLine) + " " + std::to_string(lineNumber));
    }
    if (lineNumber == 0)
        return Status::Fail(terrainmsg::kNotTerrainFile);
    if (Status st = read.Check(); !st)
        return st;
    set = std::move(read);
    return Status::Ok();
}

std::string WriteTerrainFile(const TerrainSet& set) {
    std::string text = "kesh-terrain " + std::to_string(kTerrainFileVersion) + "\n";
    text += set.kind == TerrainKind::Corner ? "kind corner\n" : "kind blob\n";
    for (const std::string& name : set.terrains)
        text += "terrain " + name + "\n";
    for (const TerrainTile& t : set.tiles) {
        text += "tile " + std::to_string(t.tile);
        for (int pos = 0; pos < LabelPositions(set.kind); ++pos)
            text += " " + std::to_string(TerrainAt(t.label, pos));
        text += "\n";
    }
    return text;
}

std::string TerrainPathFor(const std::string& dataPath) {
    const size_t slash = dataPath.find_last_of('/');
    const size_t dot = dataPath.find_last_of('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExt ? dataPath.substr(0, dot) : dataPath) + kTerrainExt;
}

Status LoadTerrainFile(FileSystem& fs, const std::string& path, TerrainSet& set, bool& missing) {
    missing = !fs.exists(path);
    if (missing)
        return Status::Fail(std::string(msg::kOpenFailed) + "\n" + path);
    const auto read = fs.readFile(path, kMaxTerrainFileBytes);
    if (!read)
        return read.status();
    Status st = ReadTerrainFile(*read, set);
    if (!st)
        return Status::Fail(st.message() + "\n" + path);
    return st;
}

FileSource TerrainFileSource(const std::string& path, const TerrainSet& set) {
    return {path, [text = WriteTerrainFile(set)](ByteWriter& out) {
                out.write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
                return Status::Ok();
            }};
}

} // namespace kesh
