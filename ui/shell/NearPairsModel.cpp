#include "shell/NearPairsModel.h"

#include "doc/Document.h"

namespace kesh::ui {

namespace {

// The list shows no more pairs than this; a set that has more needs a
// smaller pixel count first.
constexpr size_t kMostPairs = 20000;

} // namespace

void NearPairsModel::Refresh(const Document& doc, int32_t most) {
    beginResetModel();
    m_found = NearDuplicates::Find(doc.tiles().tiles(), most, kMostPairs);
    m_usage = TileUsage::Count(doc.map().cells(), doc.tiles().count());
    endResetModel();
}

int NearPairsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_found.pairs.size());
}

uint64_t NearPairsModel::used(int32_t tile) const {
    return size_t(tile) < m_usage.counts.size() ? m_usage.counts[size_t(tile)] : 0;
}

QVariant NearPairsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == kPairRole) {
        return index.row();
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    const PairMerge m = merge(index.row());
    return QStringLiteral("타일 %1 (셀 %2개) → 타일 %3 (셀 %4개), %5픽셀 다름")
        .arg(m.from)
        .arg(used(m.from))
        .arg(m.into)
        .arg(used(m.into))
        .arg(pair(index.row()).differing);
}

} // namespace kesh::ui
