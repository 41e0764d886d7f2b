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

QRect window(const QSize& size, const QRect& over, const QRect& room, const QMargins& decoration) {
  const int extraWidth = decoration.left() + decoration.right();
  const int extraHeight = decoration.top() + decoration.bottom();
  const QSize content(std::min(size.width(), room.width() - extraWidth), std::min(size.height(), room.height() - extraHeight));
  QRect decorated(QPoint(), content + QSize(extraWidth, extraHeight));
  decorated.moveCenter((over.isValid() ? over : room).center());
  decorated.moveRight(std::min(decorated.right(), room.right()));
  decorated.moveBottom(std::min(decorated.bottom(), room.bottom()));
  decorated.moveLeft(std::max(decorated.left(), room.left()));
  decorated.moveTop(std::max(decorated.top(), room.top()));
  return {decorated.topLeft(), content};
}

}  // namespace tidra::PanelPlacement
