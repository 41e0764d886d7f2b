#include "demo/DemoPhotoArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <array>

namespace tidra::DemoPhotoArt {
namespace {

struct Palette {
  QColor sky, horizon, land, water;
};

const std::array<Palette, 4>& palettes() {
  static const std::array<Palette, 4> table = {{
    {QColor::fromRgbF(0.20f, 0.42f, 0.78f), QColor::fromRgbF(0.98f, 0.70f, 0.48f),
     QColor::fromRgbF(0.18f, 0.20f, 0.30f), QColor::fromRgbF(0.16f, 0.36f, 0.56f)},
    {QColor::fromRgbF(0.36f, 0.66f, 0.92f), QColor::fromRgbF(0.86f, 0.93f, 0.98f),
     QColor::fromRgbF(0.42f, 0.48f, 0.40f), QColor::fromRgbF(0.10f, 0.62f, 0.68f)},
    {QColor::fromRgbF(0.42f, 0.24f, 0.52f), QColor::fromRgbF(0.96f, 0.48f, 0.40f),
     QColor::fromRgbF(0.22f, 0.12f, 0.24f), QColor::fromRgbF(0.34f, 0.20f, 0.42f)},
    {QColor::fromRgbF(0.58f, 0.74f, 0.86f), QColor::fromRgbF(0.95f, 0.96f, 0.97f),
     QColor::fromRgbF(0.84f, 0.88f, 0.92f), QColor::fromRgbF(0.30f, 0.46f, 0.58f)},
  }};
  return table;
}

constexpr qreal width = 400, height = 300;

// 45 % of the way toward black.
QColor darker(const QColor& color) {
  return QColor::fromRgbF(color.redF() * 0.55f, color.greenF() * 0.55f, color.blueF() * 0.55f);
}

QLinearGradient vertical(qreal fromY, const QColor& from, qreal toY, const QColor& to) {
  QLinearGradient gradient(0, fromY, 0, toY);
  gradient.setColorAt(0, from);
  gradient.setColorAt(1, to);
  return gradient;
}

// Draws in canvas units with the origin at the bottom left and y growing upwards.
void paint(QPainter& painter, const Palette& palette, qreal shift) {
  painter.fillRect(QRectF(0, 0, width, height), vertical(0, palette.horizon, height, palette.sky));

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.82f));
  painter.drawEllipse(QRectF(240 + shift, 178 - shift / 2, 56, 56));

  // The three peaks and the valleys between them move left with the variant; the edges stay.
  const QPolygonF land({{0, 96}, {0, 150}, {70 - shift, 196}, {150 - shift, 138}, {230 - shift, 212},
                        {330 - shift, 132}, {width, 170}, {width, 96}});
  painter.setBrush(palette.land);
  painter.drawPolygon(land);

  // Covers the foot of the land, so the shore is a straight line at y = 98.
  painter.fillRect(QRectF(0, 0, width, 98), vertical(98, palette.water, 0, darker(palette.water)));
}

} // namespace

QImage image(int scene, int variant, QSize size) {
  if (size.isEmpty()) return {};
  const Palette& palette = palettes()[std::size_t((scene % 4 + 4) % 4)];
  QImage out(size, QImage::Format_RGB32);
  QPainter painter(&out);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(QRect(QPoint(0, 0), size));
  painter.scale(size.width() / width, -size.height() / height);
  painter.translate(0, -height);
  paint(painter, palette, qreal(variant) * 7);
  return out;
}

} // namespace tidra::DemoPhotoArt
