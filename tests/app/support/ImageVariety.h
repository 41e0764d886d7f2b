#pragma once

#include <QImage>

namespace tidra::test {

// Share of pixels (every second one each way) that differ from the top-left one: a blank image
// scores 0.
double variety(const QImage& image);

}  // namespace tidra::test
