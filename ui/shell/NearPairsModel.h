#pragma once

#include <cstdint>
#include <vector>

#include <QAbstractListModel>

#include "app/CleanupProcedures.h"
#include "map/TileUsage.h"
#include "tileset/NearDuplicates.h"

namespace kesh {
class Document;
}

namespace kesh::ui {

// The rows of "비슷한 타일 찾기": the pairs of tiles that differ in at most a
// few pixels, fewest first, each with the way it would be merged and how
// many cells show each tile. Rows are only numbers; the delegate draws them.
class NearPairsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The pair of a row, for the delegate.
    static constexpr int kPairRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    // Finds the pairs of `doc`'s tiles within `most` pixels again, with the
    // usage counts of its map.
    void Refresh(const Document& doc, int32_t most);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: "타일 7 (셀 1개) → 타일 3 (셀 5개), 1픽셀 다름".
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const NearPair& pair(int row) const { return m_found.pairs[size_t(row)]; }
    PairMerge merge(int row) const { return CleanupProcedures::PairDirection(pair(row), m_usage); }
    uint64_t used(int32_t tile) const;
    // More pairs than the list holds were found.
    bool truncated() const { return m_found.truncated; }

private:
    NearDuplicates m_found;
    TileUsage m_usage;
};

} // namespace kesh::ui
