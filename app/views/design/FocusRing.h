#pragma once

#include <QRectF>

class QPainter;
class QWidget;

namespace tidra::FocusRing {

// Whether `widget` holds focus in a window where the keyboard has moved focus: until Tab is
// pressed, clicks leave no ring.
bool shows(const QWidget* widget);

// Two pixels of the accent just inside `rect`, rounded by `radius`, with a white hairline
// inside it, so the ring shows on plain surfaces and on accent fills alike.
void draw(QPainter& painter, const QRectF& rect, qreal radius);

}  // namespace tidra::FocusRing
