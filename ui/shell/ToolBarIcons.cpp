#include "shell/ToolBarIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "shell/CommandIds.h"

namespace kesh::ui {

namespace {

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kShade(128, 128, 128);
const QColor kFolder(224, 192, 64);
const QColor kDisk(48, 64, 160);
const QColor kTileA(64, 160, 64);
const QColor kTileB(192, 96, 48);

// A sheet of paper with a folded top-right corner, its left edge at x.
void Sheet(QPainter& p, int x, int y, int w, int h) {
    const QPoint outline[] = {
        {x, y}, {x + w - 4, y}, {x + w - 1, y + 3}, {x + w - 1, y + h - 1}, {x, y + h - 1}};
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(outline, 5);
    p.drawLine(x + w - 4, y, x + w - 4, y + 3);
    p.drawLine(x + w - 4, y + 3, x + w - 1, y + 3);
}

void DrawNew(QPainter& p) {
    Sheet(p, 3, 1, 10, 13);
}

void DrawOpen(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kFolder.darker(120));
    p.drawRect(1, 3, 12, 10);
    p.drawLine(1, 3, 3, 1);
    p.drawLine(3, 1, 6, 1);
    p.drawLine(6, 1, 7, 3);
    // The open flap in front.
    const QPoint flap[] = {{1, 13}, {4, 7}, {15, 7}, {12, 13}};
    p.setBrush(kFolder);
    p.drawPolygon(flap, 4);
}

void DrawSave(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kDisk);
    p.drawRect(1, 1, 13, 12);
    p.setBrush(kPaper);
    p.drawRect(3, 1, 9, 5);
    p.fillRect(4, 9, 7, 4, kShade);
    p.fillRect(9, 10, 1, 2, kInk);
}

// A small grid of 2 x 2 tiles, the map's own picture of a region.
void Region(QPainter& p, int x, int y) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(x, y, 8, 8);
    p.fillRect(x + 1, y + 1, 3, 3, kTileA);
    p.fillRect(x + 5, y + 5, 3, 3, kTileA);
    p.fillRect(x + 5, y + 1, 3, 3, kTileB);
    p.fillRect(x + 1, y + 5, 3, 3, kTileB);
}

void DrawCopy(QPainter& p) {
    Region(p, 1, 1);
    Region(p, 6, 5);
}

void DrawPaste(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kFolder.darker(140));
    p.drawRect(1, 2, 10, 12);
    p.setBrush(kShade);
    p.drawRect(4, 1, 4, 2);
    Region(p, 6, 5);
}

// A paint bucket tipped to the right, pouring the current tile's colour.
void DrawFill(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    // The pail, tilted: a slanted body with a rim and a handle.
    const QPointF body[] = {{2.5, 6.5}, {7.5, 2.5}, {12.5, 7.5}, {7.5, 12.5}};
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPolygon(body, 4);
    p.setBrush(kShade);
    p.drawEllipse(QPointF(5.0, 4.5), 2.6, 1.4);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.5, 0.5, 8, 8), 30 * 16, 150 * 16);
    // Paint running over the lip and gathering below.
    QPainterPath drip;
    drip.moveTo(12.5, 7.5);
    drip.cubicTo(15.0, 8.5, 15.5, 11.0, 14.5, 13.0);
    drip.lineTo(12.0, 13.0);
    drip.cubicTo(13.0, 11.5, 12.5, 9.5, 11.0, 9.0);
    drip.closeSubpath();
    p.setPen(QPen(kTileA.darker(150), 1));
    p.setBrush(kTileA);
    p.drawPath(drip);
    p.drawEllipse(QPointF(13.0, 13.5), 2.5, 1.0);
}

// A curved arrow turning back to the left (undo) or on to the right (redo).
void Turn(QPainter& p, bool back) {
    p.setRenderHint(QPainter::Antialiasing);
    if (!back) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(4, 6);
    path.cubicTo(10, 1, 16, 6, 13, 11);
    path.lineTo(10, 13);
    p.setPen(QPen(kDisk, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    const QPointF head[] = {{1, 6}, {6, 2}, {6, 10}};
    p.setPen(Qt::NoPen);
    p.setBrush(kDisk);
    p.drawPolygon(head, 3);
}

void DrawUndo(QPainter& p) {
    Turn(p, true);
}

void DrawRedo(QPainter& p) {
    Turn(p, false);
}

// A pencil laying down a row of tiles.
void DrawPaintTool(QPainter& p) {
    p.fillRect(1, 11, 3, 3, kTileA);
    p.fillRect(4, 11, 3, 3, kTileB);
    p.setPen(kInk);
    p.setBrush(kFolder);
    const QPoint pencil[] = {{7, 10}, {14, 3}, {15, 4}, {8, 11}};
    p.drawPolygon(pencil, 4);
    p.drawLine(7, 10, 6, 12);
    p.drawLine(8, 11, 6, 12);
}

// A pencil over a few large pixels.
void DrawPixelTool(QPainter& p) {
    p.fillRect(1, 9, 3, 3, kTileA);
    p.fillRect(4, 12, 3, 3, kTileB);
    p.fillRect(1, 12, 3, 3, kTileB);
    p.setPen(kInk);
    p.setBrush(kDisk);
    const QPoint pencil[] = {{6, 9}, {13, 2}, {15, 4}, {8, 11}};
    p.drawPolygon(pencil, 4);
    p.drawLine(6, 9, 5, 12);
    p.drawLine(8, 11, 5, 12);
}

void DrawAbout(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(255, 255, 192));
    p.drawEllipse(1, 0, 13, 13);
    p.setPen(QPen(kDisk, 2));
    p.drawArc(5, 2, 5, 5, 180 * 16, -270 * 16);
    p.drawLine(8, 8, 8, 9);
    p.fillRect(7, 11, 2, 2, kDisk);
}

} // namespace

QIcon ToolBarIcon(int id) {
    void (*draw)(QPainter&) = nullptr;
    switch (id) {
    case ID_FILE_NEW:
        draw = DrawNew;
        break;
    case ID_MAP_OPEN:
        draw = DrawOpen;
        break;
    case ID_MAP_SAVE:
        draw = DrawSave;
        break;
    case ID_EDIT_COPY:
        draw = DrawCopy;
        break;
    case ID_EDIT_PASTE:
        draw = DrawPaste;
        break;
    case ID_EDIT_FILL:
        draw = DrawFill;
        break;
    case ID_EDIT_UNDO:
        draw = DrawUndo;
        break;
    case ID_EDIT_REDO:
        draw = DrawRedo;
        break;
    case ID_EDIT_PAINTTOOL:
        draw = DrawPaintTool;
        break;
    case ID_EDIT_PIXELTOOL:
        draw = DrawPixelTool;
        break;
    case ID_APP_ABOUT:
        draw = DrawAbout;
        break;
    default:
        return {};
    }
    QImage image(kToolButtonSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        draw(p);
    }
    return QIcon(QPixmap::fromImage(image));
}

} // namespace kesh::ui
