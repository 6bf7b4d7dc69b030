#include "mapview/PaintTarget.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>
#include <QTransform>

namespace kesh::ui {

QImage::Format OpaqueCopyFormat(QPainter& dc) {
    const QPaintEngine* engine = dc.paintEngine();
    const QPaintDevice* target = engine ? engine->paintDevice() : nullptr;
    if (target && target->devType() == QInternal::Image &&
        static_cast<const QImage*>(target)->format() == QImage::Format_ARGB32_Premultiplied) {
        return QImage::Format_ARGB32_Premultiplied;
    }
    return QImage::Format_RGB32;
}

uchar* DirectTarget(QPainter& dc, const QRect& area, qsizetype& stride, QPoint& offset) {
    QPaintEngine* engine = dc.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || engine->type() != QPaintEngine::Raster ||
        device->devType() != QInternal::Image || dc.hasClipping()) {
        return nullptr;
    }
    const auto* image = static_cast<const QImage*>(device);
    const QImage::Format format = image->format();
    if (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_RGB32 &&
        format != QImage::Format_ARGB32) {
        return nullptr;
    }
    const QTransform t = dc.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != qRound(t.dx()) ||
        t.dy() != qRound(t.dy())) {
        return nullptr;
    }
    offset = QPoint(qRound(t.dx()), qRound(t.dy()));
    const QRect onDevice = area.translated(offset);
    const QRegion system = engine->systemClip();
    if (!image->rect().contains(onDevice) ||
        (!system.isEmpty() &&
         (system.rectCount() != 1 || !system.boundingRect().contains(onDevice)))) {
        return nullptr;
    }
    stride = image->bytesPerLine();
    // The engine draws into these very bytes; writing through the const
    // pointer keeps the image from being detached from them.
    return const_cast<uchar*>(image->constBits());
}

} // namespace kesh::ui
