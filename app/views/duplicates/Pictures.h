#pragma once

#include <QImage>
#include <QPixmap>
#include <QRectF>

class QPainter;

namespace tidra::duplicates {

// The whole image inside `size`, centred, aspect kept, clipped to rounded corners.
QPixmap fitted(const QImage& image, QSize size, qreal radius, qreal pixelRatio);
// Paints the image covering `rect` (cropped, aspect kept) inside rounded corners.
void paintFilled(QPainter& painter, const QImage& image, const QRectF& rect, qreal radius);

}  // namespace tidra::duplicates
