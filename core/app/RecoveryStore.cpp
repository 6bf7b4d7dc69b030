#include "app/RecoveryStore.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "base/Messages.h"
#include "io/ByteWriter.h"
#include "io/InputLimits.h"
#include "layout/Descriptor.h"
#include "map/MapFile.h"
#include "tileset/TileSetFile.h"

namespace kesh {

namespace {

constexpr const char* kIndexExt = ".idx";
constexpr const char* kIndexMagic = "kesh-recovery 1";

// Paths are kept one to a line: '%' and line feeds are escaped.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '%')
            out += "%25";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "%25") == 0) {
            out += '%';
            i += 2;
        } else if (text.compare(i, 3, "%0A") == 0) {
            out += '\n';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool ParseNumber(const std::string& text, int64_t& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The .map bytes of `map` in `format`, which has no TileFile item.
Status WriteMapAlone(const MapModel& map, const MapFormat& format, ByteWriter& out) {
    if (map.cells().size() != size_t(map.width()) * size_t(map.height()) || map.cells().empty())
        return Status::Fail(msg::kBadMapSize);
    out.write(std::string_view(format.header).substr(0, size_t(HeaderLength(format.header))));
    for (uint8_t item : format.items) {
        if (item <= MapItem::SizeDword) {
            WriteValue(out, uint32_t(map.width()), item);
            WriteValue(out, uint32_t(map.height()), item);
        } else if (item == MapItem::CellsByte || item == MapItem::CellsWord) {
            for (uint16_t cell : map.cells())
                WriteValue(out, cell, item == MapItem::CellsByte ? 0 : 1);
        }
    }
    return Status::Ok();
}

} // namespace

std::string RecoveryStore::DefaultFolder() {
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.local/state";
    }
    return base + "/kesh/recovery";
}

std::string RecoveryStore::PathOf(const std::string& slot, const char* ext) const {
    return m_folder + "/" + slot + ext;
}

std::string RecoveryStore::IndexText(const RecoveryEntry& entry, bool hasTiles,
                                     const std::vector<uint8_t>& layout) {
    std::string text = std::string(kIndexMagic) + "\npath " + Escape(entry.originalPath) +
                       "\ntime " + std::to_string(entry.savedAt) + "\nowner " +
                       std::to_string(entry.owner) + "\ntiles " + (hasTiles ? "1" : "0") + "\n";
    if (!layout.empty()) {
        text += "layout";
        for (uint8_t item : layout)
            text += " " + std::to_string(item);
        text += "\n";
    }
    return text;
}

bool RecoveryStore::ParseIndex(const std::string& text, RecoveryEntry& entry, bool& hasTiles,
                               std::vector<uint8_t>* layout) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return false; // cut short
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if ((lines.size() != 5 && lines.size() != 6) || lines[0] != kIndexMagic)
        return false;
    const auto value = [&](size_t line, const char* key) -> const std::string* {
        const std::string prefix = std::string(key) + " ";
        if (lines[line].compare(0, prefix.size(), prefix) != 0)
            return nullptr;
        lines[line].erase(0, prefix.size());
        return &lines[line];
    };
    const std::string* path = value(1, "path");
    const std::string* time = value(2, "time");
    const std::string* owner = value(3, "owner");
    const std::string* tiles = value(4, "tiles");
    if (!path || !time || !owner || !tiles || (*tiles != "0" && *tiles != "1"))
        return false;
    RecoveryEntry read;
    if (!ParseNumber(*time, read.savedAt) || !ParseNumber(*owner, read.owner))
        return false;
    std::vector<uint8_t> items;
    if (lines.size() == 6) {
        const std::string* codes = value(5, "layout");
        if (!codes || *tiles != "0")
            return false;
        for (size_t start = 0; start <= codes->size() && items.size() <= size_t(kMaxLayoutItems);) {
            const size_t end = std::min(codes->find(' ', start), codes->size());
            int64_t code = 0;
            if (!ParseNumber(codes->substr(start, end - start), code) || code < 0 || code > 255)
                return false;
            items.push_back(uint8_t(code));
            start = end + 1;
        }
        if (items.size() > size_t(kMaxLayoutItems))
            return false;
    }
    read.originalPath = Unescape(*path);
    read.slot = entry.slot;
    entry = std::move(read);
    hasTiles = *tiles == "1";
    if (layout)
        *layout = std::move(items);
    return true;
}

Status RecoveryStore::Write(const RecoveryEntry& entry, const MapModel& map, const TileSet& tiles) {
    const std::string index = PathOf(entry.slot, kIndexExt);
    if (!m_fs.makeFolders(m_folder))
        return Status::Fail(std::string(msg::kSaveFailed) + "\n" + index);
    // A layout that embeds an empty tile set cannot be written: the copy
    // leaves its TileFile items out and the index keeps the layout, so that
    // unsaved work always has a copy.
    const std::vector<uint8_t>& items = map.format().items;
    const bool cut = tiles.count() == 0 &&
                     std::find(items.begin(), items.end(), MapItem::TileFile) != items.end();
    MapFormat written = map.format();
    if (cut)
        std::erase(written.items, uint8_t(MapItem::TileFile));
    ByteWriter mapBytes;
    Status st = cut ? WriteMapAlone(map, written, mapBytes) : WriteMapFile(map, tiles, mapBytes);
    if (!st)
        return st;
    std::vector<FileContents> files;
    files.push_back({PathOf(entry.slot, ".map"), mapBytes.take()});
    files.push_back({PathOf(entry.slot, ".kmf"), BuildKmf(written, tiles.format())});
    // The tile set goes in too, so a map that does not embed it gets it back.
    ByteWriter tileBytes;
    const bool hasTiles = tiles.count() > 0 && tiles.WriteTileFile(tileBytes);
    if (hasTiles) {
        files.push_back({PathOf(entry.slot, ".til"), tileBytes.take()});
        files.push_back({PathOf(entry.slot, ".ktf"), BuildKtf(tiles.format())});
    }
    // The index last: it names a copy only together with the copy itself.
    const std::string text = IndexText(entry, hasTiles, cut ? items : std::vector<uint8_t>());
    files.push_back({index, std::vector<uint8_t>(text.begin(), text.end())});
    st = SaveFiles(m_fs, files);
    if (st && !hasTiles) {
        m_fs.remove(PathOf(entry.slot, ".til"));
        m_fs.remove(PathOf(entry.slot, ".ktf"));
    }
    return st;
}

std::vector<RecoveryEntry> RecoveryStore::List() {
    std::vector<RecoveryEntry> entries;
    for (const std::string& name : m_fs.listFolder(m_folder)) {
        if (!EndsWith(name, kIndexExt) || name.size() == std::string(kIndexExt).size())
            continue;
        RecoveryEntry entry;
        entry.slot = name.substr(0, name.size() - std::string(kIndexExt).size());
        const auto bytes = m_fs.readFile(m_folder + "/" + name, kMaxDescriptorBytes);
        bool hasTiles = false;
        if (bytes && ParseIndex(std::string(bytes->begin(), bytes->end()), entry, hasTiles))
            entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const RecoveryEntry& a, const RecoveryEntry& b) { return a.savedAt > b.savedAt; });
    return entries;
}

Status RecoveryStore::Load(const RecoveryEntry& entry, MapModel& map, TileSet& tiles) {
    const auto damaged = [&] {
        return Status::Fail(std::string(msg::kOpenFailed) + "\n" + PathOf(entry.slot, ".map"));
    };
    const auto index = m_fs.readFile(PathOf(entry.slot, kIndexExt), kMaxDescriptorBytes);
    RecoveryEntry read;
    bool hasTiles = false;
    std::vector<uint8_t> layout;
    if (!index || !ParseIndex(std::string(index->begin(), index->end()), read, hasTiles, &layout))
        return damaged();
    const auto mapBytes = m_fs.readFile(PathOf(entry.slot, ".map"), kMaxMapFileBytes);
    const auto kmfBytes = m_fs.readFile(PathOf(entry.slot, ".kmf"), kMaxDescriptorBytes);
    if (!mapBytes || !kmfBytes)
        return damaged();
    // Read into fresh objects, so a failure anywhere changes nothing.
    TileSet newTiles;
    if (hasTiles) {
        const auto tilBytes = m_fs.readFile(PathOf(entry.slot, ".til"), kMaxTileFileBytes);
        const auto ktfBytes = m_fs.readFile(PathOf(entry.slot, ".ktf"), kMaxDescriptorBytes);
        TileReadLayout layout;
        if (!tilBytes || !ktfBytes || !ParseKtf(*ktfBytes, layout.descriptor))
            return damaged();
        const Status st = ReadTileSetFile(*tilBytes, layout, newTiles);
        if (!st)
            return st;
    }
    // Without a tile set of its own the copy reads into the current one,
    // which the map reader changes only on success.
    MapModel newMap;
    const Status st = ReadMapFile(*mapBytes, *kmfBytes, newMap, hasTiles ? newTiles : tiles);
    if (!st)
        return st;
    if (!layout.empty())
        newMap.format().items = std::move(layout); // the TileFile items the copy left out
    const Status grid = map.ReplaceGrid(newMap.format(), std::move(newMap.cells()));
    if (!grid)
        return grid;
    if (hasTiles) {
        const uint64_t revision = tiles.revision();
        tiles = std::move(newTiles);
        // Views compare revisions to drop what they drew from the old set.
        while (tiles.revision() <= revision)
            tiles.touch();
    }
    return Status::Ok();
}

void RecoveryStore::Remove(const std::string& slot) {
    // The index first: without it the rest is no copy any more.
    for (const char* ext : {kIndexExt, ".map", ".kmf", ".til", ".ktf"})
        m_fs.remove(PathOf(slot, ext));
}

} // namespace kesh
