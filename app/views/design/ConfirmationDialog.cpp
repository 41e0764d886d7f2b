#include "views/design/ConfirmationDialog.h"

#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra {

ConfirmationDialog::ConfirmationDialog(const QString& title, const QString& message, const QString& actionTitle,
                                       bool destructive, QWidget* parent)
    : Sheet(parent), extra(new QVBoxLayout), action(new Button(Button::Look::primary, actionTitle, this)),
      cancel(new Button(Button::Look::secondary, QStringLiteral("Cancel"), this)) {
  setWindowTitle(title);
  auto* heading = new StyledLabel(title, Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, this);
  heading->setWordWrap(true);
  body()->addWidget(heading);
  if (!message.isEmpty()) {
    auto* text = new StyledLabel(message, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this);
    text->setWordWrap(true);
    body()->addWidget(text);
  }
  extra->setSpacing(6);
  body()->addLayout(extra);
  if (destructive) action->setTint(Theme::Role::red);
  action->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(action);
  body()->addSpacing(4);
  body()->addLayout(buttons);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(action, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tidra
