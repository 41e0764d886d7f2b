#include "views/design/BigNumber.h"

#include "views/design/Spring.h"
#include "views/design/Theme.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tidra {

namespace {

constexpr double rollResponse = 0.5;
// How far a rolling character travels, as a share of the line height.
constexpr qreal kRollDistance = 0.6;
// A fitted figure stays readable: it is never set smaller than this.
constexpr int kSmallestPixelSize = 12;

QFont numberFont(int pixelSize) {
  QFont font = Theme::font(Theme::TextStyle::body, QFont::DemiBold);
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace

BigNumber::BigNumber(const QString& text, int pixelSize, QWidget* parent)
    : CachedPaintWidget(parent), current(text), pixelSize(pixelSize),
      roll(new Spring(rollResponse, [this](double p) {
        progress = p;
        invalidate();
      }, this)) {
  setFont(numberFont(pixelSize));
  setAccessibleName(text);
}

void BigNumber::setText(const QString& text) {
  if (text == current) return;
  previous = current;
  current = text;
  setAccessibleName(text);
  fitFont();
  updateGeometry();
  progress = 0;
  roll->start();
}

void BigNumber::setAlignment(Qt::Alignment value) {
  alignment = value;
  invalidate();
}

void BigNumber::setFitWidth(int width) {
  fitWidth = width;
  fitFont();
  updateGeometry();
  invalidate();
}

void BigNumber::fitFont() {
  int size = pixelSize;
  setFont(numberFont(size));
  while (fitWidth > 0 && size > kSmallestPixelSize && positions(current).back() > fitWidth) setFont(numberFont(--size));
}

std::vector<qreal> BigNumber::positions(const QString& text) const {
  const QFontMetricsF metrics(font());
  qreal digitPitch = 0;
  for (QChar digit = u'0'; digit <= u'9'; digit = QChar(digit.unicode() + 1))
    digitPitch = std::max(digitPitch, metrics.horizontalAdvance(digit));
  std::vector<qreal> starts{0};
  for (const QChar c : text) starts.push_back(starts.back() + (c.isDigit() ? digitPitch : metrics.horizontalAdvance(c)));
  return starts;
}

QSize BigNumber::sizeHint() const {
  const QFontMetricsF metrics(font());
  return QSize(qCeil(positions(current).back()), qCeil(metrics.height()));
}

void BigNumber::render(QPainter& painter, const QSizeF& size) {
  const QFontMetricsF metrics(font());
  const QColor ink = Theme::color(Theme::Role::label, this);
  const qreal travel = metrics.height() * kRollDistance;
  const qreal baseline = (size.height() - metrics.height()) / 2 + metrics.ascent();
  auto origin = [&](qreal width) {
    if (alignment & Qt::AlignRight) return size.width() - width;
    if (alignment & Qt::AlignHCenter) return (size.width() - width) / 2;
    return 0.0;
  };
  // A digit sits in the middle of its fixed-pitch cell.
  auto draw = [&](const QString& text, const std::vector<qreal>& at, int i, qreal dy, qreal opacity) {
    const qreal slack = at[i + 1] - at[i] - metrics.horizontalAdvance(text[i]);
    painter.setOpacity(opacity);
    painter.drawText(QPointF(origin(at.back()) + at[i] + slack / 2, baseline + dy), QString(text[i]));
  };
  painter.setFont(font());
  painter.setPen(ink);
  const auto now = positions(current);
  const auto before = positions(previous);
  for (int i = 0; i < current.size(); ++i) {
    const bool same = progress >= 1.0 || (i < previous.size() && previous[i] == current[i]);
    draw(current, now, i, same ? 0 : (1 - progress) * travel, same ? 1.0 : progress);
  }
  if (progress >= 1.0) return;
  for (int i = 0; i < previous.size(); ++i)
    if (i >= current.size() || previous[i] != current[i]) draw(previous, before, i, -progress * travel, 1 - progress);
}

}  // namespace tidra
