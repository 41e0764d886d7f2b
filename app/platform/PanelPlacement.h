#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tidra::PanelPlacement {

// Where the tray's panel of `size` goes: under the tray item when `item` is valid, or above it
// when there is no room below (a tray at the bottom of the screen); at `pointer` when the
// desktop does not say where the item is. The frame always lies inside `room`, the screen's
// available geometry: a panel taller or wider than the room is given the room's height or width,
// and its content scrolls.
QRect frame(const QRect& item, const QPoint& pointer, const QSize& size, const QRect& room);

}  // namespace tidra::PanelPlacement
