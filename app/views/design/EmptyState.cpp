#include "views/design/EmptyState.h"

#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace tidra {

namespace {
constexpr int kSymbolSize = 44;
constexpr int kMeasure = 440;

// A description runs to a readable measure, not the whole width of a wide window. Centred in its
// column, a wrapped label would get one line's height and lose the rest, so it is given its
// width and the height its lines need at that width.
void fitDescription(QLabel* text) {
  const int width = std::min(kMeasure, text->fontMetrics().horizontalAdvance(text->text()) + 2);
  text->setFixedWidth(width);
  text->setMinimumHeight(text->heightForWidth(width));
}

}  // namespace

EmptyState::EmptyState(const QString& symbol, const QString& title, const QString& description, QWidget* parent)
    : QWidget(parent), actionRow(new QHBoxLayout) {
  auto* icon = new SymbolView(symbol, Theme::Role::secondaryLabel, kSymbolSize, this);
  auto* heading = new StyledLabel(title, Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, this);
  auto* text = new StyledLabel(description, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
  text->setWordWrap(true);
  fitDescription(text);
  heading->setAlignment(Qt::AlignHCenter);
  text->setAlignment(Qt::AlignHCenter);
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
