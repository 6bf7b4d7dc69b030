#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "EditingSoak.h"
#include "app/MapProcedures.h"
#include "base/Messages.h"
#include "map/MapFile.h"
#include "support/ScriptedUserServices.h"

// The soak run's file procedures (File New, layout, save, open) and its checks.

namespace kesh::test {

namespace {

bool Contains(const Rect& outer, const Rect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

std::string Str(const Rect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

} // namespace

SavedMap EditingSoak::snapshot() const {
    SavedMap s;
    s.width = m_ref.w;
    s.height = m_ref.h;
    s.cells = m_ref.cells;
    s.items = m_items;
    s.header = m_header;
    s.hasTiles = Has(m_items, MapItem::TileFile);
    s.tileCount = tiles().count();
    // What the file keeps of the cells: the low byte, or nothing at all.
    if (Has(s.items, MapItem::CellsByte))
        for (uint16_t& v : s.cells)
            v &= 0xFF;
    else if (!Has(s.items, MapItem::CellsWord))
        std::fill(s.cells.begin(), s.cells.end(), kEmptyCell);
    return s;
}

std::string EditingSoak::choosePath() {
    if (!m_files.empty() && m_rng.chance(30)) {
        auto it = m_files.begin();
        std::advance(it, m_rng.below(int32_t(m_files.size())));
        return it->first; // overwrite an earlier file
    }
    return m_dir.file("s" + std::to_string(m_session) + "-" + std::to_string(m_fileNumber++) +
                      ".map");
}

void EditingSoak::newMap() {
    ScriptedUserServices user;
    std::string unexpected;
    user.setFailureHook([&](const std::string& what) { unexpected = what; });
    MapProcedures proc(*m_doc, user, FileSystem::Native());
    bool modified = m_ref.modified != 0;
    std::vector<std::string> messages;
    std::vector<std::pair<std::string, SavedMap>> saved;
    // "변경된 파일을 저장할까요?", asked while the map is changed; Yes saves it.
    const auto answerSave = [&](int percentYes) {
        if (!modified)
            return;
        if (!m_rng.chance(percentYes)) {
            user.no();
            return;
        }
        user.yes();
        if (!m_hasFile) {
            m_path = choosePath();
            user.saveFile(m_path);
            m_hasFile = true; // the name stays even when the save fails
        }
        if (canSave()) {
            modified = false;
            saved.emplace_back(m_path, snapshot());
        } else {
            messages.push_back(msg::kNoTilesToEmbed);
        }
    };
    answerSave(20);
    const int kind = m_rng.below(10);
    int32_t nw = m_rng.range(1, 40), nh = m_rng.range(1, 40);
    const auto items = pickLayout();
    const auto header = pickHeader();
    if (kind == 0) {
        user.cancelMap();
    } else {
        if (kind == 1) {
            const std::array<std::pair<int32_t, int32_t>, 5> bad = {
                {{0, 5}, {5, 0}, {-1, 3}, {65536, 1}, {40000, 40000}}};
            std::tie(nw, nh) = bad[size_t(m_rng.below(5))];
            messages.push_back(MapModel::CheckSize(nw, nh).message());
        }
        user.acceptMap([=](MapFormatEdit& e) {
            e.width = nw;
            e.height = nh;
            e.items = items;
            e.hasHeader = !header.empty();
            e.header = header;
        });
        if (kind != 1)
            answerSave(10); // the last chance before the old map goes
    }
    log(Op::NewMap, kind == 0 ? -1 : nw, nh, int32_t(saved.size()), m_ref.modified);
    const bool made = proc.NewMap();
    if (!unexpected.empty())
        return fail("NewMap: " + unexpected);
    if (made != (kind > 1))
        return fail(std::string("NewMap returned ") + (made ? "true" : "false"));
    if (!user.allUsed())
        return fail("NewMap did not ask everything expected");
    if (user.messages() != messages)
        return fail("NewMap showed other messages than expected");
    for (const auto& [path, map] : saved) {
        m_files[path] = map;
        ++m_saves;
        if (const std::string wrong = checkSaved(path, map); !wrong.empty())
            return fail("NewMap's save: " + wrong);
    }
    m_ref.modified = modified ? 1 : 0;
    if (made) {
        m_ref.modified = 0; // a new map starts unchanged
        m_ref.replaceGrid(nw, nh, std::vector<uint16_t>(size_t(nw) * size_t(nh), kEmptyCell));
        m_view.scroll = m_ref.scroll; // the view keeps its scroll position in range
        m_items = items;
        m_header = header;
        m_hasFile = false;
        m_path.clear();
    }
}

void EditingSoak::changeFormat() {
    ScriptedUserServices user;
    std::string unexpected;
    user.setFailureHook([&](const std::string& what) { unexpected = what; });
    MapProcedures proc(*m_doc, user, FileSystem::Native());
    const bool accept = m_rng.chance(85);
    const auto items = pickLayout();
    const auto header = pickHeader();
    if (accept)
        user.acceptMap([=](MapFormatEdit& e) {
            e.items = items;
            e.hasHeader = !header.empty();
            e.header = header;
        });
    else
        user.cancelMap();
    log(Op::ChangeFormat, accept, int32_t(items.size()));
    if (proc.ChangeMapFormat() != accept || !unexpected.empty())
        return fail("ChangeMapFormat: wrong result " + unexpected);
    const auto& calls = user.calls();
    if (calls.size() != 1 || !calls[0].map || !calls[0].map->sizesLocked ||
        calls[0].map->width != m_ref.w || calls[0].map->height != m_ref.h ||
        calls[0].map->items != m_items)
        return fail("ChangeMapFormat did not open the dialog on the current layout");
    if (accept) {
        m_items = items;
        m_header = header;
        m_ref.modified = 1;
    }
}

void EditingSoak::save() {
    ScriptedUserServices user;
    std::string unexpected;
    user.setFailureHook([&](const std::string& what) { unexpected = what; });
    MapProcedures proc(*m_doc, user, FileSystem::Native());
    const bool saveAs = m_hasFile && m_rng.chance(25);
    std::string path = m_path;
    if (!m_hasFile || saveAs) {
        path = choosePath();
        user.saveFile(path);
    }
    const bool expected = canSave();
    log(Op::Save, saveAs, expected, m_ref.w, m_ref.h);
    const bool ok = saveAs ? proc.SaveMapAs() : proc.SaveMap();
    if (!unexpected.empty())
        return fail("SaveMap: " + unexpected);
    if (ok != expected)
        return fail(std::string("SaveMap returned ") + (ok ? "true" : "false"));
    const std::vector<std::string> messages =
        expected ? std::vector<std::string>{} : std::vector<std::string>{msg::kNoTilesToEmbed};
    if (user.messages() != messages)
        return fail("SaveMap showed other messages than expected");
    // A name chosen for Save stays even when the save fails; Save As goes back.
    if (!saveAs || ok) {
        m_hasFile = true;
        m_path = path;
    }
    if (!ok)
        return;
    m_ref.modified = 0;
    const SavedMap map = snapshot();
    m_files[path] = map;
    ++m_saves;
    if (const std::string wrong = checkSaved(path, map); !wrong.empty())
        fail(wrong);
}

void EditingSoak::open() {
    auto it = m_files.begin();
    std::advance(it, m_rng.below(int32_t(m_files.size())));
    const std::string path = it->first;
    const SavedMap saved = it->second;
    ScriptedUserServices user;
    std::string unexpected;
    user.setFailureHook([&](const std::string& what) { unexpected = what; });
    MapProcedures proc(*m_doc, user, FileSystem::Native());
    if (m_ref.modified)
        user.no();
    user.openFile(path);
    log(Op::Open, saved.width, saved.height, m_ref.w, m_ref.h);
    if (!proc.OpenMap() || !unexpected.empty() || !user.allUsed()) {
        const auto shown = user.messages();
        return fail("OpenMap failed: " + unexpected + (shown.empty() ? "" : shown.front()));
    }
    ++m_reopens;
    m_ref.modified = 0;
    m_ref.replaceGrid(saved.width, saved.height, saved.cells);
    m_view.scroll = m_ref.scroll; // the view keeps its scroll position in range
    m_items = saved.items;
    m_header = saved.header;
    m_hasFile = true;
    m_path = path;
    if (saved.hasTiles && tiles().count() != saved.tileCount)
        return fail("OpenMap brought " + std::to_string(tiles().count()) + " tiles, saved were " +
                    std::to_string(saved.tileCount));
    if (tiles().tileWidth() != m_ref.tw || tiles().tileHeight() != m_ref.th)
        return fail("OpenMap changed the tile size");
}

std::string EditingSoak::checkSaved(const std::string& path, const SavedMap& saved) const {
    MapModel fresh;
    TileSet freshTiles;
    bool missing = false;
    const Status st = OpenMapFiles(FileSystem::Native(), path, fresh, freshTiles, missing);
    if (!st)
        return "reopening " + path + " failed: " + st.message();
    if (fresh.width() != saved.width || fresh.height() != saved.height)
        return "reopened map is " + std::to_string(fresh.width()) + "x" +
               std::to_string(fresh.height()) + ", saved was " + std::to_string(saved.width) + "x" +
               std::to_string(saved.height);
    if (fresh.format().items != saved.items || fresh.format().header != saved.header)
        return "reopened map has another layout or header";
    if (fresh.cells() != saved.cells) {
        const auto diff =
            std::mismatch(saved.cells.begin(), saved.cells.end(), fresh.cells().begin());
        const auto i = int32_t(diff.first - saved.cells.begin());
        return "reopened cell " + std::to_string(i) + " is " + std::to_string(*diff.second) +
               ", saved was " + std::to_string(*diff.first);
    }
    if (saved.hasTiles &&
        (freshTiles.count() != saved.tileCount || freshTiles.tileWidth() != m_ref.tw ||
         freshTiles.tileHeight() != m_ref.th))
        return "reopened tile set differs";
    return {};
}

std::string EditingSoak::checkState() const {
    const MapModel& map = *m_map;
    const MapViewState& state = this->state();
    const SoakReference& r = m_ref;
    std::ostringstream out;
    if (!map.hasCells() || map.width() != r.w || map.height() != r.h ||
        map.cellCount() != r.w * r.h) {
        out << "map is " << map.width() << "x" << map.height() << " with " << map.cellCount()
            << " cells, expected " << r.w << "x" << r.h;
        return out.str();
    }
    if (state.m_nCurCell < 0 || state.m_nCurCell >= map.cellCount())
        return "current cell " + std::to_string(state.m_nCurCell) + " lies outside the grid";
    if (map.cells() != r.cells) {
        int shown = 0;
        for (size_t i = 0; i < r.cells.size() && shown < 4; ++i) {
            if (map.cells()[i] == r.cells[i])
                continue;
            out << (shown++ ? "; " : "") << "cell (" << i % size_t(r.w) << "," << i / size_t(r.w)
                << ") is " << map.cells()[i] << ", expected " << r.cells[i]
                << (r.isNamed(int32_t(i)) ? "" : " (the operation did not name this cell)");
        }
        return out.str();
    }
    if (state.m_nCurCell != r.cur)
        return "current cell is " + std::to_string(state.m_nCurCell) + ", expected " +
               std::to_string(r.cur);
    const Rect& s = state.m_rcSelect;
    if (s != r.sel)
        return "selection is " + Str(s) + ", expected " + Str(r.sel);
    if (s != Rect{-2, -2, -1, -1} &&
        (s.left < 0 || s.top < 0 || s.left > s.right || s.top > s.bottom || s.right >= r.w * r.tw ||
         s.bottom >= r.h * r.th || s.left % r.tw || s.top % r.th || (s.right + 1) % r.tw ||
         (s.bottom + 1) % r.th))
        return "selection " + Str(s) + " is not made of whole cells inside the map";
    if (state.m_rcCopySource != r.copy)
        return "copy source is " + (state.m_rcCopySource ? Str(*state.m_rcCopySource) : "none") +
               ", expected " + (r.copy ? Str(*r.copy) : "none");
    if (m_doc->IsModified() != r.modified)
        return "changed flag is " + std::to_string(m_doc->IsModified()) + ", expected " +
               std::to_string(r.modified);
    if (m_editor->dragMode() != r.drag)
        return "drag mode is " + std::to_string(m_editor->dragMode()) + ", expected " +
               std::to_string(r.drag);
    const Point max = r.maxScroll();
    if (m_view.scroll != r.scroll || m_view.scroll.x < 0 || m_view.scroll.y < 0 ||
        m_view.scroll.x > max.x || m_view.scroll.y > max.y) {
        out << "scroll is (" << m_view.scroll.x << "," << m_view.scroll.y << "), expected ("
            << r.scroll.x << "," << r.scroll.y << ") within (" << max.x << "," << max.y << ")";
        return out.str();
    }
    if (map.format().items != m_items || map.format().header != m_header)
        return "map layout or header changed";
    if ((m_doc->file().path != m_doc->file().name) != m_hasFile ||
        (m_hasFile && m_doc->file().path != m_path))
        return "map file name is '" + m_doc->file().path + "', expected '" + m_path + "'";
    return {};
}

std::string EditingSoak::checkUpdate(const MapUpdate& u, int32_t oldCur, const Rect& oldSel) const {
    if (u.repaintAll)
        return {};
    const auto covered = [&u](const Rect& r) {
        return std::any_of(u.dirty.begin(), u.dirty.end(),
                           [&r](const Rect& d) { return Contains(d, r); });
    };
    const SoakReference& r = m_ref;
    const auto cellRect = [&r](int32_t i) {
        return r.cellsRect(i % r.w, i / r.w, i % r.w, i / r.w);
    };
    const auto frame = [&](int32_t i) {
        const Rect c = cellRect(i);
        return Rect{c.left - 2, c.top - 2, c.right + 2, c.bottom + 2};
    };
    for (int32_t i : r.changed)
        if (!covered(cellRect(i)))
            return "cell " + std::to_string(i) + " changed but is not repainted";
    if (r.cur != oldCur && (!covered(frame(oldCur)) || !covered(frame(r.cur))))
        return "current cell moved from " + std::to_string(oldCur) + " to " +
               std::to_string(r.cur) + " without repainting both frames";
    if (r.sel != oldSel && (!covered(oldSel) || !covered(r.sel)))
        return "selection moved from " + Str(oldSel) + " to " + Str(r.sel) +
               " without repainting both";
    return {};
}

void EditingSoak::fail(const std::string& what) {
    if (m_failed)
        return;
    m_failed = true;
    const SoakReference& r = m_ref;
    std::ostringstream out;
    out << what << "\n  seed " << m_seed << ", step " << m_step << ": session " << m_session
        << ", tile " << r.tw << "x" << r.th << ", map " << r.w << "x" << r.h << ", client " << r.cw
        << "x" << r.ch << ", scroll (" << r.scroll.x << "," << r.scroll.y << "), drag " << r.drag
        << ", current tile " << r.tile << ", tiles " << tiles().count()
        << "\n  replay: KESH_SOAK_SEED=" << m_seed << " KESH_SOAK_STEPS=" << m_step + 1
        << "\n  last operations, oldest first (step: operation arguments):";
    for (size_t i = 0; i < kSoakLogSize; ++i) {
        const size_t n = m_logNext + i;
        if (n < kSoakLogSize)
            continue;
        const LogEntry& e = m_log[n % kSoakLogSize];
        out << "\n    " << e.step << ": " << kOpNames[size_t(e.op)] << " " << e.a << " " << e.b
            << " " << e.c << " " << e.d << " " << e.e;
    }
    ADD_FAILURE() << out.str();
}

} // namespace kesh::test
