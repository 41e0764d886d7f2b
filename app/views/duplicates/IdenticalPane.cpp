#include "views/duplicates/IdenticalPane.h"

#include "models/DuplicatesModel.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/duplicates/DuplicateSetSection.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/LazyColumn.h"


namespace tidra::duplicates {

IdenticalPane::IdenticalPane(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent)
    : SetsPane(model.home(), [&model] { model.setFailures({}); }, parent), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("identicalPane"));
  empty = new EmptyState(QStringLiteral("doc.on.doc"), QStringLiteral("No duplicates"),
                         QStringLiteral("No two files this large in your folders are the same."));
  empty->setObjectName(QStringLiteral("noDuplicates"));
  column = new LazyColumn(
      [this](const QString& hash) -> QWidget* {
        auto* made = new DuplicateSetSection(this->model, this->revealer);
        for (const auto& group : this->model.groups())
          if (QString::fromStdString(group.hash) == hash) made->display(group);
        return made;
      },
      0);
  column->setObjectName(QStringLiteral("identicalList"));
  listCard = GlassCard::around(column, {2, 6, 2, 6});
  addResultPage(empty);
  addResultPage(listCard);
}

void IdenticalPane::refresh() {
  if (model.phase() != FileSetsModel::Phase::ready) {
    showProgress(DuplicatesTexts::identicalProgress(model.stage()));
    return;
  }
  const auto shown = DuplicatesTexts::shownSets(model.groups(), model.threshold());
  showResults(model.failures(), model.hasPhotosLibrary(), shown.empty() ? static_cast<QWidget*>(empty) : listCard);
  QStringList keys;
  for (const auto* group : shown) keys << QString::fromStdString(group->hash);
  column->setKeys(keys);
  for (const auto* group : shown)
    if (auto* made = section(group->hash)) made->display(*group);
}

DuplicateSetSection* IdenticalPane::section(const std::string& hash) const {
  return dynamic_cast<DuplicateSetSection*>(column->row(QString::fromStdString(hash)));
}

}  // namespace tidra::duplicates
