#include "platform/PanelPlacement.h"

#include <algorithm>

namespace tidra::PanelPlacement {

QRect frame(const QRect& item, const QPoint& pointer, const QSize& size, const QRect& room) {
  QRect frame(item.isValid() ? item.bottomLeft() + QPoint(0, 1) : pointer,
              QSize(std::min(size.width(), room.width()), std::min(size.height(), room.height())));
  if (frame.bottom() > room.bottom()) {
    if (item.isValid())
      frame.moveBottom(item.top() - 1);
    else
      frame.moveBottom(room.bottom());
  }
  if (frame.right() > room.right()) frame.moveRight(room.right());
  frame.moveLeft(std::max(frame.left(), room.left()));
  frame.moveTop(std::max(frame.top(), room.top()));
  // Above an item low on the screen the panel may still reach past the bottom: pull it up.
  if (frame.bottom() > room.bottom()) frame.moveBottom(room.bottom());
  return frame;
}

}  // namespace tidra::PanelPlacement
