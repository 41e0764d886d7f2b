#include "views/design/GlassCard.h"

#include "views/design/Appearance.h"
#include "views/design/CardShadow.h"
#include "views/design/Shapes.h"
#include "views/design/Theme.h"

#include <QChildEvent>
#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tidra {

GlassCard* GlassCard::around(QWidget* content, const QMargins& margins) {
  auto* card = new GlassCard(20);
  auto* layout = new QVBoxLayout(card);
  layout->setContentsMargins(margins);
  layout->addWidget(content);
  return card;
}

namespace {

// The card's border lies over its content, so it is a child kept on top that lets every
// click through.
class CardBorder : public QWidget {
public:
  CardBorder(qreal radius, QWidget* card) : QWidget(card), radius(radius) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    const bool dark = Theme::schemeOf(this) == Theme::Scheme::dark;
    QLinearGradient light(0, 0, 0, height());
    light.setColorAt(0, QColor::fromRgbF(1, 1, 1, dark ? 0.20f : 0.85f));
    light.setColorAt(1, QColor::fromRgbF(1, 1, 1, dark ? 0.04f : 0.25f));
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QBrush(light), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(Shapes::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5));
  }

private:
  qreal radius;
};

}  // namespace

GlassCard::GlassCard(qreal cornerRadius, QWidget* parent)
    : QWidget(parent), radius(cornerRadius) {
  // Made here, not in the initialiser list: its own arrival as a child must find `border` null.
  border = new CardBorder(cornerRadius, this);
  shadow = new CardShadow(this, cornerRadius);
}

qreal GlassCard::fillOpacity(bool dark, bool screenshot) {
  if (screenshot) return dark ? 0.62 : 0.78;
  return dark ? 0.55 : 0.72;
}

void GlassCard::paintEvent(QPaintEvent*) {
  const Theme::Scheme scheme = Theme::schemeOf(this);
  QColor fill = Theme::color(Theme::Role::controlBackground, scheme);
  fill.setAlphaF(static_cast<float>(fillOpacity(scheme == Theme::Scheme::dark, Appearance::screenshotMode())));
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(Shapes::roundedRect(rect(), radius), fill);
}

void GlassCard::resizeEvent(QResizeEvent* event) {
  border->setGeometry(rect());
  border->raise();
  QWidget::resizeEvent(event);
}

GlassCard::~GlassCard() { delete shadow; }

bool GlassCard::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::ZOrderChange:
      if (shadow) shadow->follow();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

void GlassCard::childEvent(QChildEvent* event) {
  // Content added later would otherwise stack above the border.
  if (event->added() && border && event->child() != border) border->raise();
  QWidget::childEvent(event);
}

}  // namespace tidra
