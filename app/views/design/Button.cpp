#include "views/design/Button.h"

#include "views/design/Brand.h"
#include "views/design/FocusRing.h"
#include "views/design/Shapes.h"
#include "views/design/Symbols.h"
#include "views/design/Theme.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

namespace tidra {

namespace {

constexpr int kSymbolGap = 5;

struct Metrics {
  int height;
  int padding;
  qreal radius;
  Theme::TextStyle text;
};

Metrics metricsFor(Button::Size size) {
  switch (size) {
    case Button::Size::small: return {20, 8, 5, Theme::TextStyle::subheadline};
    case Button::Size::regular: return {24, 11, 6, Theme::TextStyle::body};
    case Button::Size::large: return {30, 14, 8, Theme::TextStyle::body};
  }
  return {24, 11, 6, Theme::TextStyle::body};
}

}  // namespace

Button::Button(Look look, const QString& text, QWidget* parent) : QPushButton(text, parent), kind(look) {
  setFont(Theme::font(metricsFor(controlSize).text, look == Look::primary ? QFont::Medium : QFont::Normal));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_Hover);
  if (look == Look::link) setCursor(Qt::PointingHandCursor);
}

void Button::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && FocusRing::shows(this)) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

void Button::setSymbol(const QString& symbol) {
  symbolName = symbol;
  if (text().isEmpty()) setAccessibleName(symbol);
  updateGeometry();
  update();
}

void Button::setControlSize(Size size) {
  controlSize = size;
  setFont(Theme::font(metricsFor(size).text, font().weight()));
  updateGeometry();
  update();
}

void Button::setTint(Theme::Tint value) {
  tint = value;
  update();
}

void Button::setFlexible(bool flexible) {
  setSizePolicy(flexible ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor Button::tintColor() const { return tint ? tint->resolve(this) : Brand::accent(); }

QSize Button::sizeHint() const {
  const Metrics m = metricsFor(controlSize);
  const QFontMetrics metrics(font());
  int width = metrics.horizontalAdvance(text());
  const int symbol = symbolName.isEmpty() ? 0 : metrics.height();
  if (symbol) width += symbol + (text().isEmpty() ? 0 : kSymbolGap);
  if (kind == Look::link) return QSize(width, metrics.height());
  if (text().isEmpty()) return QSize(std::max(m.height, width + m.padding), m.height);
  return QSize(width + 2 * m.padding, m.height);
}

void Button::paintEvent(QPaintEvent*) {
  const Metrics m = metricsFor(controlSize);
  const bool dark = Theme::schemeOf(this) == Theme::Scheme::dark;
  const bool pressed = isDown();
  const bool hovered = isEnabled() && underMouse() && !pressed;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QColor ink = Theme::color(Theme::Role::label, this);

  if (kind == Look::primary) {
    QColor fill = isEnabled() ? tintColor() : Theme::color(Theme::Role::quaternaryLabel, this);
    if (pressed) fill = fill.darker(115);
    if (hovered) fill = fill.lighter(110);
    painter.fillPath(Shapes::roundedRect(face, m.radius), fill);
    ink = isEnabled() ? QColor(Qt::white) : Theme::color(Theme::Role::tertiaryLabel, this);
  } else if (kind == Look::secondary) {
    const float light = pressed ? 0.9f : hovered ? 0.96f : 1.0f;
    QColor fill = dark ? QColor::fromRgbF(1, 1, 1, pressed ? 0.28f : hovered ? 0.23f : 0.18f)
                       : QColor::fromRgbF(light, light, light);
    const QPainterPath shape = Shapes::roundedRect(face, m.radius);
    painter.fillPath(shape, fill);
    if (!dark) painter.strokePath(shape, QPen(QColor::fromRgbF(0, 0, 0, 0.14f), 0.75));
    if (!isEnabled()) ink = Theme::color(Theme::Role::tertiaryLabel, this);
  } else {
    ink = isEnabled() ? tintColor() : Theme::color(Theme::Role::tertiaryLabel, this);
    if (pressed) ink = ink.darker(125);
  }
  if (FocusRing::shows(this)) FocusRing::draw(painter, rect(), kind == Look::link ? 4 : m.radius);

  QFont faceFont = font();
  faceFont.setUnderline(kind == Look::link && hovered);
  const QFontMetricsF metrics(font());
  const qreal symbol = symbolName.isEmpty() ? 0 : metrics.height();
  const qreal textWidth = metrics.horizontalAdvance(text());
  const qreal content = symbol + textWidth + (symbol > 0 && textWidth > 0 ? kSymbolGap : 0);
  qreal x = (width() - content) / 2;
  if (symbol > 0) {
    Symbols::draw(painter, QRectF(x, (height() - symbol) / 2, symbol, symbol), symbolName, ink,
                  symbol * 1.05);
    x += symbol + kSymbolGap;
  }
  painter.setFont(faceFont);
  painter.setPen(ink);
  painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

}  // namespace tidra
