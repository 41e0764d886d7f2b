#pragma once

#include <QEasingCurve>

#include <chrono>

class QWidget;

namespace tidra::Motion {

// False when TIDRA_REDUCE_MOTION=1 or in screenshot mode: figures then change at once, so
// tests and screenshots never catch a frame in between.
bool enabled();

// Critically damped spring (damping fraction 1, no overshoot) of the given response, the
// period of its undamped oscillation: the share of the way travelled after `elapsed` seconds.
// 0 at the start, approaching 1, never beyond.
double springProgress(double elapsed, double response);

// How long a spring of `response` takes to come within 0.1% of its target.
std::chrono::milliseconds settleTime(double response);

// The spring's course over its settle time as an easing curve that ends exactly at 1.
QEasingCurve springCurve();

// Fades `widget` in over a short moment; shows it at once when motion is off.
void fadeIn(QWidget* widget);
// The same on a spring of `response` seconds (no overshoot), for content that changes with it.
void fadeIn(QWidget* widget, double response);

}  // namespace tidra::Motion
