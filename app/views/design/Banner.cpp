#include "views/design/Banner.h"

#include "views/design/Shapes.h"
#include "views/design/StyledLabel.h"
#include "views/design/Symbols.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tidra {

namespace {

// The icon takes the line of the title, so its glyph sits on the title's first line as a
// baseline-aligned symbol would.
QLabel* iconFor(const QString& symbol, const QColor& tint, const QFont& titleFont, QWidget* parent) {
  const int line = QFontMetrics(titleFont).height();
  auto* icon = new QLabel(parent);
  icon->setPixmap(Symbols::icon(symbol, tint, line + 2).pixmap(line + 2, line + 2));
  icon->setFixedSize(line + 2, line);
  icon->setAlignment(Qt::AlignCenter);
  return icon;
}

}  // namespace

Banner::Banner(const QString& symbol, const QColor& tint, const QString& title, std::optional<QString> detail,
               QWidget* parent)
    : QWidget(parent), tint(tint), actionRow(new QHBoxLayout) {
  auto* titleText = new StyledLabel(title, Theme::TextStyle::body, Theme::Role::label, QFont::Medium, this);
  titleText->setWordWrap(true);
  auto* lines = new QVBoxLayout;
  lines->setSpacing(2);
  lines->addWidget(titleText);
  if (detail) {
    auto* detailText = new StyledLabel(*detail, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this);
    detailText->setWordWrap(true);
    lines->addWidget(detailText);
  }
  actionRow->setSpacing(10);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 12, 12, 12);
  row->setSpacing(10);
  row->addWidget(iconFor(symbol, tint, titleText->font(), this), 0, Qt::AlignTop);
  row->addLayout(lines, 1);
  row->addLayout(actionRow);
  row->setAlignment(actionRow, Qt::AlignTop);
}

void Banner::paintEvent(QPaintEvent*) {
  QColor fill = tint;
  fill.setAlphaF(tint.alphaF() * 0.1f);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(Shapes::roundedRect(rect(), 10), fill);
}

}  // namespace tidra
