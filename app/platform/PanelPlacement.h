#pragma once

#include <QMargins>
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

// Where a window whose content is `size` opens: centred over `over` (the main window's content;
// the room's centre when invalid), and, with the desktop's `decoration` around it, inside
// `room`. The result is the decorated frame's top-left (what QWidget::move places) and the
// content's size, shrunk to what the room holds.
QRect window(const QSize& size, const QRect& over, const QRect& room, const QMargins& decoration);

}  // namespace tidra::PanelPlacement
