#include "ImageVariety.h"

namespace tidra::test {

double variety(const QImage& image) {
  const QRgb first = image.pixel(0, 0);
  qint64 different = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) different += image.pixel(x, y) != first;
  return static_cast<double>(different) / ((image.width() / 2) * (image.height() / 2));
}

}  // namespace tidra::test
