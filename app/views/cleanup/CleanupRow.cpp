#include "views/cleanup/CleanupRow.h"

#include "models/AppModel.h"
#include "views/Formats.h"
#include "views/SelectionTexts.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/design/Badge.h"
#include "views/design/Button.h"
#include "views/design/CheckRow.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalBlocker>

namespace tidra {

CleanupRow::CleanupRow(AppModel& model, QWidget* parent)
    : CheckRow(parent), model(model), item{{}, {}, CleanupCategory::trash, {}, Safety::safe, CleanupAction::Delete{}, false, 0, {}},
      yourCall(new Badge(QStringLiteral("Your call"), Theme::Role::orange, this)),
      toTrash(new Badge(QStringLiteral("To Trash"), Theme::Role::secondaryLabel, this)),
      consequence(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this)),
      admin(new Button(Button::Look::link, {}, this)),
      size(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel, -1, this)) {
  check->setObjectName(QStringLiteral("cleanupRowCheck"));
  lock->setObjectName(QStringLiteral("cleanupRowLock"));
  admin->setObjectName(QStringLiteral("cleanupRowAdmin"));
  size->setObjectName(QStringLiteral("cleanupRowSize"));
  addBadge(yourCall);
  addBadge(toTrash);
  consequence->setTextFormat(Qt::PlainText);
  addLine(consequence);
  addTrailing(admin);
  size->setMinimumWidth(80);
  size->setAlignment(Qt::AlignRight | Qt::AlignTop);
  addTrailing(size);

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
  check->setAccessibleName(Formats::fileName(item.title));
  title->setText(Formats::fileName(item.title));
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
  model.setSelection(SelectionTexts::with(model.selection(), item.id, on));
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
