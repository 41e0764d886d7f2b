#include "views/design/Banner.h"

#include "views/design/Shapes.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tidra {

namespace {

// The icon is as high as the title's line, so its glyph sits on the title's first line as a
// baseline-aligned symbol would.
QWidget* iconFor(const QString& symbol, Theme::Tint tint, const QFont& titleFont, QWidget* parent) {
  return new SymbolView(symbol, tint, QFontMetrics(titleFont).height() + 1, parent);
}

}  // namespace

Banner::Banner(const QString& symbol, Theme::Tint tint, const QString& title, std::optional<QString> detail,
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
  lines->addStretch(1);
  actionRow->setSpacing(10);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 12, 12, 12);
  row->setSpacing(10);
  row->addWidget(iconFor(symbol, tint, titleText->font(), this), 0, Qt::AlignTop);
  row->addLayout(lines, 1);
  row->addLayout(actionRow);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  row->setAlignment(actionRow, Qt::AlignTop);
}

void Banner::paintEvent(QPaintEvent*) {
  QColor fill = tint.resolve(this);
  fill.setAlphaF(fill.alphaF() * 0.1f);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(Shapes::roundedRect(rect(), 10), fill);
}

}  // namespace tidra
