#pragma once

#include "views/design/CachedPaintWidget.h"

#include <QString>

namespace tidra {

class Spring;

// A large figure, already formatted by the caller, in semibold Inter with digits of equal
// width. When the text changes the changed characters roll: the old one leaves upwards as the
// new one rises from below, on a spring of response 0.5 s. With motion off the new text
// simply replaces the old.
class BigNumber : public CachedPaintWidget {
public:
  BigNumber(const QString& text, int pixelSize, QWidget* parent = nullptr);

  void setText(const QString& text);
  QString text() const { return current; }
  void setAlignment(Qt::Alignment alignment);
  // The figure is set smaller than its size where needed so that it never runs wider than
  // `width` (0: no limit), e.g. to stay inside a ring.
  void setFitWidth(int width);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void render(QPainter& painter, const QSizeF& size) override;

private:
  // Where each character of `text` starts, digits on a fixed pitch; the last entry is the width.
  std::vector<qreal> positions(const QString& text) const;
  // The font of the given size, or smaller so that the current text fits the fit width.
  void fitFont();

  QString current;
  QString previous;
  double progress = 1.0;
  Qt::Alignment alignment = Qt::AlignLeft;
  int pixelSize;
  int fitWidth = 0;
  Spring* roll;
};

}  // namespace tidra
