#include "views/performance/StartupList.h"

#include "models/AppModel.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/Sheet.h"
#include "views/design/StyledLabel.h"
#include "views/performance/ListScroll.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/StartupRow.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;

StartupList::StartupList(AppModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("startupList"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  // No "Login Items" settings pane to open on this desktop, so the header is the caption alone.
  auto* caption = new StyledLabel(T::startupCaption(), Theme::TextStyle::callout, Role::secondaryLabel);
  caption->setWordWrap(true);
  caption->setContentsMargins(18, 14, 18, 4);
  column->addWidget(caption);
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("startupSections"));
  sections = new QVBoxLayout(content);
  sections->setContentsMargins(0, 0, 0, 0);
  sections->setSpacing(10);
  column->addWidget(wrapInScroll(content), 1);
  refresh();
  model.loadStartupItems();
}

void StartupList::refresh() {
  if (model.startupItems() == shown && sections->count() > 0) return;
  shown = model.startupItems();
  clearRows(sections);
  for (auto scope : allScopes()) {
    const auto items = T::itemsIn(shown, scope);
    if (items.empty()) continue;
    auto* section = new QWidget;
    section->setObjectName(QStringLiteral("scope-") + T::scopeTitle(scope));
    auto* rows = new QVBoxLayout(section);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* header =
        new StyledLabel(T::scopeTitle(scope), Theme::TextStyle::subheadline, Role::secondaryLabel, QFont::DemiBold);
    header->setContentsMargins(10, 4, 0, 2);
    rows->addWidget(header);
    for (const auto& item : items)
      rows->addWidget(new StartupRow(item, model.environment().home, revealer,
                                     [this](const StartupItem& chosen) { confirmRemoval(chosen); }));
    sections->addWidget(section);
  }
}

void StartupList::confirmRemoval(const StartupItem& item) {
  auto* dialog = new ConfirmationDialog(T::removeTitle(item), T::removeMessage(), QStringLiteral("Remove"), true, this);
  dialog->setObjectName(QStringLiteral("removeDialog"));
  connect(dialog, &QDialog::accepted, this, [this, item] {
    model.removeLeftover(item, [list = QPointer<StartupList>(this)](std::optional<std::string> problem) {
      if (list && problem) list->showProblem(QString::fromStdString(*problem));
    });
  });
  connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
  dialog->open();
}

void StartupList::showProblem(const QString& problem) {
  auto* alert = new Sheet(this);
  alert->setObjectName(QStringLiteral("removeProblem"));
  alert->setWindowTitle(QStringLiteral("Could not remove it"));
  alert->body()->addWidget(new StyledLabel(QStringLiteral("Could not remove it"), Theme::TextStyle::title2,
                                           Role::label, QFont::Bold));
  auto* message = new StyledLabel(problem, Theme::TextStyle::body, Role::secondaryLabel);
  message->setObjectName(QStringLiteral("problemText"));
  message->setWordWrap(true);
  alert->body()->addWidget(message);
  auto* ok = new Button(Button::Look::primary, QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("ok"));
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  alert->body()->addLayout(buttons);
  connect(ok, &QPushButton::clicked, alert, &QDialog::accept);
  connect(alert, &QDialog::finished, alert, &QObject::deleteLater);
  alert->open();
}

}  // namespace tidra::performance
