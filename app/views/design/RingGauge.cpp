#include "views/design/RingGauge.h"

#include "views/design/Spring.h"
#include "views/design/Theme.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tidra {

namespace {

constexpr double sweepResponse = 0.6;

double sane(double fraction) { return std::isfinite(fraction) ? std::max(0.0, fraction) : 0.0; }

// Colours laid along [start, end] of the ring. A conical gradient runs counter-clockwise from
// its origin angle and jumps from its last colour back to its first there, so the origin is put
// in the middle of the part of the ring the arc leaves free: the round caps then spill into
// the arc's own end colours instead of the opposite ones.
QConicalGradient arcGradient(const QPointF& centre, const RingGauge::Arc& arc, const std::vector<QColor>& colors) {
  const double seam = arc.end + (1.0 - (arc.end - arc.start)) / 2;  // in turns, clockwise from 12
  QConicalGradient gradient(centre, 90 - seam * 360);
  if (colors.empty()) return gradient;
  if (colors.size() == 1) {
    gradient.setColorAt(0, colors.front());
    gradient.setColorAt(1, colors.front());
    return gradient;
  }
  const double last = static_cast<double>(colors.size() - 1);
  for (std::size_t k = 0; k < colors.size(); ++k)
    gradient.setColorAt(std::clamp(seam - (arc.start + (arc.end - arc.start) * (k / last)), 0.0, 1.0), colors[k]);
  return gradient;
}

}  // namespace

std::vector<RingGauge::Arc> RingGauge::arcs(const std::vector<Part>& parts) {
  std::vector<Arc> out;
  double sum = 0;
  for (const Part& part : parts) {
    const double start = std::min(sum, 1.0);
    const double end = std::min(start + sane(part.fraction), 1.0);
    out.push_back({part.id, start, end, start <= end - kGap ? end - kGap : start});
    sum += sane(part.fraction);
  }
  return out;
}

RingGauge::RingGauge(qreal lineWidth, QWidget* parent)
    : CachedPaintWidget(parent), lineWidth(lineWidth), spring(new Spring(sweepResponse, [this](double p) {
        progress = p;
        invalidate();
      }, this)) {}

void RingGauge::setParts(std::vector<Part> parts) {
  auto fractions = [](const std::vector<Part>& list) {
    std::vector<double> out;
    for (const Part& part : list) out.push_back(part.fraction);
    return out;
  };
  const bool moved = fractions(parts) != fractions(target);
  from.clear();
  for (const Part& part : shownParts()) from[part.id] = part.fraction;
  target = std::move(parts);
  if (!moved) return invalidate();
  progress = 0;
  spring->start();
}

std::vector<RingGauge::Part> RingGauge::shownParts() const {
  std::vector<Part> shown = target;
  for (Part& part : shown) {
    const auto start = from.find(part.id);
    const double before = start == from.end() ? 0.0 : start->second;
    part.fraction = before + (sane(part.fraction) - before) * progress;
  }
  return shown;
}

void RingGauge::render(QPainter& painter, const QSizeF& size) {
  const qreal side = std::min(size.width(), size.height()) - lineWidth;
  if (side <= 0) return;
  const QRectF circle((size.width() - side) / 2, (size.height() - side) / 2, side, side);
  QColor track = Theme::color(Theme::Role::quaternaryLabel, this);
  track.setAlphaF(track.alphaF() * 0.7f);
  painter.setPen(QPen(track, lineWidth, Qt::SolidLine, Qt::FlatCap));
  painter.drawEllipse(circle);

  const std::vector<Part> shown = shownParts();
  const std::vector<Arc> laid = arcs(shown);
  for (std::size_t i = 0; i < laid.size(); ++i) {
    const Arc& arc = laid[i];
    if (!arc.isDrawn()) continue;
    QPainterPath path;
    path.arcMoveTo(circle, 90 - arc.start * 360);
    path.arcTo(circle, 90 - arc.start * 360, -(arc.visibleEnd - arc.start) * 360);
    std::vector<QColor> colors;
    for (const Theme::Tint& tint : shown[i].colors) colors.push_back(tint.resolve(this));
    const QBrush brush(arcGradient(circle.center(), arc, colors));
    painter.strokePath(path, QPen(brush, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin));
  }
}

}  // namespace tidra
