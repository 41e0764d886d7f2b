#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/duplicates/DuplicateSetSection.h"

#include "models/DuplicatesModel.h"
#include "views/design/KeyedRowList.h"
#include "views/duplicates/SetHeader.h"
#include "views/duplicates/DuplicateRow.h"
#include "views/duplicates/DuplicatesTexts.h"

#include <QVBoxLayout>

namespace tidra::duplicates {


DuplicateSetSection::DuplicateSetSection(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("duplicateSet"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 8, 0, 6);
  column->setSpacing(4);

  header = new SetHeader(Theme::TextStyle::body);
  header->setContentsMargins(12, 0, 12, 0);
  column->addWidget(header);

  rows = new KeyedRowList([this](const QString& id) -> QWidget* {
    for (const auto& file : group.files)
      if (RowKeys::of(file.path) == id) return new DuplicateRow(file, this->model, this->revealer);
    return new QWidget;
  });
  column->addWidget(rows);
}

void DuplicateSetSection::display(const DuplicateGroup& shown) {
  group = shown;
  const bool none = group.files.empty();
  header->display(Formats::fileName(none ? std::string() : group.files.front().name()),
                  DuplicatesTexts::copiesBadge(group.files.size()),
                  DuplicatesTexts::eachSize(none ? 0 : group.files.front().bytes));
  QStringList keys;
  for (const auto& file : group.files) keys << RowKeys::of(file.path);
  rows->setKeys(keys);
  refreshRows();
}

void DuplicateSetSection::refreshRows() {
  for (const auto& file : group.files)
    if (auto* shownRow = row(file.path)) shownRow->refresh();
}

DuplicateRow* DuplicateSetSection::row(const std::string& path) const {
  return dynamic_cast<DuplicateRow*>(rows->row(RowKeys::of(path)));
}

}  // namespace tidra::duplicates
