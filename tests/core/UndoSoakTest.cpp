#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "doc/CommandNames.h"
#include "doc/Document.h"
#include "edit/MapEditor.h"
#include "map/MapFile.h"
#include "support/SoakRandom.h"
#include "support/TempDir.h"
#include "support/TestTiles.h"

// Random editing through the document, mixed with undo and redo. Beside the
// history the run keeps a snapshot of everything after each step; every
// undo and redo must give back exactly the snapshot it leads to. At the end
// undoing every step must save the bytes the map was opened with, and
// redoing every step the bytes of the final map.

namespace kesh::test {

namespace {

constexpr int32_t kTile = 8;

struct Snapshot {
    std::vector<uint16_t> cells;
    std::vector<uint16_t> attrs;
    MapFormat format;
    std::vector<uint8_t> tiles; // pixels and attributes, tile after tile
    int32_t current = 0;
    std::array<uint8_t, 40 + 1024> colours{};
    // The current tile is picked outside the history: undoing a cell edit
    // leaves it where the user put it. It only has to name a tile.
    bool operator==(const Snapshot& o) const {
        return cells == o.cells && attrs == o.attrs && format == o.format && tiles == o.tiles &&
               colours == o.colours;
    }
};

Snapshot Take(const Document& doc) {
    Snapshot s{doc.map().cells(), doc.map().attrs(), doc.map().format(), {},
               doc.tiles().current(), doc.tiles().bitmapInfo()};
    const TileList& list = doc.tiles().tiles();
    for (int i = 0; i < doc.tiles().count(); ++i) {
        const uint8_t* p = list.PixelsAt(i);
        s.tiles.insert(s.tiles.end(), p, p + list.tileSize());
        const uint32_t a = list.AttributeAt(i);
        s.tiles.insert(s.tiles.end(),
                       {uint8_t(a), uint8_t(a >> 8), uint8_t(a >> 16), uint8_t(a >> 24)});
    }
    return s;
}

class UndoSoak {
public:
    UndoSoak(uint64_t seed) : m_rng(seed) {
        EXPECT_TRUE(m_doc.map().AllocateCells(24, 18).ok());
        m_doc.tiles().format().width = kTile;
        m_doc.tiles().format().height = kTile;
        m_doc.tiles().InitTileSet();
        MakeTiles(m_doc.tiles(), kTile, kTile, 12);
        m_nextTile = 12;
        for (uint16_t& c : m_doc.map().cells())
            c = uint16_t(m_rng.below(14)); // some numbers name no tile
        (void)m_editor.state();            // the view state on the new grid
        m_states.push_back(Take(m_doc));
    }

    // One random operation; false (with a failure reported) when the document went wrong.
    bool Step() {
        const int op = m_rng.below(100);
        if (op < 15)
            return undo();
        if (op < 22)
            return redo();
        const size_t before = m_doc.history().position();
        const uint64_t revision = m_doc.historyRevision();
        edit(op);
        if (m_doc.historyRevision() == revision)
            return check(m_states[m_position], "an edit without a step changed the document");
        const size_t after = m_doc.history().position();
        // A full history lets its oldest step go.
        const bool full = before == UndoStack::kMaxSteps && after == before;
        if (after != before + 1 && !full) {
            ADD_FAILURE() << "an edit made more than one step";
            return false;
        }
        m_states.resize(++m_position);
        m_states.push_back(Take(m_doc));
        if (full) {
            m_states.erase(m_states.begin());
            --m_position;
            m_dropped = true;
        }
        return true;
    }

    void UndoAll() {
        while (m_position > 0)
            undo();
    }
    void RedoAll() {
        while (m_position + 1 < m_states.size())
            redo();
    }
    Document& doc() { return m_doc; }
    size_t steps() const { return m_states.size() - 1; }
    // Whether the history was full and let steps go.
    bool dropped() const { return m_dropped; }

private:
    bool undo() {
        const bool did = m_doc.Undo();
        if (did != (m_position > 0)) {
            ADD_FAILURE() << "undo with " << m_position << " steps behind said " << did;
            return false;
        }
        if (did)
            --m_position;
        return check(m_states[m_position], "undo");
    }
    bool redo() {
        const bool did = m_doc.Redo();
        if (did != (m_position + 1 < m_states.size())) {
            ADD_FAILURE() << "redo said " << did;
            return false;
        }
        if (did)
            ++m_position;
        return check(m_states[m_position], "redo");
    }
    bool check(const Snapshot& want, const char* what) {
        const int32_t current = m_doc.tiles().current();
        const bool currentNamesATile =
            current < m_doc.tiles().count() && (current >= 0 || m_doc.tiles().count() == 0);
        if (Take(m_doc) == want && currentNamesATile)
            return true;
        const Snapshot now = Take(m_doc);
        ADD_FAILURE() << what << " left the document in the wrong state at history position "
                      << m_position << ": cells " << (now.cells == want.cells) << ", layout "
                      << (now.format == want.format) << ", tiles " << (now.tiles == want.tiles)
                      << ", current " << now.current << " / " << want.current << ", colours "
                      << (now.colours == want.colours) << " (1: as it should be); last step "
                      << m_doc.UndoName() << " / " << m_doc.RedoName();
        return false;
    }
    Point cellPoint() { return {m_rng.below(24) * kTile + 3, m_rng.below(18) * kTile + 3}; }
    TileContext tile() {
        return {kTile, kTile,
                uint16_t(m_rng.chance(90) ? m_rng.below(m_nextTile + 2) : kEmptyCell)};
    }
    void edit(int op) {
        const Viewport view{{0, 0}, 24 * kTile, 18 * kTile};
        const TileContext t = tile();
        if (m_rng.chance(30)) // the brush's flips and palette: not a step
            m_doc.SetBrushAttr(uint16_t(m_rng.below(256)));
        if (m_rng.chance(20) && m_doc.tiles().count() > 4) { // merges shrink the set
            workshop();
        } else if (op < 45) { // a paint drag
            InputState keys;
            keys.shift = true;
            m_editor.LButtonDown(cellPoint(), keys, view, t);
            for (int i = m_rng.below(12); i > 0; --i)
                m_editor.MouseMove(cellPoint(), {}, true, view, t);
            m_editor.LButtonUp();
        } else if (op < 55) { // an Enter stamp or Enter+arrow run
            InputState keys;
            m_editor.KeyDown(MapKey::Enter, {}, keys, view, t);
            keys.enter = true;
            for (int i = m_rng.below(6); i > 0; --i)
                m_editor.KeyDown(std::array{MapKey::Left, MapKey::Right, MapKey::Up,
                                            MapKey::Down}[size_t(m_rng.below(4))],
                                 {}, keys, view, t);
            m_editor.KeyUp(MapKey::Enter);
        } else if (op < 70) { // select, remember, move, paste or fill
            const Point a = cellPoint(), b = cellPoint();
            m_editor.state().m_rcSelect = {std::min(a.x, b.x) / kTile * kTile,
                                           std::min(a.y, b.y) / kTile * kTile,
                                           std::max(a.x, b.x) / kTile * kTile + kTile - 1,
                                           std::max(a.y, b.y) / kTile * kTile + kTile - 1};
            if (m_rng.chance(20)) {
                m_doc.FlipCells({std::min(a.x, b.x) / kTile, std::min(a.y, b.y) / kTile,
                                 std::max(a.x, b.x) / kTile, std::max(a.y, b.y) / kTile},
                                m_rng.chance(50));
            } else if (m_rng.chance(50)) {
                m_editor.RememberRegion(t);
                m_editor.state().m_nCurCell = m_rng.below(m_doc.map().cellCount());
                m_editor.PasteRegion();
            } else {
                m_editor.FillRegion(t);
            }
        } else if (op < 78) { // delete a tile
            if (m_doc.tiles().count() > 0)
                m_doc.DeleteTile(m_rng.below(m_doc.tiles().count()));
        } else if (op < 88) { // add tiles, perhaps with new colours
            m_doc.ChangeTiles(command::kAddTileFile, m_rng.chance(50), [&](TileSet&) {
                for (int i = m_rng.below(3); i >= 0; --i)
                    m_doc.tiles().tiles().AddUnique(
                        TilePixels(kTile, kTile, m_nextTile++ % 20).data(),
                        uint32_t(m_rng.below(3)));
                if (m_rng.chance(30)) {
                    ColourTable table{};
                    table[size_t(m_rng.below(1024))] = uint8_t(m_rng.below(256));
                    m_doc.tiles().SetColourTable(table);
                }
            });
        } else if (op < 94 && m_rng.chance(40)) { // a layout with cell fields, or back
            bool plane = false;
            m_doc.SetMapLayout({MapItem::SizeWord, MapItem::CellFields, MapItem::TileFile}, "",
                               *CellPresetLayout(m_rng.chance(50) ? "snes" : "gba", plane));
        } else if (op < 94) { // the map's layout
            m_doc.SetMapLayout(
                m_rng.chance(50)
                    ? std::vector<uint8_t>{MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile}
                    : std::vector<uint8_t>{MapItem::SizeWord, MapItem::TileFile,
                                           MapItem::CellsWord},
                m_rng.chance(50) ? "" : "H" + std::to_string(m_rng.below(9)));
        } else { // the current tile: not a step
            if (m_doc.tiles().count() > 0)
                m_doc.SetCurrentTile(m_rng.below(m_doc.tiles().count()));
        }
    }

    // The tile workshop: pixel edits (one copying another tile, so that
    // merges find something), pencil strokes over one or two tiles,
    // clean-ups, moves and replacements.
    void workshop() {
        const int32_t count = m_doc.tiles().count();
        const int32_t t = m_rng.below(count), u = m_rng.below(count);
        CleanupSummary summary;
        switch (m_rng.below(10)) {
        case 0: {
            std::vector<uint8_t> pixels(m_doc.tiles().tiles().PixelsAt(u),
                                        m_doc.tiles().tiles().PixelsAt(u) + kTile * kTile);
            if (m_rng.chance(50))
                pixels[size_t(m_rng.below(kTile * kTile))] = uint8_t(m_rng.below(4));
            (void)m_doc.EditTilePixels(t, pixels, command::kEditTile);
            break;
        }
        case 1:
            (void)m_doc.TransformTile(t, TileTransform(m_rng.below(7)));
            break;
        case 2:
            (void)m_doc.RemoveUnusedTiles(summary);
            break;
        case 3:
            (void)m_doc.MergeDuplicateTiles(m_rng.chance(50), summary);
            break;
        case 4:
            (void)m_doc.MergeNearTiles(m_rng.below(3), summary);
            break;
        case 5:
            (void)m_doc.MergeTiles(t, u, uint16_t(m_rng.below(4)), summary);
            break;
        case 6:
            (void)m_doc.MoveTile(t, u);
            break;
        case 7: {
            const uint8_t value = uint8_t(m_rng.below(4));
            for (int i = m_rng.below(8); i >= 0; --i)
                (void)m_doc.PaintTilePixels(m_rng.chance(70) ? t : u,
                                            {{m_rng.below(kTile + 1), m_rng.below(kTile)}}, value);
            m_doc.EndStroke();
            break;
        }
        default: {
            m_doc.SetCurrentTile(u);
            const Point a = cellPoint(), b = cellPoint();
            const Rect area{std::min(a.x, b.x) / kTile, std::min(a.y, b.y) / kTile,
                            std::max(a.x, b.x) / kTile, std::max(a.y, b.y) / kTile};
            (void)m_doc.ReplaceTile(t, m_rng.chance(50) ? std::optional<Rect>(area)
                                                        : std::nullopt,
                                    summary);
        }
        }
    }

    Rng m_rng;
    Document m_doc;
    MapEditor m_editor{m_doc};
    int m_nextTile = 0;
    std::vector<Snapshot> m_states;
    size_t m_position = 0;
    bool m_dropped = false;
};

std::vector<uint8_t> SavedBytes(const Document& doc, const std::string& path) {
    EXPECT_TRUE(SaveMapFiles(FileSystem::Native(), path, doc.map(), doc.tiles()).ok());
    return ReadBytes(path);
}

} // namespace

TEST(UndoSoakTest, UndoAndRedoRetraceEveryStepExactly) {
    const uint64_t seed = EnvNumber("KESH_SOAK_SEED", 0x756E646F); // "undo"
    // Fewer operations than the history holds, unless asked for more.
    const uint64_t steps = EnvNumber("KESH_SOAK_STEPS", 200000) / 250;
    std::printf("[ soak     ] seed %llu, %llu operations\n", static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(steps));
    TempDir dir;
    UndoSoak soak(seed);
    const std::vector<uint8_t> opened = SavedBytes(soak.doc(), dir.file("start.map"));
    for (uint64_t i = 0; i < steps; ++i)
        ASSERT_TRUE(soak.Step()) << "at operation " << i;
    soak.RedoAll();
    const std::vector<uint8_t> final = SavedBytes(soak.doc(), dir.file("final.map"));
    std::printf("[ soak     ] %zu steps in the history\n", soak.steps());
    soak.UndoAll();
    EXPECT_FALSE(soak.doc().CanUndo());
    if (!soak.dropped()) {
        EXPECT_EQ(SavedBytes(soak.doc(), dir.file("undone.map")), opened);
    }
    soak.RedoAll();
    EXPECT_EQ(SavedBytes(soak.doc(), dir.file("redone.map")), final);
}

} // namespace kesh::test
