#include "views/design/Badge.h"

#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QFontMetrics>
#include <QPainter>

namespace tidra {

namespace {
constexpr int kSidePadding = 6;
constexpr int kTopPadding = 1;
}  // namespace

Badge::Badge(const QString& text, Theme::Tint color, QWidget* parent)
    : CachedPaintWidget(parent), words(text), color(color) {
  setFont(Theme::font(Theme::TextStyle::caption, QFont::Medium));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAccessibleName(text);
}

QSize Badge::sizeHint() const {
  const QFontMetrics metrics(font());
  return QSize(metrics.horizontalAdvance(words) + 2 * kSidePadding, metrics.height() + 2 * kTopPadding);
}

void Badge::render(QPainter& painter, const QSizeF& size) {
  const QColor ink = color.resolve(this);
  QColor fill = ink;
  fill.setAlphaF(ink.alphaF() * 0.14f);
  painter.fillPath(Shapes::capsule(QRectF(QPointF(0, 0), size)), fill);
  painter.setFont(font());
  painter.setPen(ink);
  painter.drawText(QRectF(QPointF(0, 0), size), Qt::AlignCenter, words);
}

}  // namespace tidra
