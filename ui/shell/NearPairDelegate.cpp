#include "shell/NearPairDelegate.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>

#include "shell/NearPairsModel.h"
#include "tileset/TileList.h"
#include "tileview/TilePainter.h"

namespace kesh::ui {

namespace {

constexpr int kShownSide = 48;
constexpr int kMargin = 6;
constexpr int kArrowWidth = 28;
// The outline of a pixel the two tiles do not share.
constexpr Qt::GlobalColor kDifferenceMark = Qt::magenta;

} // namespace

QSize NearPairDelegate::ShownSize(int tileWidth, int tileHeight) {
    const int side = std::max({tileWidth, tileHeight, 1});
    if (side <= kShownSide) {
        const int scale = kShownSide / side;
        return {tileWidth * scale, tileHeight * scale};
    }
    return {std::max(1, tileWidth * kShownSide / side),
            std::max(1, tileHeight * kShownSide / side)};
}

QSize NearPairDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const QSize tile = ShownSize(m_painter.tileWidth(), m_painter.tileHeight());
    const int text = option.fontMetrics.lineSpacing() * 3;
    return {2 * tile.width() + kArrowWidth + 4 * kMargin + 220,
            std::max(tile.height(), text) + 2 * kMargin};
}

void NearPairDelegate::MarkDifferences(QPainter& painter, const PairMerge& m, const QRect& from,
                                       const QRect& into) const {
    const TileList& tiles = m_painter.tileSet().tiles();
    const uint8_t* a = tiles.PixelsAt(m.from);
    const uint8_t* b = tiles.PixelsAt(m.into);
    const int w = m_painter.tileWidth(), h = m_painter.tileHeight();
    const int sx = from.width() / std::max(w, 1), sy = from.height() / std::max(h, 1);
    if (!a || !b || sx < 3 || sy < 3) {
        return;
    }
    painter.setPen(kDifferenceMark);
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < w * h; ++i) {
        if (a[i] != b[i]) {
            for (const QRect& box : {from, into}) {
                painter.drawRect(box.x() + i % w * sx, box.y() + i / w * sy, sx - 1, sy - 1);
            }
        }
    }
}

void NearPairDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int row = index.data(NearPairsModel::kPairRole).toInt();
    const PairMerge m = m_model.merge(row);
    const QSize tile = ShownSize(m_painter.tileWidth(), m_painter.tileHeight());
    const QRect r = opt.rect;
    const int top = r.top() + (r.height() - tile.height()) / 2;
    const QRect from(r.left() + kMargin, top, tile.width(), tile.height());
    const QRect into(from.right() + 1 + kArrowWidth, top, tile.width(), tile.height());

    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor ink = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    for (const auto& [box, number] : {std::pair{from, m.from}, std::pair{into, m.into}}) {
        m_painter.DrawTile(*painter, number, box.x(), box.y(), box.width(), box.height());
        painter->setPen(opt.palette.color(QPalette::Mid));
        painter->drawRect(box.adjusted(-1, -1, 0, 0));
    }
    MarkDifferences(*painter, m, from, into);
    painter->setPen(ink);
    painter->drawText(QRect(from.right() + 1, r.top(), kArrowWidth, r.height()), Qt::AlignCenter,
                      QStringLiteral("→"));
    const QRect text(into.right() + 1 + 2 * kMargin, r.top() + kMargin / 2,
                     r.right() - into.right() - 2 * kMargin, r.height() - kMargin);
    const QString lines = QStringLiteral("타일 %1 → 타일 %2\n셀 %3개 → 셀 %4개\n%5픽셀 다름")
                              .arg(m.from)
                              .arg(m.into)
                              .arg(m_model.used(m.from))
                              .arg(m_model.used(m.into))
                              .arg(m_model.pair(row).differing);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, lines);
    painter->restore();
}

} // namespace kesh::ui
