#pragma once

#include "views/design/CachedPaintWidget.h"
#include "views/design/Theme.h"

#include <QColor>
#include <QString>

#include <map>
#include <vector>

namespace tidra {

class Spring;

// A ring of coloured segments over a faint track, starting at 12 o'clock and running
// clockwise, with a small gap after each segment. The stroke lies inside the widget: the
// ring's outer edge touches the largest centred square. Changes of the fractions move on a
// spring of response 0.6 s. Decoration: callers supply the text that describes it.
class RingGauge : public CachedPaintWidget {
public:
  struct Part {
    QString id;  // stable identity, so a segment moves rather than reappears
    double fraction = 0;  // share of a whole turn
    std::vector<Theme::Tint> colors;  // spread along the segment's own arc
  };

  // Where a part lies on the ring, in turns from 12 o'clock.
  struct Arc {
    QString id;
    double start = 0;
    double end = 0;
    double visibleEnd = 0;  // end less the gap; equal to start when nothing is drawn
    bool isDrawn() const { return visibleEnd > start; }
  };

  static constexpr double kGap = 0.004;

  // Parts are laid end to end and cut at the full turn; negative fractions count as 0.
  static std::vector<Arc> arcs(const std::vector<Part>& parts);

  explicit RingGauge(qreal lineWidth, QWidget* parent = nullptr);

  void setParts(std::vector<Part> parts);
  const std::vector<Part>& parts() const { return target; }

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  std::vector<Part> shownParts() const;

  qreal lineWidth;
  std::vector<Part> target;
  std::map<QString, double> from;  // fractions the running change started from, by id
  double progress = 1.0;
  Spring* spring;
};

}  // namespace tidra
