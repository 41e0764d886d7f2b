#include "views/applications/UninstallConfirmation.h"

#include "models/ApplicationsModel.h"
#include "views/applications/AppIcon.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/applications/PartRow.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tidra::applications {

namespace {

QWidget* sectionHeader(const InstalledApp& app, const ApplicationsModel& model) {
  auto* header = new QWidget;
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(8, 8, 8, 2);
  row->setSpacing(7);
  if (auto* icon = appIcon(model, app.path, 18)) row->addWidget(icon);
  row->addWidget(new StyledLabel(QString::fromStdString(app.name), Theme::TextStyle::headline));
  row->addStretch(1);
  return header;
}

}  // namespace

UninstallConfirmation::UninstallConfirmation(ApplicationsModel& model, QWidget* parent)
    : Sheet(parent), model(model),
      title(new StyledLabel({}, Theme::TextStyle::title2, Theme::Role::label, QFont::Bold, this)),
      message(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)),
      passwordNote(new QWidget(this)),
      passwordText(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel)),
      sections(new QVBoxLayout) {
  setObjectName(QStringLiteral("uninstallConfirmation"));
  setFixedSize(600, 520);
  body()->setSpacing(12);
  title->setObjectName(QStringLiteral("uninstallTitle"));
  message->setObjectName(QStringLiteral("uninstallMessage"));
  message->setWordWrap(true);
  body()->addWidget(title);
  body()->addWidget(message);

  passwordNote->setObjectName(QStringLiteral("passwordNote"));
  passwordText->setObjectName(QStringLiteral("passwordText"));
  passwordText->setWordWrap(true);
  auto* note = new QHBoxLayout(passwordNote);
  note->setContentsMargins(0, 0, 0, 0);
  note->addWidget(new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 14), 0, Qt::AlignTop);
  note->addWidget(passwordText, 1);
  body()->addWidget(passwordNote);

  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("uninstallParts"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::StyledPanel);
  auto* list = new QWidget;
  auto* column = new QVBoxLayout(list);
  column->setContentsMargins(0, 0, 0, 4);
  column->setSpacing(0);
  column->addLayout(sections);
  column->addStretch(1);
  scroll->setWidget(list);
  body()->addWidget(scroll, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(new StyledLabel(QStringLiteral("You can put everything back until you empty the Trash."),
                                    Theme::TextStyle::callout, Theme::Role::secondaryLabel));
  bottom->addStretch(1);
  auto* cancel = new Button(Button::Look::secondary, QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("cancelUninstall"));
  auto* uninstall = new Button(Button::Look::primary, QStringLiteral("Uninstall"), this);
  uninstall->setObjectName(QStringLiteral("confirmUninstall"));
  uninstall->setTint(Theme::Role::red);
  // Removing apps must never follow a stray Return.
  for (auto* button : {cancel, uninstall}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  bottom->addWidget(cancel);
  bottom->addWidget(uninstall);
  body()->addLayout(bottom);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(uninstall, &QPushButton::clicked, this, &QDialog::accept);

  connect(&model, &ApplicationsModel::keptPartsChanged, this, [this] {
    refreshTicks();
    refreshTexts();
  });
  for (auto signal : {&ApplicationsModel::partsChanged, &ApplicationsModel::iconsChanged,
                      &ApplicationsModel::selectionChanged, &ApplicationsModel::orderChanged})
    connect(&model, signal, this, [this] {
      rebuildList();
      refreshTexts();
    });
  rebuildList();
  refreshTexts();
}

void UninstallConfirmation::refreshTexts() {
  const auto selected = model.selectedApps();
  title->setText(ApplicationsTexts::confirmationTitle(selected));
  setWindowTitle(title->text());
  message->setText(ApplicationsTexts::confirmationMessage(static_cast<int>(selected.size()), model.selectedBytes()));
  QStringList locked, system;
  for (const auto& app : selected)
    if (app.needsPassword) (app.kind == AppKind::bundle ? locked : system) << QString::fromStdString(app.name);
  QStringList notes;
  for (const auto& note : {ApplicationsTexts::passwordNote(locked), ApplicationsTexts::systemNote(system),
                           ApplicationsTexts::remainsNote(selected, model.home())})
    if (note) notes << *note;
  passwordText->setText(notes.join(QLatin1Char('\n')));
  passwordNote->setVisible(!notes.isEmpty());
}

void UninstallConfirmation::refreshTicks() {
  for (auto* row : rows) row->refresh();
}

void UninstallConfirmation::rebuildList() {
  rows.clear();
  while (auto* item = sections->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  for (const auto& app : model.selectedApps()) {
    sections->addWidget(sectionHeader(app, model));
    const auto found = model.parts().find(app.path);
    if (found == model.parts().end()) continue;
    for (std::size_t index = 0; index < found->second.size(); ++index) {
      rows.push_back(new PartRow(model, found->second[index], index == 0));
      sections->addWidget(rows.back());
    }
  }
}

}  // namespace tidra::applications
