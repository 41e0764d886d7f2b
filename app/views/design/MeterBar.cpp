#include "views/design/MeterBar.h"

#include "views/design/Shapes.h"
#include "views/design/Spring.h"
#include "views/design/Theme.h"

#include <QPainter>

#include <cmath>

namespace tidra {

namespace {

constexpr double fillResponse = 0.5;
constexpr qreal kMinimumFill = 4;

}  // namespace

qreal MeterBar::fillWidth(double fraction, qreal width) {
  if (!std::isfinite(fraction)) fraction = 0;
  return std::max(kMinimumFill, fraction < 1 ? fraction * width : width);
}

MeterBar::MeterBar(double fraction, std::vector<Theme::Tint> colors, QWidget* parent)
    : CachedPaintWidget(parent), target(fraction), colors(std::move(colors)), spring(new Spring(fillResponse, [this](double p) {
        progress = p;
        invalidate();
      }, this)) {
  setFixedHeight(kHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MeterBar::setFraction(double fraction) {
  if (fraction == target) return;
  // A change the eye cannot see is taken without an animation or a redraw; measured from what
  // is drawn, so that many such changes still add up to a visible one.
  if (!spring->isRunning() && std::abs(fillWidth(fraction, width()) - fillWidth(drawn, width())) < 0.5) {
    from = target = fraction;
    return;
  }
  from = from + (target - from) * progress;
  target = fraction;
  progress = 0;
  spring->start();
}

void MeterBar::render(QPainter& painter, const QSizeF& size) {
  QColor track = Theme::color(Theme::Role::quaternaryLabel, this);
  track.setAlphaF(track.alphaF() * 0.6f);
  painter.fillPath(Shapes::capsule(QRectF(QPointF(0, 0), size)), track);

  const double shown = from + (target - from) * progress;
  drawn = shown;
  const qreal width = std::min(fillWidth(shown, size.width()), size.width());
  QLinearGradient fill(0, 0, width, 0);
  for (std::size_t k = 0; k < colors.size(); ++k)
    fill.setColorAt(colors.size() == 1 ? 0 : static_cast<double>(k) / (colors.size() - 1), colors[k].resolve(this));
  painter.fillPath(Shapes::capsule(QRectF(0, 0, width, size.height())), fill);
}

}  // namespace tidra
