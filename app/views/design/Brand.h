#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QRectF>

namespace tidra::Brand {

// The only brand colours of the interface. `accent` is the tint of everything in the windows;
// teal, blue and violet colour the backdrop glows and the stock rings, bars and chips.
QColor teal();
QColor blue();
QColor violet();
QColor accent();

// Teal to blue, from the top-leading to the bottom-trailing corner of `rect`.
QLinearGradient gradient(const QRectF& rect);

}  // namespace tidra::Brand
