#include "views/design/ElidedLabel.h"

#include <QPainter>

namespace tidra {

namespace {

// What a shortened text keeps at the least: a few letters and an ellipsis.
const QString kShortest = QStringLiteral("Mm…");

}  // namespace

ElidedLabel::ElidedLabel(const QString& text, Theme::TextStyle style, Theme::Role role, Qt::TextElideMode mode,
                         int weight, QWidget* parent)
    : StyledLabel(text, style, role, weight, parent), mode(mode) {
  setTextFormat(Qt::PlainText);
  setWordWrap(false);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString ElidedLabel::shownText() const { return fontMetrics().elidedText(text(), mode, contentsRect().width()); }

QSize ElidedLabel::sizeHint() const {
  const QMargins margins = contentsMargins();
  return {fontMetrics().horizontalAdvance(text()) + margins.left() + margins.right() + 1,
          fontMetrics().height() + margins.top() + margins.bottom()};
}

QSize ElidedLabel::minimumSizeHint() const {
  const QSize whole = sizeHint();
  const QMargins margins = contentsMargins();
  return {std::min(whole.width(), fontMetrics().horizontalAdvance(kShortest) + margins.left() + margins.right()),
          whole.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  const QString shown = shownText();
  // The tooltip is this label's own: the whole text, only while it is shortened.
  if (const QString tip = shown == text() ? QString() : text(); toolTip() != tip) setToolTip(tip);
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

}  // namespace tidra
