#include "views/design/EmptyState.h"

#include "views/design/StyledLabel.h"
#include "views/design/Symbols.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

namespace {
constexpr int kSymbolSize = 44;
}

EmptyState::EmptyState(const QString& symbol, const QString& title, const QString& description, QWidget* parent)
    : QWidget(parent), actionRow(new QHBoxLayout) {
  auto* icon = new StyledLabel(Symbols::glyph(symbol), Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  icon->setFont(Symbols::font(kSymbolSize));
  auto* heading = new StyledLabel(title, Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, this);
  auto* text = new StyledLabel(description, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  text->setWordWrap(true);
  for (QLabel* label : {static_cast<QLabel*>(icon), static_cast<QLabel*>(heading), static_cast<QLabel*>(text)})
    label->setAlignment(Qt::AlignHCenter);
  text->setMaximumWidth(420);
  actionRow->setSpacing(8);
  auto* column = new QVBoxLayout(this);
  column->setSpacing(6);
  column->addStretch(1);
  column->addWidget(icon, 0, Qt::AlignHCenter);
  column->addSpacing(4);
  column->addWidget(heading, 0, Qt::AlignHCenter);
  column->addWidget(text, 0, Qt::AlignHCenter);
  column->addSpacing(6);
  column->addLayout(actionRow);
  column->setAlignment(actionRow, Qt::AlignHCenter);
  column->addStretch(1);
}

}  // namespace tidra
