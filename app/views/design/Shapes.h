#pragma once

#include <QPainterPath>
#include <QRectF>

namespace tidra::Shapes {

// A rounded rectangle with continuous corners: each corner is one cubic curve that leaves the
// straight edge gradually (1.28 × radius before the corner) instead of a circular arc that
// starts abruptly. Radii larger than the rectangle allows are shrunk to fit; radius 0 gives
// square corners.
QPainterPath roundedRect(const QRectF& rect, qreal radius);

// A rectangle whose short sides are full half circles.
QPainterPath capsule(const QRectF& rect);

}  // namespace tidra::Shapes
