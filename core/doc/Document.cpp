#include "doc/Document.h"

#include <algorithm>
#include <new>

#include "base/Messages.h"
#include "doc/AttributeChange.h"

#include "doc/CellCommands.h"
#include "doc/DeleteTileCommand.h"
#include "doc/ImportChange.h"
#include "doc/MapFormatChange.h"
#include "doc/StepNames.h"
#include "doc/TileSetChange.h"

namespace kesh {

Document::Document() = default;
Document::~Document() = default;

void Document::AddListener(DocumentListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void Document::RemoveListener(DocumentListener* listener) {
    std::erase(m_listeners, listener);
}

void Document::Notify(uint32_t changes) {
    if (syncModified())
        changes |= change::kModified;
    if (changes == 0)
        return;
    // A listener may add or remove listeners while it is told.
    const std::vector<DocumentListener*> listeners = m_listeners;
    for (DocumentListener* listener : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->DocumentChanged(changes);
}

bool Document::syncModified() {
    const bool now = IsModified();
    const bool flipped = now != m_modified;
    m_modified = now;
    m_map.m_bModified = now ? 1 : 0;
    return flipped;
}

bool Document::IsModified() const {
    return m_pending || (m_stroke && !m_stroke->empty()) || m_history.ChangedSinceSave();
}

bool Document::CanUndo() const {
    return (m_stroke && !m_stroke->empty()) || m_history.CanUndo();
}

bool Document::CanRedo() const {
    return !(m_stroke && !m_stroke->empty()) && m_history.CanRedo();
}

std::string Document::UndoName() const {
    if (m_stroke && !m_stroke->empty())
        return m_stroke->Name();
    const Command* step = m_history.NextUndo();
    return step ? step->Name() : std::string();
}

std::string Document::RedoName() const {
    const Command* step = CanRedo() ? m_history.NextRedo() : nullptr;
    return step ? step->Name() : std::string();
}

void Document::closeStroke() {
    if (!m_stroke)
        return;
    std::unique_ptr<StrokeCommand> stroke = std::move(m_stroke);
    if (!stroke->empty()) {
        m_history.Push(std::move(stroke));
        ++m_revision;
    }
}

bool Document::Undo() {
    closeStroke();
    Command* step = m_history.StepBack();
    if (!step)
        return false;
    apply(*step, false);
    ++m_revision;
    Notify(step->Changes() | change::kHistory);
    return true;
}

bool Document::Redo() {
    closeStroke();
    Command* step = m_history.StepForward();
    if (!step)
        return false;
    apply(*step, true);
    ++m_revision;
    Notify(step->Changes() | change::kHistory);
    return true;
}

void Document::apply(Command& step, bool redo) {
    const uint64_t generation = m_map.gridGeneration();
    const int32_t oldWidth = m_map.width();
    if (redo)
        step.Redo(*this);
    else
        step.Undo(*this);
    if (m_map.gridGeneration() != generation)
        m_view.FitGrid(m_map, oldWidth);
}

void Document::MarkChanged() {
    m_pending = true;
    Notify(0);
}

void Document::MarkSaved() {
    closeStroke();
    m_history.MarkSaved();
    m_pending = false;
    Notify(change::kHistory);
}

void Document::dropHistory(bool marksMap) {
    closeStroke();
    m_pending = IsModified() || marksMap;
    m_history.Clear();
    ++m_revision;
}

void Document::ResetHistory() {
    m_stroke.reset();
    m_region.reset();
    m_history.Clear();
    m_pending = false;
    ++m_revision;
    Notify(change::kHistory | change::kReplaced);
}

void Document::Push(std::unique_ptr<Command> step) {
    closeStroke();
    const uint32_t changes = step->Changes();
    m_history.Push(std::move(step));
    ++m_revision;
    Notify(changes | change::kHistory);
}

void Document::Execute(std::unique_ptr<Command> step) {
    closeStroke();
    apply(*step, true);
    Push(std::move(step));
}

bool Document::DeleteTile(int32_t number) {
    if (number < 0 || !m_tiles.tiles().NodeAt(number))
        return false;
    Execute(std::make_unique<DeleteTileCommand>(*this, number));
    return true;
}

void Document::ChangeTiles(const char* name, bool marksMap, const std::function<void()>& change) {
    closeStroke();
    const TileSetState before = TileSetState::Of(m_tiles);
    change();
    if (!TileSetChange::Changed(before, m_tiles))
        return;
    if (!TileSetChange::Holds(before, m_tiles)) {
        // The old tiles are gone; so is every step that relied on them.
        dropHistory(marksMap);
        Notify(change::kTiles | change::kColours | change::kTileLayout | change::kCurrentTile |
               change::kCells | change::kHistory);
        return;
    }
    Push(std::make_unique<TileSetChange>(before, m_tiles, name, marksMap));
}

bool Document::SetTileAttribute(int32_t number, uint32_t attribute) {
    const TileList& list = m_tiles.tiles();
    if (number < 0 || !list.NodeAt(number) || list.AttributeAt(number) == attribute)
        return false;
    Execute(std::make_unique<AttributeChange>(number, list.AttributeAt(number), attribute));
    return true;
}

void Document::SetMapLayout(std::vector<uint8_t> items, std::string header) {
    MapFormat after = m_map.format();
    after.items = std::move(items);
    after.header = std::move(header);
    Execute(std::make_unique<MapFormatChange>(m_map.format(), std::move(after)));
}

Status Document::ImportMap(const char* name, int32_t keep, const MapImport& import) {
    closeStroke();
    keep = std::clamp<int32_t>(keep, 0, m_tiles.count());
    const TileSetState before = TileSetState::Of(m_tiles);
    TileRun removed = TileRun::Of(m_tiles.tiles(), keep);
    MapFormat format;
    std::vector<uint16_t> cells;
    if (Status st = import(m_tiles, format, cells); !st) {
        if (TileSetChange::Changed(before, m_tiles))
            TileSetChange::Apply(m_tiles, before, keep, removed.pixels, removed.attributes);
        return st;
    }
    if (!MapModel::IsValidSize(format.width, format.height) ||
        cells.size() != size_t(format.width) * size_t(format.height)) {
        TileSetChange::Apply(m_tiles, before, keep, removed.pixels, removed.attributes);
        return Status::Fail(msg::kBadMapSize);
    }
    MapState old = MapState::TakeFrom(m_map);
    MapState imported{std::move(format), std::move(cells), kUntitledMapName, kUntitledMapName};
    const int32_t oldWidth = m_map.width();
    imported.PutInto(m_map);
    m_view.FitGrid(m_map, oldWidth);
    m_view.ClampSelection(m_map, m_tiles.tileWidth(), m_tiles.tileHeight());
    Push(std::make_unique<ImportChange>(name, before, keep, std::move(removed), m_tiles, m_map,
                                        std::move(old)));
    return Status::Ok();
}

void Document::CellPainted(int32_t index, uint16_t before, uint16_t after) {
    const bool first = !m_stroke || m_stroke->empty();
    if (!m_stroke)
        m_stroke = std::make_unique<StrokeCommand>();
    m_stroke->Add(index, before, after);
    if (first)
        Notify(change::kHistory);
}

void Document::StrokeEnded() {
    if (!m_stroke || m_stroke->empty())
        return;
    closeStroke();
    Notify(change::kHistory);
}

void Document::RegionChanging(const Rect& cells) {
    closeStroke();
    m_region.reset();
    m_regionLost = false;
    try {
        m_region = std::make_unique<RegionCommand>(m_map, cells, step::kFill);
    } catch (const std::bad_alloc&) {
        m_regionLost = true;
    }
}

void Document::RegionChanged(RegionEdit edit) {
    if (!m_region) {
        if (m_regionLost) {
            // The change stands but cannot be taken back, nor can the steps before it.
            m_regionLost = false;
            dropHistory(true);
            Notify(change::kCells | change::kHistory);
        }
        return;
    }
    std::unique_ptr<RegionCommand> region = std::move(m_region);
    try {
        region->Finish(m_map);
    } catch (const std::bad_alloc&) {
        m_regionLost = true;
        m_region.reset();
        RegionChanged(edit);
        return;
    }
    region->SetName(edit == RegionEdit::Paste ? step::kPaste : step::kFill);
    Push(std::move(region));
}

} // namespace kesh
