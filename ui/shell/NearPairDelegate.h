#pragma once

#include <QRect>
#include <QSize>
#include <QStyledItemDelegate>

namespace kesh {
struct PairMerge;
}

namespace kesh::ui {

class NearPairsModel;
class TilePainter;

// Draws a row of "비슷한 타일 찾기": the tile that would go and the tile it
// would go into side by side, enlarged, through the shared TilePainter (so
// the colours are those shown everywhere else), with their numbers, the
// cells that show each and the pixels that differ, outlined. Only visible rows are
// drawn, so a set of thousands of tiles costs nothing until scrolled to.
class NearPairDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    NearPairDelegate(const NearPairsModel& model, TilePainter& painter, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), m_model(model), m_painter(painter) {}

    // A tile's size on screen: enlarged by a whole factor to about 48 pixels,
    // or shrunk to fit them when it is larger.
    static QSize ShownSize(int tileWidth, int tileHeight);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Outlines, on both tiles, the pixels in which they differ (when the
    // tiles are enlarged enough to show it).
    void MarkDifferences(QPainter& painter, const PairMerge& merge, const QRect& from,
                         const QRect& into) const;

    const NearPairsModel& m_model;
    TilePainter& m_painter;
};

} // namespace kesh::ui
