#include "views/duplicates/SetHeader.h"

#include "views/design/Badge.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>

namespace tidra::duplicates {

namespace {
constexpr int spacing = 8;
}

SetHeader::SetHeader(Theme::TextStyle figureStyle, QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(spacing);
  title = new StyledLabel({}, Theme::TextStyle::headline);
  title->setObjectName(QStringLiteral("setTitle"));
  title->setMinimumWidth(40);
  row->addWidget(title);
  badgeSlot = new QWidget;
  badgeSlot->setLayout(new QHBoxLayout);
  badgeSlot->layout()->setContentsMargins(0, 0, 0, 0);
  row->addWidget(badgeSlot);
  row->addStretch(1);
  figure = new StyledLabel({}, figureStyle, Theme::Role::secondaryLabel);
  figure->setObjectName(QStringLiteral("setFigure"));
  row->addWidget(figure);
}

void SetHeader::display(const QString& titleText, const QString& badgeText, const QString& figureText) {
  fullTitle = titleText;
  title->setToolTip(titleText);
  // A badge paints its text once, so a new count gets a new badge.
  if (!badge || badge->text() != badgeText) {
    delete badge;
    badge = new Badge(badgeText, Theme::Role::secondaryLabel);
    badge->setObjectName(QStringLiteral("setCount"));
    badgeSlot->layout()->addWidget(badge);
  }
  figure->setText(figureText);
  elideTitle();
}

void SetHeader::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  elideTitle();
}

void SetHeader::elideTitle() {
  // The title gets what the badge and the figure leave of the row, and a little air.
  const int room = width() - badgeSlot->sizeHint().width() - figure->sizeHint().width() - 3 * spacing - 16;
  title->setText(title->fontMetrics().elidedText(fullTitle, Qt::ElideMiddle, std::max(40, room)));
}

}  // namespace tidra::duplicates
