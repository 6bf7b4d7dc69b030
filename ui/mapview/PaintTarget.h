#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace kesh::ui {

// The format to compose opaque pixels in before copying them onto what
// `dc` draws on: the target's own where that is a premultiplied ARGB32
// image, else RGB32 (the two share the bits of opaque pixels).
QImage::Format OpaqueCopyFormat(QPainter& dc);

// The first byte of the image under the painter, where opaque pixels can be
// composed straight into it: a raster engine on a 32-bit image (opaque
// pixels have the same bits in each of those formats), a painter that only
// moves by whole pixels and clips nothing itself, and `area` (painter
// coordinates) inside the image and inside the engine's system clip, when
// there is one, as one rectangle. Gives the image's line length in `stride`
// and in `offset` where painter pixel (0, 0) lies; null otherwise.
uchar* DirectTarget(QPainter& dc, const QRect& area, qsizetype& stride, QPoint& offset);

} // namespace kesh::ui
