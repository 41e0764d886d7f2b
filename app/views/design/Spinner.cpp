#include "views/design/Spinner.h"

#include "views/design/Motion.h"
#include "views/design/Theme.h"

#include <QPainter>
#include <QTimer>

namespace tidra {

namespace {
constexpr int kSpokes = 12;
constexpr int kStepMilliseconds = 83;  // one turn a second
}  // namespace

int Spinner::side(Size size) {
  switch (size) {
    case Size::small: return 16;
    case Size::regular: return 32;
    case Size::large: return 48;
  }
  return 32;
}

Spinner::Spinner(Size size, QWidget* parent) : CachedPaintWidget(parent), timer(new QTimer(this)) {
  setFixedSize(side(size), side(size));
  timer->setInterval(kStepMilliseconds);
  connect(timer, &QTimer::timeout, this, [this] {
    phase = (phase + 1) % kSpokes;
    invalidate();
  });
  setAccessibleName(QStringLiteral("In progress"));
}

void Spinner::render(QPainter& painter, const QSizeF& size) {
  const qreal side = std::min(size.width(), size.height());
  const qreal outer = side / 2, inner = side * 0.22, width = std::max(1.5, side * 0.09);
  painter.translate(size.width() / 2, size.height() / 2);
  QColor ink = Theme::color(Theme::Role::label, this);
  for (int i = 0; i < kSpokes; ++i) {
    // The spoke at the phase is darkest; the ones behind it fade out.
    const int age = (phase - i + kSpokes) % kSpokes;
    QColor spoke = ink;
    spoke.setAlphaF(static_cast<float>(0.85 - 0.6 * age / kSpokes));
    painter.setPen(QPen(spoke, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, -inner), QPointF(0, -(outer - width / 2)));
    painter.rotate(360.0 / kSpokes);
  }
}

void Spinner::showEvent(QShowEvent* event) {
  if (Motion::enabled()) timer->start();
  CachedPaintWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent* event) {
  timer->stop();
  CachedPaintWidget::hideEvent(event);
}

}  // namespace tidra
