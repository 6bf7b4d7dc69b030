#include "mapview/CellAttrMarks.h"

#include <algorithm>

#include <QPainter>

#include "edit/CellAttrText.h"
#include "map/MapModel.h"

namespace kesh::ui {

QColor CellAttrMarks::Colour(int mark) {
    static const QRgb kColours[kMarks] = {qRgb(230, 40, 40), qRgb(40, 120, 255), qRgb(40, 200, 60),
                                          qRgb(250, 210, 30), qRgb(220, 60, 220)};
    return QColor(kColours[std::clamp(mark, 0, kMarks - 1)]);
}

int CellAttrMarks::Side(int w, int h) {
    return std::clamp(std::min(w, h) / 5, 1, 8);
}

void CellAttrMarks::Draw(QPainter& dc, const MapModel& map, const CellRange& cells, int w, int h) {
    if (!map.hasAttrs()) {
        return;
    }
    uint16_t shown = 0;
    for (int mark = 0; mark < kMarks; ++mark) {
        shown |= Bit(mark);
    }
    const int side = Side(w, h);
    for (int32_t row = cells.firstRow; row < cells.endRow; ++row) {
        const uint16_t* attrs = map.attrs().data() + size_t(row) * size_t(map.width());
        for (int32_t col = cells.firstCol; col < cells.endCol; ++col) {
            const uint16_t attr = attrs[col];
            if ((attr & shown) == 0) {
                continue;
            }
            // A dark border keeps a mark visible on any tile.
            int x = col * w + 1;
            for (int mark = 0; mark < kMarks && x + side <= col * w + w; ++mark) {
                if (attr & Bit(mark)) {
                    dc.fillRect(x, row * h + 1, side, side, Colour(mark));
                    x += side + 1;
                }
            }
        }
    }
}

QString CellAttrMarks::Legend(const CellLayout& layout) {
    QString text;
    const auto item = [&](int mark, const QString& name) {
        text += QStringLiteral("<span style=\"color:%1\">■</span> %2&nbsp;&nbsp;")
                    .arg(Colour(mark).name(), name.toHtmlEscaped());
    };
    if (layout.Has(CellFieldKind::Priority)) {
        item(0, QStringLiteral("우선순위"));
    }
    const size_t users = std::min<size_t>(layout.UserNames().size(), cellbit::kUserBits);
    for (size_t i = 0; i < users; ++i) {
        item(1 + int(i), QString::fromStdString(UserFieldTitle(layout, int(i))));
    }
    return text;
}

} // namespace kesh::ui
