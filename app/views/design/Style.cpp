#include "views/design/Style.h"

#include "views/design/Brand.h"
#include "views/design/FocusRing.h"
#include "views/design/Shapes.h"
#include "views/design/Theme.h"
#include "views/design/ThinScrollBar.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>

namespace tidra {

namespace {

constexpr int kIndicator = 14;

bool isOn(const QStyleOption* option) { return option->state & (QStyle::State_On | QStyle::State_NoChange); }

// The ground of an indicator that is off: the control colour with a faint rim.
void drawOffGround(QPainter* painter, const QPainterPath& shape, const QStyleOption* option) {
  const bool dark = Theme::schemeOf(option->palette) == Theme::Scheme::dark;
  painter->fillPath(shape, dark ? QColor::fromRgbF(1, 1, 1, 0.12f) : QColor(Qt::white));
  painter->strokePath(shape, QPen(QColor::fromRgbF(dark ? 1 : 0, dark ? 1 : 0, dark ? 1 : 0, dark ? 0.25f : 0.22f), 1));
}

void drawCheckBox(const QStyleOption* option, QPainter* painter) {
  const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
  const QPainterPath shape = Shapes::roundedRect(box, 3.5);
  if (!isOn(option)) return drawOffGround(painter, shape, option);
  QColor fill = Brand::accent();
  if (!(option->state & QStyle::State_Enabled)) fill.setAlphaF(0.4f);
  painter->fillPath(shape, fill);
  QPen pen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter->setPen(pen);
  const qreal w = box.width(), h = box.height();
  if (option->state & QStyle::State_NoChange) {
    painter->drawLine(QPointF(box.left() + w * 0.28, box.center().y()), QPointF(box.right() - w * 0.28, box.center().y()));
    return;
  }
  QPainterPath tick;
  tick.moveTo(box.left() + w * 0.24, box.top() + h * 0.52);
  tick.lineTo(box.left() + w * 0.42, box.top() + h * 0.70);
  tick.lineTo(box.left() + w * 0.76, box.top() + h * 0.30);
  painter->drawPath(tick);
}

void drawRadio(const QStyleOption* option, QPainter* painter) {
  const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addEllipse(box);
  if (!isOn(option)) return drawOffGround(painter, shape, option);
  painter->fillPath(shape, Brand::accent());
  const qreal dot = box.width() * 0.36;
  painter->setPen(Qt::NoPen);
  painter->setBrush(Qt::white);
  painter->drawEllipse(box.center(), dot / 2, dot / 2);
}

}  // namespace

Style::Style() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void Style::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const {
  switch (element) {
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck:
    case PE_IndicatorRadioButton:
      painter->save();
      painter->setRenderHint(QPainter::Antialiasing);
      element == PE_IndicatorRadioButton ? drawRadio(option, painter) : drawCheckBox(option, painter);
      painter->restore();
      return;
    case PE_FrameFocusRect:
      // Only where the keyboard moved the focus. A list or table rings its current row as a
      // whole itself, so its cells get no ring.
      if (option->state & State_KeyboardFocusChange && !qobject_cast<const QAbstractItemView*>(widget))
        FocusRing::draw(*painter, option->rect, 4);
      return;
    case PE_Frame:
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      // A framed list that takes Tab shows the focus on its frame, as nothing inside can.
      if (qobject_cast<const QAbstractScrollArea*>(widget) && FocusRing::shows(widget))
        FocusRing::draw(*painter, option->rect, 4);
      return;
    default:
      QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

int Style::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return kIndicator;
    case PM_ScrollBarExtent:
      return ThinScrollBar::extent;
    case PM_DefaultFrameWidth:
      // Room inside a framed list's edge for its focus ring.
      if (qobject_cast<const QAbstractScrollArea*>(widget)) return 3;
      return QProxyStyle::pixelMetric(metric, option, widget);
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

void Style::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                               const QWidget* widget) const {
  if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option); bar && control == CC_ScrollBar)
    return ThinScrollBar::draw(*bar, *painter);
  QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect Style::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                            const QWidget* widget) const {
  if (const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option); bar && control == CC_ScrollBar)
    return ThinScrollBar::partRect(*bar, part);
  return QProxyStyle::subControlRect(control, option, part, widget);
}

}  // namespace tidra
