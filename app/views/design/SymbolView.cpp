#include "views/design/SymbolView.h"

#include "views/design/Symbols.h"

#include <QPainter>

namespace tidra {

SymbolView::SymbolView(const QString& symbol, Theme::Tint tint, int pixelSize, QWidget* parent)
    : QWidget(parent), symbol(symbol), tint(tint), pixelSize(pixelSize) {
  setFixedSize(pixelSize, pixelSize);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString& value) {
  symbol = value;
  update();
}

void SymbolView::setTint(Theme::Tint value) {
  tint = value;
  update();
}

void SymbolView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  Symbols::draw(painter, rect(), symbol, tint.resolve(this), pixelSize);
}

}  // namespace tidra
