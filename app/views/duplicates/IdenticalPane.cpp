#include "views/duplicates/IdenticalPane.h"

#include "models/DuplicatesModel.h"
#include "views/design/EmptyState.h"
#include "views/design/GlassCard.h"
#include "views/duplicates/DuplicateSetSection.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/LazyColumn.h"
#include "views/duplicates/PaneNotices.h"
#include "views/duplicates/SearchProgress.h"

#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::duplicates {

IdenticalPane::IdenticalPane(DuplicatesModel& model, FileRevealer& revealer, QWidget* parent)
    : QWidget(parent), model(model), revealer(revealer) {
  setObjectName(QStringLiteral("identicalPane"));
  pages = new QStackedLayout(this);
  progress = new SearchProgress;
  results = new QWidget;
  auto* stack = new QVBoxLayout(results);
  stack->setContentsMargins(16, 16, 16, 0);
  stack->setSpacing(10);
  notices = new PaneNotices(model.home(), [&model] { model.setFailures({}); });
  stack->addWidget(notices);
  resultPages = new QStackedLayout;
  empty = new EmptyState(QStringLiteral("doc.on.doc"), QStringLiteral("No duplicates"),
                         QStringLiteral("No two files this large in your folders are the same."));
  empty->setObjectName(QStringLiteral("noDuplicates"));
  listCard = new GlassCard(20);
  auto* cardLayout = new QVBoxLayout(listCard);
  cardLayout->setContentsMargins(2, 6, 2, 6);
  column = new LazyColumn(
      [this](const QString& hash) -> QWidget* {
        auto* made = new DuplicateSetSection(this->model, this->revealer);
        for (const auto& group : this->model.groups())
          if (QString::fromStdString(group.hash) == hash) made->display(group);
        return made;
      },
      0, listCard);
  column->setObjectName(QStringLiteral("identicalList"));
  cardLayout->addWidget(column);
  resultPages->addWidget(empty);
  resultPages->addWidget(listCard);
  stack->addLayout(resultPages, 1);
  pages->addWidget(progress);
  pages->addWidget(results);
}

void IdenticalPane::refresh() {
  if (model.phase() != FileSetsModel::Phase::ready) {
    progress->setText(DuplicatesTexts::identicalProgress(model.stage()));
    pages->setCurrentWidget(progress);
    return;
  }
  pages->setCurrentWidget(results);
  notices->refresh(model.failures(), model.hasPhotosLibrary());
  const auto shown = DuplicatesTexts::shownSets(model.groups(), model.threshold());
  resultPages->setCurrentWidget(shown.empty() ? static_cast<QWidget*>(empty) : listCard);
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
