#include "views/design/SegmentedBar.h"

#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tidra {

namespace {
constexpr qreal kSpacing = 2;
constexpr qreal kMinimumWidth = 2;
}  // namespace

std::vector<SegmentedBar::Rect> SegmentedBar::layout(const std::vector<Segment>& segments, qreal width) {
  std::vector<Rect> rects;
  qreal x = 0;
  for (int i = 0; i < static_cast<int>(segments.size()); ++i) {
    const double fraction = segments[static_cast<std::size_t>(i)].fraction;
    if (!(fraction > kVisibleAbove)) continue;
    // Each segment gives up the gap that follows it, so segment and gap span width × fraction.
    const qreal w = std::max(kMinimumWidth, width * fraction - kSpacing);
    rects.push_back({i, x, w});
    x += w + kSpacing;
  }
  rects.push_back({-1, x, std::max<qreal>(0, width - x)});
  return rects;
}

SegmentedBar::SegmentedBar(std::vector<Segment> segments, const QString& accessibilityText, QWidget* parent)
    : CachedPaintWidget(parent), segments(std::move(segments)) {
  setFixedHeight(kHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAccessibleName(accessibilityText);
}

void SegmentedBar::setSegments(std::vector<Segment> value, const QString& accessibilityText) {
  setAccessibleName(accessibilityText);
  // What is drawn stays while no edge would move by half a point, so small drifts add up.
  if (width() > 0 && looksAlike(segments, value, width())) return;
  segments = std::move(value);
  invalidate();
}

bool SegmentedBar::looksAlike(const std::vector<Segment>& a, const std::vector<Segment>& b, qreal width) {
  const auto sameLook = [](const Segment& x, const Segment& y) { return x.id == y.id && x.color == y.color; };
  if (!std::equal(a.begin(), a.end(), b.begin(), b.end(), sameLook)) return false;
  const auto near = [](const Rect& x, const Rect& y) {
    return x.segment == y.segment && std::abs(x.x - y.x) < 0.5 && std::abs(x.width - y.width) < 0.5;
  };
  const auto before = layout(a, width), after = layout(b, width);
  return std::equal(before.begin(), before.end(), after.begin(), after.end(), near);
}

void SegmentedBar::render(QPainter& painter, const QSizeF& size) {
  painter.setClipPath(Shapes::capsule(QRectF(QPointF(0, 0), size)));
  const QColor rest = Theme::color(Theme::Role::quaternaryLabel, this);
  for (const Rect& rect : layout(segments, size.width())) {
    const QColor fill = rect.segment < 0 ? rest : segments[static_cast<std::size_t>(rect.segment)].color.resolve(this);
    painter.fillRect(QRectF(rect.x, 0, rect.width, size.height()), fill);
  }
}

}  // namespace tidra
