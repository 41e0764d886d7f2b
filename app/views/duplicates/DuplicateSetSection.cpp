#include "views/duplicates/DuplicateSetSection.h"

#include "models/DuplicatesModel.h"
#include "views/design/Badge.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/duplicates/DuplicateRow.h"
#include "views/duplicates/DuplicatesTexts.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra::duplicates {

QString keyOf(const std::string& path) { return QString::fromLatin1(path.data(), static_cast<qsizetype>(path.size())); }

DuplicateSetSection::DuplicateSetSection(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("duplicateSet"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 8, 0, 6);
  column->setSpacing(4);

  auto* header = new QHBoxLayout;
  header->setContentsMargins(12, 0, 12, 0);
  header->setSpacing(8);
  title = new StyledLabel({}, Theme::TextStyle::headline);
  title->setObjectName(QStringLiteral("setTitle"));
  title->setMinimumWidth(40);
  header->addWidget(title);
  badgeSlot = new QWidget;
  badgeSlot->setLayout(new QHBoxLayout);
  badgeSlot->layout()->setContentsMargins(0, 0, 0, 0);
  header->addWidget(badgeSlot);
  header->addStretch(1);
  each = new StyledLabel({}, Theme::TextStyle::body, Theme::Role::secondaryLabel);
  each->setObjectName(QStringLiteral("setEach"));
  header->addWidget(each);
  column->addLayout(header);

  rows = new KeyedRowList([this](const QString& id) -> QWidget* {
    for (const auto& file : group.files)
      if (keyOf(file.path) == id) return new DuplicateRow(file, this->model, this->revealer);
    return new QWidget;
  });
  column->addWidget(rows);
}

void DuplicateSetSection::display(const DuplicateGroup& shown) {
  group = shown;
  const std::string first = group.files.empty() ? std::string() : group.files.front().name();
  const QString name = QString::fromStdString(first);
  title->setToolTip(name);
  const QString copies = DuplicatesTexts::copiesBadge(group.files.size());
  if (!badge || badge->text() != copies) {
    delete badge;
    badge = new Badge(copies, Theme::Role::secondaryLabel);
    badge->setObjectName(QStringLiteral("setCopies"));
    badgeSlot->layout()->addWidget(badge);
  }
  each->setText(DuplicatesTexts::eachSize(group.files.empty() ? 0 : group.files.front().bytes));
  elideTitle();
  QStringList keys;
  for (const auto& file : group.files) keys << keyOf(file.path);
  rows->setKeys(keys);
  refreshRows();
}

void DuplicateSetSection::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  elideTitle();
}

void DuplicateSetSection::elideTitle() {
  // The name gets what the badge and the size leave of the row.
  const int room = width() - 24 - badgeSlot->sizeHint().width() - each->sizeHint().width() - 3 * 8 - 16;
  title->setText(title->fontMetrics().elidedText(title->toolTip(), Qt::ElideMiddle, std::max(40, room)));
}

void DuplicateSetSection::refreshRows() {
  for (const auto& file : group.files)
    if (auto* shownRow = row(file.path)) shownRow->refresh();
}

DuplicateRow* DuplicateSetSection::row(const std::string& path) const {
  return dynamic_cast<DuplicateRow*>(rows->row(keyOf(path)));
}

}  // namespace tidra::duplicates
