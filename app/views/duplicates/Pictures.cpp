#include "views/duplicates/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace tidra::duplicates {

namespace {

QPainterPath rounded(const QRectF& rect, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

}  // namespace

QPixmap fitted(const QImage& image, QSize size, qreal radius, qreal pixelRatio) {
  QPixmap pixmap(size * pixelRatio);
  pixmap.setDevicePixelRatio(pixelRatio);
  pixmap.fill(Qt::transparent);
  if (image.isNull()) return pixmap;
  const QSizeF scaled = QSizeF(image.size()).scaled(QSizeF(size), Qt::KeepAspectRatio);
  const QRectF target((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2, scaled.width(),
                      scaled.height());
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipPath(rounded(QRectF(QPointF(0, 0), QSizeF(size)), radius));
  painter.drawImage(target, image);
  return pixmap;
}

void paintFilled(QPainter& painter, const QImage& image, const QRectF& rect, qreal radius) {
  const QSizeF cover = QSizeF(image.size()).scaled(rect.size(), Qt::KeepAspectRatioByExpanding);
  const QRectF target(rect.center().x() - cover.width() / 2, rect.center().y() - cover.height() / 2, cover.width(),
                      cover.height());
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipPath(rounded(rect, radius), Qt::IntersectClip);
  painter.drawImage(target, image);
  painter.restore();
}

}  // namespace tidra::duplicates
