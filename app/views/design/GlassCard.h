#pragma once

#include <QMargins>
#include <QPointer>
#include <QWidget>

namespace tidra {

class CardShadow;

// The card surface every block of content sits on: a translucent fill in continuous-corner
// shape, a hairline border whose light fades downwards, drawn over the content, and a soft
// shadow below. The fill stands in for a background blur, which widgets cannot do behind a
// window; screenshot mode uses the fixed, nearly opaque fill of the screenshots. Radii in use:
// 20 for a screen's main cards, 16 for the action bar, 14 for small cards.
//
// The card does not clip its content; give it a layout and add the content to it.
class GlassCard : public QWidget {
public:
  explicit GlassCard(qreal cornerRadius, QWidget* parent = nullptr);
  ~GlassCard() override;

  // A screen's main card (radius 20) holding `content` alone, `margins` inside its edge.
  static GlassCard* around(QWidget* content, const QMargins& margins = {});

  qreal cornerRadius() const { return radius; }

  // Opacity of the control background colour in the fill, for the given appearance and mode.
  static qreal fillOpacity(bool dark, bool screenshot);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  void childEvent(QChildEvent* event) override;

private:
  qreal radius;
  QWidget* border = nullptr;
  // A sibling in the card's parent, so it may already be gone with the parent.
  QPointer<CardShadow> shadow;
};

}  // namespace tidra
