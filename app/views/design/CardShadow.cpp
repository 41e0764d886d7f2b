#include "views/design/CardShadow.h"

#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QPainter>

#include <cmath>
#include <vector>

namespace tidra {

namespace {

// A shadow of blur radius 16 points (standard deviation 8) falling 6 points down.
constexpr qreal kSigma = 8;
constexpr qreal kOffset = 6;

// One box pass over `count` alpha bytes `stride` apart.
void boxPass(uchar* first, int count, int stride, int radius, std::vector<int>& line) {
  line.assign(static_cast<std::size_t>(count), 0);
  for (int i = 0; i < count; ++i) line[static_cast<std::size_t>(i)] = first[i * stride];
  const int width = 2 * radius + 1;
  int sum = 0;
  auto at = [&](int i) { return i < 0 || i >= count ? 0 : line[static_cast<std::size_t>(i)]; };
  for (int i = -radius; i <= radius; ++i) sum += at(i);
  for (int i = 0; i < count; ++i) {
    first[i * stride] = static_cast<uchar>(sum / width);
    sum += at(i + radius + 1) - at(i - radius);
  }
}

}  // namespace

CardShadow::CardShadow(QWidget* card, qreal cornerRadius) : QWidget(card->parentWidget()), card(card), radius(cornerRadius) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  follow();
}

void CardShadow::follow() {
  if (!card) return;
  if (parentWidget() != card->parentWidget()) setParent(card->parentWidget());
  if (!parentWidget()) return hide();
  setGeometry(card->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
  stackUnder(card);
  setVisible(card->isVisible());
}

void CardShadow::blurAlpha(QImage& image, qreal sigma) {
  // Three boxes of width w give a variance of 3·(w² − 1)/12.
  const int boxRadius = std::max(0, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
  std::vector<int> line;
  const int stride = static_cast<int>(image.bytesPerLine());
  uchar* alpha = image.bits() + (QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0);
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < image.height(); ++y) boxPass(alpha + y * stride, image.width(), 4, boxRadius, line);
    for (int x = 0; x < image.width(); ++x) boxPass(alpha + x * 4, image.height(), stride, boxRadius, line);
  }
}

void CardShadow::paintEvent(QPaintEvent*) {
  const bool dark = Theme::schemeOf(this) == Theme::Scheme::dark;
  const qreal ratio = devicePixelRatioF();
  if (cache.size() != size() * ratio || cacheDark != dark) {
    cache = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    cache.fill(Qt::transparent);
    QPainter shape(&cache);
    shape.setRenderHint(QPainter::Antialiasing);
    shape.scale(ratio, ratio);
    const QRectF cardRect(kMargin, kMargin + kOffset, width() - 2 * kMargin, height() - 2 * kMargin);
    shape.fillPath(Shapes::roundedRect(cardRect, radius), QColor::fromRgbF(0, 0, 0, dark ? 0.30f : 0.07f));
    shape.end();
    blurAlpha(cache, kSigma * ratio);
    cache.setDevicePixelRatio(ratio);
    cacheDark = dark;
  }
  QPainter(this).drawImage(QPointF(0, 0), cache);
}

}  // namespace tidra
