#include "views/design/Brand.h"

namespace tidra::Brand {

QColor teal() { return QColor::fromRgbF(0.09f, 0.74f, 0.80f); }
QColor blue() { return QColor::fromRgbF(0.16f, 0.48f, 0.96f); }
QColor violet() { return QColor::fromRgbF(0.50f, 0.38f, 0.96f); }
QColor accent() { return QColor::fromRgbF(0.10f, 0.55f, 0.94f); }

QLinearGradient gradient(const QRectF& rect) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
  gradient.setColorAt(0, teal());
  gradient.setColorAt(1, blue());
  return gradient;
}

}  // namespace tidra::Brand
