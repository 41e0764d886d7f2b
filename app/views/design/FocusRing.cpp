#include "views/design/FocusRing.h"

#include "views/design/Brand.h"
#include "views/design/Shapes.h"

#include <QPainter>
#include <QWidget>

namespace tidra::FocusRing {

bool shows(const QWidget* widget) {
  return widget->hasFocus() && widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void draw(QPainter& painter, const QRectF& rect, qreal radius) {
  QColor ring = Brand::accent();
  ring.setAlphaF(0.6f);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.strokePath(Shapes::roundedRect(rect.adjusted(1, 1, -1, -1), std::max<qreal>(0, radius - 1)), QPen(ring, 2));
  painter.strokePath(Shapes::roundedRect(rect.adjusted(2.5, 2.5, -2.5, -2.5), std::max<qreal>(0, radius - 2.5)),
                     QPen(QColor::fromRgbF(1, 1, 1, 0.9f), 1));
  painter.restore();
}

}  // namespace tidra::FocusRing
