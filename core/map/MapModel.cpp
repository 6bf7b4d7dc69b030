#include "map/MapModel.h"

#include <atomic>
#include <new>
#include <optional>

#include "base/GroupDigits.h"
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

std::atomic<uint64_t> g_lastGrid{0};

uint64_t NextGrid() {
    return ++g_lastGrid;
}

} // namespace

MapModel::MapModel() : m_format(MapFormat::Default()), m_gridGeneration(NextGrid()) {
    m_cells.assign(size_t(width()) * size_t(height()), kEmptyCell);
}

bool MapModel::IsValidSize(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
           width * height <= kMaxMapCells;
}

bool MapModel::IsTooLarge(int64_t width, int64_t height) {
    return width >= 1 && height >= 1 && width <= kMaxMapSide && height <= kMaxMapSide &&
           width * height > kMaxMapCells;
}

Status MapModel::CheckSize(int64_t width, int64_t height) {
    if (IsValidSize(width, height))
        return Status::Ok();
    if (!IsTooLarge(width, height))
        return Status::Fail(msg::kBadMapSize);
    return Status::Fail(TooLargeMessage() + "\n" + std::to_string(width) + " x " +
                        std::to_string(height) + "칸");
}

std::string MapModel::TooLargeMessage() {
    return std::string(msg::kMapTooLarge) + GroupDigits(uint64_t(kMaxMapCells)) + "칸).";
}

Status MapModel::AllocateCells(int32_t width, int32_t height) {
    if (Status st = CheckSize(width, height); !st)
        return st;
    auto grid = EmptyGrid(width, height);
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    std::vector<uint16_t> attrs;
    try {
        if (m_format.AttrMask() != 0)
            attrs.assign(grid->size(), 0);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    m_cells = std::move(*grid);
    m_attrs = std::move(attrs);
    m_gridGeneration = NextGrid();
    m_format.width = width;
    m_format.height = height;
    return Status::Ok();
}

Status MapModel::EnsureCells() {
    if (width() < 0 || height() < 0)
        return Status::Fail(msg::kNoTileSize);
    if (Status st = CheckSize(width(), height()); !st)
        return st;
    if (m_cells.size() == size_t(width()) * size_t(height()))
        return MatchAttrs();
    auto grid = EmptyGrid(width(), height());
    if (!grid)
        return Status::Fail(msg::kAllocFailed);
    m_cells = std::move(*grid);
    m_attrs.clear();
    m_gridGeneration = NextGrid();
    return MatchAttrs();
}

Status MapModel::MatchAttrs() {
    const bool wanted = m_format.AttrMask() != 0;
    if (!wanted) {
        m_attrs = {};
        return Status::Ok();
    }
    if (m_attrs.size() == m_cells.size())
        return Status::Ok();
    try {
        m_attrs.assign(m_cells.size(), 0);
    } catch (const std::bad_alloc&) {
        return Status::Fail(msg::kAllocFailed);
    }
    return Status::Ok();
}

Status MapModel::SetAttrs(std::vector<uint16_t> attrs) {
    if (!attrs.empty() && attrs.size() != m_cells.size())
        return Status::Fail(msg::kBadMapSize);
    m_attrs = std::move(attrs);
    return Status::Ok();
}

Status MapModel::ReplaceGrid(MapFormat format, std::vector<uint16_t> cells,
                             std::vector<uint16_t> attrs) {
    if (!IsValidSize(format.width, format.height) ||
        cells.size() != size_t(format.width) * size_t(format.height) ||
        (!attrs.empty() && attrs.size() != cells.size()))
        return Status::Fail(msg::kBadMapSize);
    if (format.AttrMask() == 0) {
        attrs = {};
    } else if (attrs.empty()) {
        try {
            attrs.assign(cells.size(), 0);
        } catch (const std::bad_alloc&) {
            return Status::Fail(msg::kAllocFailed);
        }
    }
    m_format = std::move(format);
    m_cells = std::move(cells);
    m_attrs = std::move(attrs);
    m_gridGeneration = NextGrid();
    return Status::Ok();
}

} // namespace kesh
