#pragma once

#include "views/design/CachedPaintWidget.h"
#include "views/design/Theme.h"

#include <QColor>
#include <QString>

namespace tidra {

// A symbol in white on a square of continuous corners filled with a tint that fades slightly
// downwards. Decoration beside a text that says the same. Sizes in use: 22 in category and
// section headers, 24 in card headers, 26 in idle and startup rows.
class IconChip : public CachedPaintWidget {
public:
  IconChip(const QString& symbol, Theme::Tint tint, int size, QWidget* parent = nullptr);

  void setSymbol(const QString& symbol);
  QString symbol() const { return symbolName; }

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  QString symbolName;
  Theme::Tint tint;
};

}  // namespace tidra
