#include "views/duplicates/SetsFooter.h"

#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>

namespace tidra::duplicates {

SetsFooter::SetsFooter(const QString& selectTitle, const QString& summaryHelp, const QString& selectHelp,
                       QWidget* parent)
    : ActionBar(parent) {
  summary = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  summary->setObjectName(QStringLiteral("footerSummary"));
  summary->setToolTip(summaryHelp);
  select = new Button(Button::Look::secondary, selectTitle, this);
  select->setObjectName(QStringLiteral("selectDefault"));
  select->setToolTip(selectHelp);
  selected = new StyledLabel({}, Theme::TextStyle::body);
  selected->setObjectName(QStringLiteral("footerSelection"));
  move = new Button(Button::Look::primary, QStringLiteral("Move to Trash…"), this);
  move->setObjectName(QStringLiteral("moveToTrash"));
  move->setControlSize(Button::Size::large);
  row()->addWidget(summary);
  row()->addWidget(select);
  row()->addStretch(1);
  row()->addWidget(selected);
  row()->addWidget(move);
}

void SetsFooter::setFigures(const QString& summaryText, const QString& selection, bool canMove) {
  summary->setText(summaryText);
  selected->setText(selection);
  selected->setVisible(!selection.isEmpty());
  move->setEnabled(canMove);
}

}  // namespace tidra::duplicates
