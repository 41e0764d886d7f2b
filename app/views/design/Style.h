#pragma once

#include <QProxyStyle>

namespace tidra {

// The application's widget style: Fusion, with the tick boxes and radio buttons of the design
// (filled with the accent when on), thin scroll bars without arrows (ThinScrollBar) and no
// dotted focus frames.
class Style : public QProxyStyle {
public:
  Style();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace tidra
