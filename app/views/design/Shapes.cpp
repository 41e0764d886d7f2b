#include "views/design/Shapes.h"

#include <algorithm>

namespace tidra::Shapes {

namespace {

// How far before the corner the curve starts, and where its handles sit, per unit radius.
// The handles put the curve's middle where a circular arc's would be, so a continuous corner
// looks as round as a plain one of the same radius.
constexpr qreal kReach = 1.28;
constexpr qreal kHandle = 0.347;

}  // namespace

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
  QPainterPath path;
  if (radius <= 0 || rect.isEmpty()) {
    path.addRect(rect);
    return path;
  }
  const qreal reach = std::min({radius * kReach, rect.width() / 2, rect.height() / 2});
  const qreal handle = reach * kHandle / kReach;
  const qreal l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
  path.moveTo(l + reach, t);
  path.lineTo(r - reach, t);
  path.cubicTo(r - handle, t, r, t + handle, r, t + reach);
  path.lineTo(r, b - reach);
  path.cubicTo(r, b - handle, r - handle, b, r - reach, b);
  path.lineTo(l + reach, b);
  path.cubicTo(l + handle, b, l, b - handle, l, b - reach);
  path.lineTo(l, t + reach);
  path.cubicTo(l, t + handle, l + handle, t, l + reach, t);
  path.closeSubpath();
  return path;
}

QPainterPath capsule(const QRectF& rect) {
  QPainterPath path;
  const qreal radius = std::min(rect.width(), rect.height()) / 2;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

}  // namespace tidra::Shapes
