#pragma once

#include "views/design/CachedPaintWidget.h"
#include "views/design/Theme.h"

#include <QColor>
#include <QString>

#include <vector>

namespace tidra {

// One 14-point capsule split into coloured proportional segments, 2 points apart, with the
// uncovered rest in a neutral colour at the trailing end. Segments of 0.2% or less are left
// out and their share shows as neutral rest. Read as its accessibility text alone.
class SegmentedBar : public CachedPaintWidget {
public:
  struct Segment {
    QString id;
    double fraction = 0;  // share of the bar's width
    Theme::Tint color = Theme::Role::gray;
  };

  struct Rect {
    int segment = -1;  // index into the segments; -1 for the neutral rest
    qreal x = 0;
    qreal width = 0;
  };

  static constexpr int kHeight = 14;
  static constexpr double kVisibleAbove = 0.002;

  // The drawn rectangles for a bar `width` wide: the visible segments in order, then the rest.
  static std::vector<Rect> layout(const std::vector<Segment>& segments, qreal width);

  SegmentedBar(std::vector<Segment> segments, const QString& accessibilityText, QWidget* parent = nullptr);

  // Redraws only when an edge moves by half a point or more, or a segment comes or goes.
  void setSegments(std::vector<Segment> segments, const QString& accessibilityText);

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  static bool looksAlike(const std::vector<Segment>& a, const std::vector<Segment>& b, qreal width);

  std::vector<Segment> segments;
};

}  // namespace tidra
