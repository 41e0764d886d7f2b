#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace tidra {

// The soft shadow under a card, drawn by a sibling stacked just below it instead of a graphics
// effect on the card: an effect would re-render and re-blur the card with all its content on
// every repaint inside it. The blurred image is made once per size and appearance.
class CardShadow : public QWidget {
public:
  // How far the shadow reaches beyond the card on every side.
  static constexpr int kMargin = 30;

  CardShadow(QWidget* card, qreal cornerRadius);

  // Takes the card's parent, place, stacking and visibility; the card calls it on each change.
  void follow();

  // Blurs the alpha of a premultiplied black image in place: three box passes each way,
  // together close to a Gaussian of the given standard deviation.
  static void blurAlpha(QImage& image, qreal sigma);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QPointer<QWidget> card;
  qreal radius;
  QImage cache;
  bool cacheDark = false;
};

}  // namespace tidra
