#include "map/MapModel.h"

#include <new>
#include <optional>

#include "base/Messages.h"

namespace kesh {

namespace {

// A grid of empty cells, or nullopt when memory runs out.
std::optional<std::vector<uint16_t>> EmptyGrid(int32_t width, int32_t height) {
    try {
        return std::vector<uint16_t>(size_t(width) * size_t(height), kEmptyCell);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace

MapModel::MapModel() : m_format(MapFormat::Default()) {
    m_cells.assign(size_t(width()) * size_t(height()), kEmptyCell);
}

bool MapModel::IsValidSize(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
           width * height <= kMaxMapCells;
}

Status MapModel::AllocateCells(int32_t width, int32_t height) {
    if (!IsValidSize(width, height))
        return Status::Fail(msg::kBadMapSize);
    auto grid = EmptyGrid(width, height);
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    m_cells = std::move(*grid);
    ++m_gridGeneration;
    m_format.width = width;
    m_format.height = height;
    return Status::Ok();
}

Status MapModel::EnsureCells() {
    if (width() < 0 || height() < 0)
        return Status::Fail(msg::kNoTileSize);
    if (!IsValidSize(width(), height()))
        return Status::Fail(msg::kBadMapSize);
    if (m_cells.size() == size_t(width()) * size_t(height()))
        return Status::Ok();
    auto grid = EmptyGrid(width(), height());
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    m_cells = std::move(*grid);
    ++m_gridGeneration;
    return Status::Ok();
}

Status MapModel::ReplaceGrid(MapFormat format, std::vector<uint16_t> cells) {
    if (!IsValidSize(format.width, format.height) ||
        cells.size() != size_t(format.width) * size_t(format.height))
        return Status::Fail(msg::kBadMapSize);
    m_format = std::move(format);
    m_cells = std::move(cells);
    ++m_gridGeneration;
    return Status::Ok();
}

void MapModel::RenumberAfterDelete(int32_t deleted) {
    if (deleted < 0 || deleted >= kEmptyCell)
        return;
    const auto d = static_cast<uint16_t>(deleted);
    // Written without branches so the loop vectorises: one pass over up to 128 MiB.
    for (uint16_t& c : m_cells) {
        const uint16_t v = c;
        const uint16_t down = static_cast<uint16_t>(v - ((v > d) & (v != kEmptyCell)));
        c = v == d ? kEmptyCell : down;
    }
    m_bModified = 1;
}

} // namespace kesh
