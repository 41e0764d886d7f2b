#include "views/design/Backdrop.h"

#include "views/design/Brand.h"
#include "views/design/Theme.h"

#include <QPainter>
#include <QRadialGradient>

namespace tidra {

namespace {

QColor withOpacity(QColor color, qreal opacity) {
  color.setAlphaF(static_cast<float>(opacity));
  return color;
}

}  // namespace

// Not transparent for the mouse: the screens sit inside it, and a widget that lets the mouse
// through hides every child from it too. Clicks on the bare backdrop go to its parent anyway.
Backdrop::Backdrop(QWidget* parent) : CachedPaintWidget(parent) {}

std::vector<Backdrop::Glow> Backdrop::glows(const QSizeF& size, bool dark) {
  return {
      {withOpacity(Brand::teal(), dark ? 0.20 : 0.14), QPointF(0, 0), 560},
      {withOpacity(Brand::blue(), dark ? 0.18 : 0.11), QPointF(size.width(), 0), 640},
      {withOpacity(Brand::violet(), dark ? 0.12 : 0.07), QPointF(size.width() / 2, size.height()), 720},
  };
}

void Backdrop::render(QPainter& painter, const QSizeF& size) {
  const Theme::Scheme scheme = Theme::schemeOf(this);
  const QRectF all(QPointF(0, 0), size);
  painter.fillRect(all, Theme::color(Theme::Role::windowBackground, scheme));
  for (const Glow& glow : glows(size, scheme == Theme::Scheme::dark)) {
    QRadialGradient gradient(glow.centre, glow.radius);
    gradient.setColorAt(0, glow.color);
    gradient.setColorAt(1, withOpacity(glow.color, 0));
    painter.fillRect(all, gradient);
  }
}

}  // namespace tidra
