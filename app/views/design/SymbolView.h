#pragma once

#include "views/design/Theme.h"

#include <QWidget>

namespace tidra {

// A symbol on its own, in a tint that follows the appearance: the icon of a banner, a label
// or an empty state.
class SymbolView : public QWidget {
public:
  SymbolView(const QString& symbol, Theme::Tint tint, int pixelSize, QWidget* parent = nullptr);

  void setSymbol(const QString& symbol);
  void setTint(Theme::Tint tint);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString symbol;
  Theme::Tint tint;
  int pixelSize;
};

}  // namespace tidra
