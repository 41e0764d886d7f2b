#include "ImageFigures.h"

#include <QImage>

#include <algorithm>
#include <set>
#include <vector>

namespace tidra::test {

ImageFigures ImageFigures::of(const QImage& image) {
  constexpr int enoughColours = 4096;
  std::vector<double> lumas;
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) {
      const QRgb pixel = image.pixel(x, y);
      lumas.push_back((0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel)) / 255.0);
      if (colours.size() < enoughColours) colours.insert(pixel);
    }
  if (lumas.empty()) return {};
  ImageFigures figures;
  double sum = 0;
  for (const double luma : lumas) sum += luma;
  figures.brightness = sum / static_cast<double>(lumas.size());
  figures.colours = static_cast<int>(colours.size());
  const auto tail = lumas.size() / 100;
  std::nth_element(lumas.begin(), lumas.begin() + tail, lumas.end());
  const double dark = lumas[tail];
  std::nth_element(lumas.begin(), lumas.end() - 1 - tail, lumas.end());
  figures.contrast = lumas[lumas.size() - 1 - tail] - dark;
  return figures;
}

}  // namespace tidra::test
