#include "views/design/StyledLabel.h"

#include <QEvent>

namespace tidra {

StyledLabel::StyledLabel(const QString& text, Theme::TextStyle style, Theme::Role role, int weight, QWidget* parent)
    : QLabel(text, parent), role(role) {
  setFont(Theme::font(style, weight));
  applyColor();
}

void StyledLabel::setRole(Theme::Role value) {
  role = value;
  applyColor();
}

void StyledLabel::setHighlighted(bool value) {
  highlighted = value;
  applyColor();
}

void StyledLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyColor();
}

void StyledLabel::applyColor() {
  const QColor wanted = highlighted ? palette().color(QPalette::HighlightedText) : Theme::color(role, this);
  if (palette().color(QPalette::WindowText) == wanted) return;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, wanted);
  p.setColor(QPalette::Text, wanted);
  setPalette(p);
}

}  // namespace tidra
