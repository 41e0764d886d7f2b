#include "views/design/CachedPaintWidget.h"

#include <QEvent>
#include <QPainter>

namespace tidra {

CachedPaintWidget::CachedPaintWidget(QWidget* parent) : QWidget(parent) {}

void CachedPaintWidget::invalidate() {
  stale = true;
  update();
}

void CachedPaintWidget::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = size() * ratio;
  if (pixels.isEmpty()) return;
  if (cache.size() != pixels || cache.devicePixelRatio() != ratio) {
    cache = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    cache.setDevicePixelRatio(ratio);
    stale = true;
  }
  if (stale) {
    stale = false;
    cache.fill(Qt::transparent);
    QPainter painter(&cache);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    render(painter, QSizeF(size()));
  }
  QPainter(this).drawImage(QPointF(0, 0), cache);
}

void CachedPaintWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
      event->type() == QEvent::EnabledChange)
    invalidate();
  QWidget::changeEvent(event);
}

}  // namespace tidra
