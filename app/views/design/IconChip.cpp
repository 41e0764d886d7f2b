#include "views/design/IconChip.h"

#include "views/design/Shapes.h"
#include "views/design/Symbols.h"

#include <QPainter>

namespace tidra {

IconChip::IconChip(const QString& symbol, Theme::Tint tint, int size, QWidget* parent)
    : CachedPaintWidget(parent), symbolName(symbol), tint(tint) {
  setFixedSize(size, size);
}

void IconChip::setSymbol(const QString& symbol) {
  if (symbol == symbolName) return;
  symbolName = symbol;
  invalidate();
}

void IconChip::render(QPainter& painter, const QSizeF& size) {
  const qreal side = std::min(size.width(), size.height());
  const QRectF square(0, 0, side, side);
  QColor top = tint.resolve(this), bottom = top;
  top.setAlphaF(0.95f);
  bottom.setAlphaF(0.72f);
  QLinearGradient fill(0, 0, 0, side);
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  painter.fillPath(Shapes::roundedRect(square, side * 0.28), fill);
  // Material glyphs fill their em square where the original symbols sit inside the text
  // line, so the glyph is drawn a little larger than half the chip to look the same size.
  Symbols::draw(painter, square, symbolName, Qt::white, side * 0.62);
}

}  // namespace tidra
