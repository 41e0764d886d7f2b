#include "views/cleanup/CleanupRow.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/design/Badge.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tidra {

CleanupRow::CleanupRow(AppModel& model, QWidget* parent)
    : QWidget(parent), model(model), item{{}, {}, CleanupCategory::trash, {}, Safety::safe, CleanupAction::Delete{}, false, 0, {}},
      check(new QCheckBox(this)),
      lock(new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 14, this)),
      title(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::label, -1, this)),
      yourCall(new Badge(QStringLiteral("Your call"), Theme::Role::orange, this)),
      toTrash(new Badge(QStringLiteral("To Trash"), Theme::Role::secondaryLabel, this)),
      consequence(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this)),
      admin(new Button(Button::Look::link, {}, this)),
      size(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)) {
  check->setObjectName(QStringLiteral("cleanupRowCheck"));
  lock->setObjectName(QStringLiteral("cleanupRowLock"));
  admin->setObjectName(QStringLiteral("cleanupRowAdmin"));
  size->setObjectName(QStringLiteral("cleanupRowSize"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 3, 0, 3);
  row->setSpacing(10);
  lock->setFixedWidth(16);
  row->addWidget(check, 0, Qt::AlignTop);
  row->addWidget(lock, 0, Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  lines->setSpacing(2);
  auto* heading = new QHBoxLayout;
  heading->setSpacing(6);
  title->setTextFormat(Qt::PlainText);
  for (QWidget* part : std::initializer_list<QWidget*>{title, yourCall, toTrash}) heading->addWidget(part);
  heading->addStretch(1);
  lines->addLayout(heading);
  consequence->setTextFormat(Qt::PlainText);
  consequence->setWordWrap(true);
  lines->addWidget(consequence);
  row->addLayout(lines, 1);
  row->addWidget(admin, 0, Qt::AlignTop);
  size->setMinimumWidth(80);
  size->setAlignment(Qt::AlignRight | Qt::AlignTop);
  row->addWidget(size, 0, Qt::AlignTop);

  connect(check, &QCheckBox::toggled, this, &CleanupRow::onToggled);
  connect(admin, &QPushButton::clicked, this, &CleanupRow::onAdmin);
}

void CleanupRow::show(const CleanupItem& shown) {
  item = shown;
  const bool byPassword = CleanupTexts::cleansWithPassword(item);
  check->setVisible(!item.requiresAdmin);
  lock->setVisible(item.requiresAdmin);
  {
    const QSignalBlocker quiet(check);
    check->setChecked(model.selection().contains(item.id));
  }
  check->setEnabled(model.cleanupPhase() != AppModel::CleanupPhase::cleaning);
  check->setAccessibleName(QString::fromStdString(item.title));
  title->setText(QString::fromStdString(item.title));
  yourCall->setVisible(item.safety == Safety::review);
  toTrash->setVisible(CleanupTexts::isTrash(item));
  consequence->setText(CleanupTexts::consequence(item));
  admin->setVisible(item.requiresAdmin);
  admin->setText(byPassword ? QStringLiteral("Clean with Password…") : QStringLiteral("Copy Command"));
  admin->setEnabled(!byPassword || model.cleanupPhase() == AppModel::CleanupPhase::ready);
  const auto measured = model.sizes().find(item.id);
  size->setText(Formats::bytes(measured == model.sizes().end() ? 0 : measured->second.bytes));
}

void CleanupRow::onToggled(bool on) {
  auto selection = model.selection();
  if (on)
    selection.insert(item.id);
  else
    selection.erase(item.id);
  model.setSelection(std::move(selection));
}

void CleanupRow::onAdmin() {
  if (CleanupTexts::cleansWithPassword(item)) {
    model.cleanWithPassword(item);
    return;
  }
  auto* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(CleanupTexts::adminCommand(item.action.paths()));
}

}  // namespace tidra
