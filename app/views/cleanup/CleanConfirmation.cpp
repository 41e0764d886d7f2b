#include "views/cleanup/CleanConfirmation.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tidra {

namespace {

QWidget* itemRow(const CleanupItem& item, std::int64_t bytes) {
  auto* row = new QWidget;
  auto* lines = new QVBoxLayout(row);
  lines->setContentsMargins(8, 2, 8, 2);
  lines->setSpacing(2);
  auto* first = new QHBoxLayout;
  auto* title = new StyledLabel(Formats::fileName(item.title), Theme::TextStyle::body);
  title->setTextFormat(Qt::PlainText);
  first->addWidget(title);
  first->addStretch(1);
  first->addWidget(new StyledLabel(Formats::bytes(bytes), Theme::TextStyle::body, Theme::Role::secondaryLabel));
  lines->addLayout(first);
  auto* consequence =
      new StyledLabel(QString::fromStdString(item.consequence), Theme::TextStyle::callout, Theme::Role::secondaryLabel);
  consequence->setTextFormat(Qt::PlainText);
  consequence->setWordWrap(true);
  lines->addWidget(consequence);
  return row;
}

QWidget* itemList(const AppModel& model) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("cleanConfirmationList"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::StyledPanel);
  auto* content = new QWidget;
  auto* column = new QVBoxLayout(content);
  column->setSpacing(4);
  for (const auto& item : model.selectedItems()) column->addWidget(itemRow(item, CleanupTexts::totalBytes({item}, model.sizes())));
  column->addStretch(1);
  scroll->setWidget(content);
  return scroll;
}

}  // namespace

CleanConfirmation::CleanConfirmation(const AppModel& model, QWidget* parent)
    : ConfirmationDialog(CleanupTexts::confirmationTitle(CleanupTexts::destinations(model.selectedItems(), model.sizes())),
                         CleanupTexts::confirmationMessage(CleanupTexts::destinations(model.selectedItems(), model.sizes())),
                         QStringLiteral("Clean"), true, parent) {
  setObjectName(QStringLiteral("cleanConfirmation"));
  setFixedSize(560, 480);
  details()->addWidget(itemList(model), 1);
  // Cleaning may be for good: Return must not do it by accident.
  actionButton()->setDefault(false);
  actionButton()->setAutoDefault(false);
  cancelButton()->setAutoDefault(false);
}

}  // namespace tidra
