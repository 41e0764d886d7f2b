#pragma once

#include "views/design/CachedPaintWidget.h"
#include "views/design/Theme.h"

#include <QColor>

#include <vector>

namespace tidra {

class Spring;

// A thin capsule bar, 5 points high, filled from the leading edge with a gradient of the
// given colours. Even an empty bar shows a 4-point sliver; a full one or more is exactly full.
// Fill changes move on a spring of response 0.5 s; one of less than half a point is taken
// without a redraw. Callers label it.
class MeterBar : public CachedPaintWidget {
public:
  static constexpr int kHeight = 5;

  // The fill's width in a bar `width` wide.
  static qreal fillWidth(double fraction, qreal width);

  MeterBar(double fraction, std::vector<Theme::Tint> colors, QWidget* parent = nullptr);

  void setFraction(double fraction);
  double fraction() const { return target; }

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  double target;
  double from = 0;
  double progress = 1.0;
  // The fill the image shows.
  double drawn = 0;
  std::vector<Theme::Tint> colors;
  Spring* spring;
};

}  // namespace tidra
