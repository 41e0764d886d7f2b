#include "views/design/Motion.h"

#include "views/design/Appearance.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QWidget>

#include <cmath>
#include <numbers>

namespace tidra::Motion {

namespace {

// (1 + x)·e^−x falls to 0.001 at this x: the spring has settled.
constexpr double kSettledPhase = 9.2335;
constexpr int kFadeMilliseconds = 200;

double settledShare(double phase) { return 1.0 - (1.0 + phase) * std::exp(-phase); }

qreal springEasing(qreal progress) {
  return settledShare(progress * kSettledPhase) / settledShare(kSettledPhase);
}

}  // namespace

bool enabled() {
  if (Appearance::screenshotMode()) return false;
  return qEnvironmentVariable("TIDRA_REDUCE_MOTION") != QStringLiteral("1");
}

double springProgress(double elapsed, double response) {
  if (elapsed <= 0 || response <= 0) return elapsed > 0 ? 1.0 : 0.0;
  return settledShare(2 * std::numbers::pi / response * elapsed);
}

std::chrono::milliseconds settleTime(double response) {
  const double seconds = kSettledPhase * response / (2 * std::numbers::pi);
  return std::chrono::milliseconds(std::lround(seconds * 1000));
}

QEasingCurve springCurve() {
  QEasingCurve curve;
  curve.setCustomType(springEasing);
  return curve;
}

namespace {

void fade(QWidget* widget, int milliseconds, const QEasingCurve& curve) {
  widget->show();
  if (!enabled()) return;
  auto* effect = new QGraphicsOpacityEffect(widget);
  widget->setGraphicsEffect(effect);
  auto* animation = new QPropertyAnimation(effect, "opacity", widget);
  animation->setDuration(milliseconds);
  animation->setEasingCurve(curve);
  animation->setStartValue(0.0);
  animation->setEndValue(1.0);
  // The effect goes once faded in: it would otherwise cost a repaint of the whole widget.
  QObject::connect(animation, &QPropertyAnimation::finished, widget, [widget] { widget->setGraphicsEffect(nullptr); });
  animation->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace

void fadeIn(QWidget* widget) { fade(widget, kFadeMilliseconds, QEasingCurve::Linear); }

void fadeIn(QWidget* widget, double response) {
  fade(widget, static_cast<int>(settleTime(response).count()), springCurve());
}

}  // namespace tidra::Motion
