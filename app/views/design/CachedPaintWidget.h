#pragma once

#include <QImage>
#include <QWidget>

namespace tidra {

// Base of the custom-drawn widgets: paints from an image that is redrawn only when the data
// (`invalidate()`), the size, the pixel ratio or the palette changed, so repaints from
// overlapping widgets cost one blit. A redraw reuses the image while the size holds.
class CachedPaintWidget : public QWidget {
public:
  explicit CachedPaintWidget(QWidget* parent = nullptr);

protected:
  // Draws the whole widget onto a transparent image of `size` logical pixels.
  virtual void render(QPainter& painter, const QSizeF& size) = 0;
  void invalidate();

  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  QImage cache;
  bool stale = true;
};

}  // namespace tidra
