#include "views/duplicates/PhotoTile.h"

#include "views/design/Brand.h"
#include "views/design/Theme.h"
#include "views/duplicates/Pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace tidra::duplicates {

namespace {
constexpr qreal radius = 8;
constexpr qreal ring = 3;
}  // namespace

PhotoTile::PhotoTile(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("photoTile")); }

void PhotoTile::setPicture(const QImage& image) {
  if (image.cacheKey() == picture.cacheKey()) return;
  picture = image;
  update();
}

void PhotoTile::setSelected(bool selected) {
  if (selected == ringed) return;
  ringed = selected;
  update();
}

void PhotoTile::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = rect();
  if (picture.isNull()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::color(Theme::Role::quaternaryLabel, this));
    painter.drawRoundedRect(area, radius, radius);
  } else {
    paintFilled(painter, picture, area, radius);
  }
  if (!ringed) return;
  // Drawn inside the rounded shape, as the picture's own edge.
  QPen pen(Brand::accent(), ring);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const QRectF inset = area.adjusted(ring / 2, ring / 2, -ring / 2, -ring / 2);
  painter.drawRoundedRect(inset, radius - ring / 2, radius - ring / 2);
}

}  // namespace tidra::duplicates
