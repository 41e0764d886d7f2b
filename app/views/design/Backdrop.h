#pragma once

#include "views/design/CachedPaintWidget.h"

#include <QColor>
#include <QPointF>
#include <vector>

namespace tidra {

// The window background behind the screens and the diagnosis sheet: the window colour under
// three soft glows, teal from the top-leading corner, blue from the top-trailing corner and
// violet from the middle of the bottom edge. Pure decoration.
class Backdrop : public CachedPaintWidget {
public:
  explicit Backdrop(QWidget* parent = nullptr);

  struct Glow {
    QColor color;  // with the glow's opacity at its centre
    QPointF centre;
    qreal radius;  // fully transparent from here on
  };
  // The three glows for a backdrop of `size`, bottom to top.
  static std::vector<Glow> glows(const QSizeF& size, bool dark);

protected:
  void render(QPainter& painter, const QSizeF& size) override;
};

}  // namespace tidra
