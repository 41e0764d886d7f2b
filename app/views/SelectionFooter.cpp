#include "views/SelectionFooter.h"

#include "views/design/Button.h"
#include "views/design/Spinner.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>

namespace tidra {

SelectionFooter::SelectionFooter(const QString& actionTitle, QWidget* parent)
    : ActionBar(parent), spinner(new Spinner(Spinner::Size::small, this)),
      status(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)),
      total(new StyledLabel({}, Theme::TextStyle::title3, Theme::Role::label, QFont::DemiBold, this)),
      button(new Button(Button::Look::primary, actionTitle, this)) {
  status->setObjectName(QStringLiteral("footerText"));
  total->setObjectName(QStringLiteral("footerBytes"));
  button->setControlSize(Button::Size::large);
  row()->addWidget(spinner);
  row()->addWidget(status, 1);
  row()->addWidget(total);
  row()->addWidget(button);
}

void SelectionFooter::show(bool working, const QString& text, const std::optional<QString>& sum, bool actionEnabled) {
  spinner->setVisible(working);
  status->setText(text);
  total->setText(sum.value_or(QString()));
  total->setVisible(sum.has_value());
  button->setEnabled(actionEnabled);
}

}  // namespace tidra
