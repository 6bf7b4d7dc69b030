#pragma once

#include "support/SoakRandom.h"
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "EditingSoakReference.h"
#include "doc/Document.h"
#include "edit/MapEditor.h"
#include "support/TempDir.h"
#include "tileset/TileSet.h"

namespace kesh::test {

// A long seeded run of random map editing: mouse and key events, region
// commands, tile deletion, File New, save and reopen. After every step the
// map is compared with SoakReference, a plain model of what each operation
// must do, and with the editing invariants; the first difference stops the
// run with the seed, the step and the operations that led there.

// clang-format off
enum class Op : uint8_t {
    LDown, LDownPaint, LUp, RDown, RUp, Move, Timer, DblClk, Arrow, Enter, Page, ShiftKey, KeyUp,
    Remember, Paste, Fill, PickTile, OddTile, AddTile, DeleteTile, Renumber, NewMap, ChangeFormat,
    Resize, ScrollBar, Save, Open, Count
};
inline constexpr size_t kOpCount = size_t(Op::Count);

inline constexpr std::array<const char*, kOpCount> kOpNames = {
    "LButtonDown", "LButtonDown+paint", "LButtonUp", "RButtonDown", "RButtonUp", "MouseMove",
    "Timer", "LButtonDblClk", "KeyDown arrow", "KeyDown Enter", "KeyDown page/home/end",
    "KeyDown Shift", "KeyUp", "RememberRegion", "PasteRegion", "FillRegion", "pick tile",
    "odd current number", "add tile", "delete tile", "delete missing tile", "NewMap",
    "ChangeMapFormat", "resize view", "scroll bar", "SaveMap", "OpenMap"};
// clang-format on

// Map layouts the run saves in: byte and word cells, tiles embedded or not,
// and one without cells (read back as an empty grid).
inline const std::array<std::vector<uint8_t>, 5> kSoakLayouts = {{
    {MapItem::SizeByte, MapItem::CellsByte, MapItem::TileFile},
    {MapItem::SizeWord, MapItem::CellsWord, MapItem::TileFile},
    {MapItem::SizeDword, MapItem::TileFile, MapItem::CellsWord},
    {MapItem::SizeByte, MapItem::CellsWord},
    {MapItem::SizeWord, MapItem::TileFile},
}};

inline bool Has(const std::vector<uint8_t>& items, uint8_t item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

// What a file saved now must give back.
struct SavedMap {
    int32_t width = 0, height = 0;
    std::vector<uint16_t> cells;
    std::vector<uint8_t> items;
    std::string header;
    bool hasTiles = false;
    int tileCount = 0;
};

struct LogEntry {
    uint64_t step;
    Op op;
    int32_t a, b, c, d, e;
};

inline constexpr size_t kSoakLogSize = 32;
inline constexpr uint64_t kStepsPerSession = 25000; // each session has its own tile size

class EditingSoak {
public:
    EditingSoak(uint64_t seed, uint64_t steps) : m_seed(seed), m_steps(steps), m_rng(seed) {}

    void Run();
    uint64_t saves() const { return m_saves; }
    uint64_t reopens() const { return m_reopens; }

private:
    void startSession();
    Op draw();
    void step(Op op);
    // Remembers an operation and its arguments for the report of a failure.
    void log(Op op, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0, int32_t e = 0) {
        m_log[m_logNext++ % kSoakLogSize] = {m_step, op, a, b, c, d, e};
    }

    // Operations.
    void mouse(Op op);
    void key(Op op);
    void tileOp(Op op);
    void newMap();
    void changeFormat();
    void save();
    void open();

    // Checks; each returns what is wrong, or nothing.
    std::string checkState() const;
    std::string checkUpdate(const MapUpdate& u, int32_t oldCur, const Rect& oldSel) const;
    std::string checkSaved(const std::string& path, const SavedMap& saved) const;
    void fail(const std::string& what);

    Point clientPoint();
    Point edgePoint();
    int32_t clientSize(int32_t tile);
    void setTile(uint16_t number) { m_tc.current = m_ref.tile = number; }
    void applyScroll(const MapUpdate& u) {
        if (u.scrollTo)
            m_view.scroll = *u.scrollTo;
    }
    void editorOp(const MapUpdate& u, int32_t oldCur, const Rect& oldSel, bool mustBeEmpty);
    bool canSave() const { return !(Has(m_items, MapItem::TileFile) && tiles().count() == 0); }
    SavedMap snapshot() const;
    std::string choosePath();
    std::vector<uint8_t> pickLayout() { return kSoakLayouts[size_t(m_rng.below(5))]; }
    std::string pickHeader() {
        return m_rng.chance(50) ? "" : "KMAP" + std::to_string(m_rng.below(100));
    }

    const uint64_t m_seed, m_steps;
    Rng m_rng;
    kesh::test::TempDir m_dir;
    uint64_t m_step = 0;
    int m_session = 0;
    bool m_failed = false;

    // The document edited, its map, and the editor with its view state.
    std::unique_ptr<Document> m_doc;
    MapModel* m_map = nullptr;
    std::unique_ptr<MapEditor> m_editor;
    TileSet& tiles() const { return m_doc->tiles(); }
    // Brought onto the document's grid, as the map view sees it.
    MapViewState& state() const { return m_editor->state(); }
    int m_nextSeed = 0;
    Viewport m_view;
    TileContext m_tc;

    SoakReference m_ref;
    std::vector<uint8_t> m_items; // the layout the map should have
    std::string m_header;
    bool m_hasFile = false;
    std::string m_path;
    std::map<std::string, SavedMap> m_files; // saved in this session
    int m_fileNumber = 0;
    uint64_t m_nextSave = 0;
    uint64_t m_saves = 0, m_reopens = 0;

    std::array<LogEntry, kSoakLogSize> m_log{};
    size_t m_logNext = 0;
};

} // namespace kesh::test
