#pragma once

#include <QRect>
#include <QStyle>

class QPainter;
class QStyleOptionSlider;

// How the application draws scroll bars: a thin rounded handle without arrow buttons or a track,
// kept clear of the rounded corners of the card it scrolls in. The style asks these functions
// for the parts' places and for the drawing.
namespace tidra::ThinScrollBar {

// The bar's thickness.
inline constexpr int extent = 10;
// How far the handle's run stays from each end of the bar: clear of a card's rounded corner.
inline constexpr int endInset = 12;

// Where `part` of the bar lies; the arrow buttons have no place. The handle's length shows the
// visible share of the content, never shorter than a fingertip.
QRect partRect(const QStyleOptionSlider& bar, QStyle::SubControl part);
// The handle, a rounded line in the label colour; stronger while hovered or dragged.
void draw(const QStyleOptionSlider& bar, QPainter& painter);

}  // namespace tidra::ThinScrollBar
