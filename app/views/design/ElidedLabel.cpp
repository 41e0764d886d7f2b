#include "views/design/ElidedLabel.h"

#include <QEvent>

namespace tidra {

namespace {

// What a shortened text keeps at the least: an ellipsis and a few letters.
const QString kShortest = QStringLiteral("Mm…");

}  // namespace

ElidedLabel::ElidedLabel(const QString& text, Theme::TextStyle style, Theme::Role role, Qt::TextElideMode mode,
                         int weight, QWidget* parent)
    : StyledLabel({}, style, role, weight, parent), mode(mode) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setText(text);
}

void ElidedLabel::setText(const QString& text) {
  if (text == whole) return;
  whole = text;
  updateGeometry();
  elide();
}

QSize ElidedLabel::sizeHint() const {
  const QMargins margins = contentsMargins();
  return {fontMetrics().horizontalAdvance(whole) + margins.left() + margins.right() + 1,
          fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize ElidedLabel::minimumSizeHint() const {
  const QSize whole = sizeHint();
  const QMargins margins = contentsMargins();
  return {std::min(whole.width(), fontMetrics().horizontalAdvance(kShortest) + margins.left() + margins.right()),
          whole.height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
  StyledLabel::resizeEvent(event);
  elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
  StyledLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    updateGeometry();
    elide();
  }
}

void ElidedLabel::elide() {
  const QString shown = fontMetrics().elidedText(whole, mode, contentsRect().width());
  if (shown != QLabel::text()) QLabel::setText(shown);
  setToolTip(shown == whole ? QString() : whole);
}

}  // namespace tidra
