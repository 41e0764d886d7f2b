#include "views/design/Spring.h"

#include "views/design/Motion.h"

#include <QVariantAnimation>

namespace tidra {

Spring::Spring(double response, std::function<void(double)> onStep, QObject* parent)
    : QObject(parent), onStep(std::move(onStep)), animation(new QVariantAnimation(this)) {
  animation->setStartValue(0.0);
  animation->setEndValue(1.0);
  animation->setDuration(static_cast<int>(Motion::settleTime(response).count()));
  animation->setEasingCurve(Motion::springCurve());
  connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    if (animation->state() == QAbstractAnimation::Running) this->onStep(value.toDouble());
  });
  connect(animation, &QVariantAnimation::finished, this, [this] { this->onStep(1.0); });
}

void Spring::start() {
  animation->stop();
  if (!Motion::enabled()) return onStep(1.0);
  animation->start();
}

bool Spring::isRunning() const { return animation->state() == QAbstractAnimation::Running; }

}  // namespace tidra
