#pragma once

#include "views/design/CachedPaintWidget.h"

class QTimer;

namespace tidra {

// The indeterminate progress wheel: twelve spokes fading round. Turns only while shown and
// while motion is on; otherwise it holds one frame.
class Spinner : public CachedPaintWidget {
public:
  enum class Size { small, regular, large };

  static int side(Size size);

  explicit Spinner(Size size = Size::regular, QWidget* parent = nullptr);

protected:
  void render(QPainter& painter, const QSizeF& size) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  int phase = 0;
  QTimer* timer;
};

}  // namespace tidra
