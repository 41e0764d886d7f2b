#pragma once

#include "views/design/CachedPaintWidget.h"
#include "views/design/Theme.h"

#include <QColor>
#include <QString>

namespace tidra {

// A short text in a capsule tinted with its own colour, orange unless told ("Your call").
class Badge : public CachedPaintWidget {
public:
  explicit Badge(const QString& text, Theme::Tint color = Theme::Role::orange, QWidget* parent = nullptr);

  QString text() const { return words; }
  Theme::Tint tint() const { return color; }
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  QString words;
  Theme::Tint color;
};

}  // namespace tidra
