#pragma once

class QImage;

namespace tidra::test {

// What tells a real picture from a blank or washed-out one, over every second pixel each way.
struct ImageFigures {
  // Mean luma, 0 (black) to 1 (white).
  double brightness = 0;
  // Distinct colours, counted up to 4096.
  int colours = 0;
  // Luma of the brightest hundredth of the pixels minus that of the darkest hundredth.
  double contrast = 0;

  static ImageFigures of(const QImage& image);
};

}  // namespace tidra::test
