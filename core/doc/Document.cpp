#include "doc/Document.h"

#include <algorithm>
#include <new>

#include "base/Messages.h"
#include "doc/AttributeCommand.h"
#include "doc/CellCommands.h"
#include "doc/CommandNames.h"
#include "doc/DeleteTileCommand.h"
#include "doc/ImportCommand.h"
#include "doc/MapFormatCommand.h"
#include "doc/PixelStrokeCommand.h"
#include "doc/TerrainCommand.h"
#include "doc/TilePixelsCommand.h"
#include "doc/TileRemapCommand.h"
#include "doc/TileSetCommand.h"
#include "layout/TileBudget.h"

namespace kesh {

FileIdentity FileIdentity::Of(const std::string& path) {
    return {FileNameOf(path), path};
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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

void Document::notify(uint32_t changes) {
    const bool now = IsModified();
    if (now != m_modified)
        changes |= change::kModified;
    m_modified = now;
    if (changes == 0)
        return;
    // A listener may add or remove listeners while it is told.
    const std::vector<DocumentListener*> listeners = m_listeners;
    for (DocumentListener* listener : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->DocumentChanged(changes);
}

const Command* Document::strokeUnderWay() const {
    if (m_stroke && !m_stroke->empty())
        return m_stroke.get();
    if (m_terrainStroke && !m_terrainStroke->empty())
        return m_terrainStroke.get();
    if (m_pixelStroke && !m_pixelStroke->empty())
        return m_pixelStroke.get();
    return nullptr;
}

bool Document::IsModified() const {
    return m_pending || strokeUnderWay() || m_history.ChangedSinceSave();
}

bool Document::CanUndo() const {
    return strokeUnderWay() || m_history.CanUndo();
}

bool Document::CanRedo() const {
    return !strokeUnderWay() && m_history.CanRedo();
}

std::string Document::UndoName() const {
    if (const Command* stroke = strokeUnderWay())
        return stroke->Name();
    const Command* step = m_history.NextUndo();
    return step ? step->Name() : std::string();
}

std::string Document::RedoName() const {
    const Command* step = CanRedo() ? m_history.NextRedo() : nullptr;
    return step ? step->Name() : std::string();
}

void Document::closeStroke() {
    closeTerrainStroke();
    closePixelStroke();
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
    step->Undo(*this);
    ++m_revision;
    notify(step->Changes() | change::kHistory);
    return true;
}

bool Document::Redo() {
    closeStroke();
    Command* step = m_history.StepForward();
    if (!step)
        return false;
    step->Redo(*this);
    ++m_revision;
    notify(step->Changes() | change::kHistory);
    return true;
}

void Document::MarkChanged() {
    m_pending = true;
    notify(0);
}

void Document::MarkSaved() {
    closeStroke();
    m_history.MarkSaved();
    m_pending = false;
    notify(change::kHistory);
}

void Document::dropHistory(bool marksMap) {
    closeStroke();
    m_pending = IsModified() || marksMap;
    m_history.Clear();
    ++m_revision;
}

void Document::ResetHistory() {
    m_stroke.reset();
    m_terrainStroke.reset();
    m_pixelStroke.reset();
    m_history.Clear();
    m_pending = false;
    ++m_revision;
    notify(change::kHistory | change::kReplaced);
}

Status Document::Replace(const ContentReader& read, std::optional<FileIdentity> file,
                         bool changed) {
    closeStroke();
    const uint64_t tilesRevision = m_tiles.revision();
    if (Status st = read(m_map, m_tiles); !st)
        return st;
    // Views compare revisions to drop what they drew from the old set.
    while (m_tiles.revision() <= tilesRevision)
        m_tiles.touch();
    if (file)
        m_file = std::move(*file);
    m_terrain.Follow(m_map);
    m_stroke.reset();
    m_pixelStroke.reset();
    m_history.Clear();
    m_pending = changed;
    ++m_revision;
    notify(change::kCells | change::kTiles | change::kColours | change::kMapLayout |
           change::kTileLayout | change::kCurrentTile | change::kHistory | change::kReplaced);
    return Status::Ok();
}

void Document::SetFile(FileIdentity file) {
    m_file = std::move(file);
}

void Document::push(std::unique_ptr<Command> command) {
    closeStroke();
    const uint32_t changes = command->Changes();
    m_history.Push(std::move(command));
    ++m_revision;
    notify(changes | change::kHistory);
}

void Document::Execute(std::unique_ptr<Command> command) {
    closeStroke();
    command->Redo(*this);
    push(std::move(command));
}

Cell Document::brush() const {
    return {uint16_t(m_tiles.current()), uint16_t(m_brushAttr & m_map.format().AttrMask())};
}

void Document::SetBrushAttr(uint16_t attr) {
    if (attr == m_brushAttr)
        return;
    m_brushAttr = attr;
    notify(change::kCurrentTile);
}

bool Document::PaintCell(int32_t index, uint16_t tile) {
    if (index < 0 || index >= m_map.cellCount())
        return false;
    const Cell cell{tile, uint16_t(m_brushAttr & m_map.format().AttrMask())};
    if (m_map.cell(size_t(index)) == cell)
        return false;
    closeTerrainStroke();
    const bool first = !m_stroke || m_stroke->empty();
    if (!m_stroke)
        m_stroke = std::make_unique<StrokeCommand>();
    m_stroke->Paint(m_map, index, cell);
    // The editor repaints the cells it painted; what undo would do changes
    // with the stroke's first cell only.
    if (first)
        notify(change::kHistory);
    return true;
}

void Document::EndStroke() {
    if (!strokeUnderWay())
        return;
    closeStroke();
    notify(change::kHistory);
}

void Document::FillCells(const Rect& cells, uint16_t tile) {
    const Rect cut = CutToGrid(m_map, cells);
    const Cell cell{tile, uint16_t(m_brushAttr & m_map.format().AttrMask())};
    closeStroke();
    try {
        Execute(RegionCommand::Fill(m_map, cut, cell));
    } catch (const std::bad_alloc&) {
        // The change stands but cannot be taken back, nor can the steps before it.
        RegionCommand::FillInPlace(m_map, cut, cell);
        dropHistory(true);
        notify(change::kCells | change::kHistory);
    }
}

void Document::PasteCells(const Rect& source, int32_t col, int32_t row) {
    if (!m_map.hasCells())
        return;
    closeStroke();
    try {
        Execute(RegionCommand::Paste(m_map, source, col, row));
    } catch (const std::bad_alloc&) {
        RegionCommand::PasteInPlace(m_map, source, col, row);
        dropHistory(true);
        notify(change::kCells | change::kHistory);
    }
}

void Document::FlipCells(const Rect& cells, bool horizontal) {
    const Rect cut = CutToGrid(m_map, cells);
    if (!m_map.hasCells() || cut.left > cut.right || cut.top > cut.bottom)
        return;
    Execute(RegionCommand::Flip(m_map, cut, horizontal));
}

void Document::SetCurrentTile(int32_t number) {
    if (number == m_tiles.current())
        return;
    m_tiles.setCurrent(number);
    notify(change::kCurrentTile);
}

bool Document::DeleteTile(int32_t number) {
    if (number < 0 || !m_tiles.tiles().NodeAt(number))
        return false;
    Execute(std::make_unique<DeleteTileCommand>(*this, number));
    return true;
}

namespace {

Status NoSuchTile(int32_t number) {
    return Status::Fail(msg::kNoSuchTileNumber + std::to_string(number));
}

} // namespace

Status Document::EditTilePixels(int32_t number, const std::vector<uint8_t>& pixels,
                                const char* name) {
    const TileList& list = m_tiles.tiles();
    if (!list.NodeAt(number))
        return NoSuchTile(number);
    if (pixels.size() != size_t(list.tileSize()))
        return Status::Fail(msg::kBadTilePixels);
    if (list.PixelsEqual(pixels.data(), number))
        return Status::Ok();
    const uint8_t* old = list.PixelsAt(number);
    Execute(std::make_unique<TilePixelsCommand>(
        name, number, std::vector<uint8_t>(old, old + list.tileSize()), pixels));
    return Status::Ok();
}

Status Document::TransformTile(int32_t number, TileTransform how) {
    const TileList& list = m_tiles.tiles();
    if (!list.NodeAt(number))
        return NoSuchTile(number);
    std::vector<uint8_t> after = kesh::TransformTile(list.PixelsAt(number), list.width(),
                                                     list.height(), how);
    if (after.size() != size_t(list.tileSize()))
        return Status::Fail(msg::kNotSquareTile);
    const char* name = how == TileTransform::FlipH   ? command::kFlipTileH
                       : how == TileTransform::FlipV ? command::kFlipTileV
                       : how == TileTransform::Rotate90 ? command::kRotateTile
                                                        : command::kShiftTile;
    return EditTilePixels(number, after, name);
}

uint16_t Document::mapFlips() const {
    return uint16_t(m_map.format().AttrMask() & cellbit::kFlips);
}

int32_t Document::storedTiles() const {
    return TileMatcher(m_tiles.tiles(), mapFlips()).distinct();
}

int64_t Document::tileLimit() const {
    return TileLimit(m_map.format(), m_tiles.format());
}

void Document::remap(const char* name, TileRemap plan, std::optional<Rect> area,
                     CleanupSummary& summary) {
    summary.tilesBefore = m_tiles.count();
    auto command = std::make_unique<TileRemapCommand>(*this, name, std::move(plan), area);
    TileRemapCommand& step = *command;
    Execute(std::move(command));
    summary.tilesAfter = m_tiles.count();
    summary.cellsChanged = step.cellsChanged();
}

Status Document::RemoveUnusedTiles(CleanupSummary& summary) {
    summary = {m_tiles.count(), m_tiles.count()};
    const TileUsage usage = TileUsage::Count(m_map.cells(), m_tiles.count());
    std::optional<TileRemap> plan = TileCleanup::RemoveUnused(usage);
    if (!plan)
        return Status::Ok();
    if (plan->keep.empty())
        return Status::Fail(msg::kWouldEmptyTileSet);
    // As remap() does, but the counts go along: the dropped tiles have no
    // cells to look for.
    auto command = std::make_unique<TileRemapCommand>(*this, command::kRemoveUnused,
                                                      std::move(*plan), std::nullopt, &usage);
    TileRemapCommand& step = *command;
    Execute(std::move(command));
    summary.tilesAfter = m_tiles.count();
    summary.cellsChanged = step.cellsChanged();
    summary.tilesRemoved = summary.tilesBefore - summary.tilesAfter;
    return Status::Ok();
}

Status Document::MergeDuplicateTiles(bool mirrors, CleanupSummary& summary) {
    summary = {m_tiles.count(), m_tiles.count()};
    int32_t merged = 0;
    std::optional<TileRemap> plan =
        TileCleanup::MergeDuplicates(m_tiles.tiles(), mirrors ? mapFlips() : 0, &merged);
    if (!plan)
        return Status::Ok();
    remap(command::kMergeDuplicates, std::move(*plan), std::nullopt, summary);
    summary.tilesMerged = merged;
    return Status::Ok();
}

Status Document::MergeTiles(int32_t from, int32_t into, uint16_t flip, CleanupSummary& summary) {
    summary = {m_tiles.count(), m_tiles.count()};
    for (const int32_t t : {from, into})
        if (!m_tiles.tiles().NodeAt(t))
            return NoSuchTile(t);
    if (from == into)
        return Status::Ok();
    remap(command::kMergeTiles,
          TileCleanup::Merge(m_tiles.count(), from, into, uint16_t(flip & mapFlips())),
          std::nullopt, summary);
    summary.tilesMerged = 1;
    return Status::Ok();
}

Status Document::MergeNearTiles(int32_t most, CleanupSummary& summary) {
    summary = {m_tiles.count(), m_tiles.count()};
    const TileUsage usage = TileUsage::Count(m_map.cells(), m_tiles.count());
    int32_t pairs = 0;
    std::optional<TileRemap> plan = TileCleanup::MergeNear(m_tiles.tiles(), usage, most, &pairs);
    if (!plan)
        return Status::Ok();
    remap(command::kMergeNear, std::move(*plan), std::nullopt, summary);
    summary.tilesMerged = pairs;
    return Status::Ok();
}

Status Document::MoveTile(int32_t from, int32_t to) {
    for (const int32_t t : {from, to})
        if (!m_tiles.tiles().NodeAt(t))
            return NoSuchTile(t);
    if (from == to)
        return Status::Ok();
    CleanupSummary summary;
    remap(command::kMoveTile, TileCleanup::Move(m_tiles.count(), from, to), std::nullopt,
          summary);
    return Status::Ok();
}

Status Document::ReplaceTile(int32_t from, std::optional<Rect> area, CleanupSummary& summary) {
    summary = {m_tiles.count(), m_tiles.count()};
    const int32_t into = m_tiles.current();
    for (const int32_t t : {from, into})
        if (!m_tiles.tiles().NodeAt(t))
            return NoSuchTile(t);
    if (from == into || !m_map.hasCells())
        return Status::Ok();
    const Rect cut = CutToGrid(m_map, area.value_or(Rect{0, 0, m_map.width() - 1,
                                                         m_map.height() - 1}));
    if (cut.left > cut.right || cut.top > cut.bottom)
        return Status::Ok();
    TileRemap plan = TileRemap::Identity(m_tiles.count());
    plan.target[size_t(from)] = {into, 0};
    remap(command::kReplaceTile, std::move(plan), cut, summary);
    return Status::Ok();
}

void Document::ChangeTiles(const char* name, bool marksMap,
                           const std::function<void(TileSet&)>& change) {
    closeStroke();
    const TileSetState before = TileSetState::Of(m_tiles);
    change(m_tiles);
    // Tiles added to an empty set: the first becomes current, so that the
    // current tile names a tile whenever the set has one.
    if (m_tiles.current() < 0 && m_tiles.count() > 0)
        m_tiles.setCurrent(0);
    if (!TileSetCommand::Changed(before, m_tiles))
        return;
    if (!TileSetCommand::Holds(before, m_tiles)) {
        // The old tiles are gone; so is every step that relied on them.
        dropHistory(marksMap);
        notify(change::kTiles | change::kColours | change::kTileLayout | change::kCurrentTile |
               change::kCells | change::kHistory);
        return;
    }
    push(std::make_unique<TileSetCommand>(before, m_tiles, name, marksMap));
}

bool Document::SetTileAttribute(int32_t number, uint32_t attribute) {
    const TileList& list = m_tiles.tiles();
    if (number < 0 || !list.NodeAt(number) || list.AttributeAt(number) == attribute)
        return false;
    Execute(std::make_unique<AttributeCommand>(number, list.AttributeAt(number), attribute));
    return true;
}

void Document::SetMapLayout(std::vector<uint8_t> items, std::string header,
                            std::optional<CellLayout> cells) {
    MapFormat after = m_map.format();
    after.items = std::move(items);
    after.header = std::move(header);
    if (cells)
        after.cells = std::move(*cells);
    Execute(std::make_unique<MapFormatCommand>(m_map.format(), std::move(after)));
}

void Document::swapMap(MapFormat& format, std::vector<uint16_t>& cells,
                       std::vector<uint16_t>& attrs, FileIdentity& file) {
    MapFormat oldFormat = m_map.format();
    std::vector<uint16_t> oldCells = std::move(m_map.cells());
    std::vector<uint16_t> oldAttrs = std::move(m_map.attrs());
    // A grid the map held before, or one checked by ImportMap: its size is
    // one the map can hold.
    (void)m_map.ReplaceGrid(std::move(format), std::move(cells), std::move(attrs));
    format = std::move(oldFormat);
    cells = std::move(oldCells);
    attrs = std::move(oldAttrs);
    std::swap(m_file, file);
}

Status Document::ImportMap(const char* name, int32_t keep, const MapImport& import) {
    closeStroke();
    keep = std::clamp<int32_t>(keep, 0, m_tiles.count());
    const TileSetState before = TileSetState::Of(m_tiles);
    TileRun removed = TileRun::Of(m_tiles.tiles(), keep);
    MapFormat format;
    std::vector<uint16_t> cells;
    std::vector<uint16_t> attrs;
    if (Status st = import(m_tiles, format, cells, attrs); !st) {
        if (TileSetCommand::Changed(before, m_tiles))
            TileSetCommand::Apply(m_tiles, before, keep, removed.pixels, removed.attributes);
        return st;
    }
    Status size = MapModel::CheckSize(format.width, format.height);
    if (size && (cells.size() != size_t(format.width) * size_t(format.height) ||
                 (!attrs.empty() && attrs.size() != cells.size())))
        size = Status::Fail(msg::kBadMapSize);
    if (!size) {
        TileSetCommand::Apply(m_tiles, before, keep, removed.pixels, removed.attributes);
        return size;
    }
    // The command puts the imported map in place; the tile set has been
    // brought to its new state by the import already.
    auto command = std::make_unique<ImportCommand>(name, before, keep, std::move(removed), m_tiles,
                                                   std::move(format), std::move(cells),
                                                   std::move(attrs));
    command->PlaceMap(*this);
    push(std::move(command));
    return Status::Ok();
}

} // namespace kesh
