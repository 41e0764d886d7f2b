#include "views/cleanup/CleanupList.h"

#include "models/AppModel.h"
#include "platform/UrlOpener.h"
#include "views/cleanup/CategorySection.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/cleanup/SummaryBanner.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/ClearScroll.h"
#include "views/design/KeyedRowList.h"

#include <QVBoxLayout>

namespace tidra {

CleanupList::CleanupList(AppModel& model, UrlOpener& opener, DockerFinder findDocker, QWidget* parent)
    : QScrollArea(parent), model(model), opener(opener), findDocker(std::move(findDocker)) {
  setObjectName(QStringLiteral("cleanupList"));
  auto* content = new QWidget;
  showThrough(this, content);
  column = new QVBoxLayout(content);
  column->setContentsMargins(16, 12, 16, 12);
  column->setSpacing(8);
  makeNotices(content);
  categories = new KeyedRowList(
      [this](const QString& id) {
        const auto category = cleanupCategoryFromRawValue(id.toStdString());
        return new CategorySection(this->model, category.value_or(CleanupCategory::trash));
      },
      content);
  categories->setObjectName(QStringLiteral("cleanupSections"));
  column->addWidget(categories);
  column->addStretch(1);
  setWidget(content);
}

void CleanupList::makeNotices(QWidget* content) {
  // No settings pane grants this access here, so the notice has no button.
  fullDiskAccess = new Banner(QStringLiteral("eye.slash"), Theme::Role::secondaryLabel,
                              QStringLiteral("The Trash is hidden from Tidra"), CleanupTexts::trashHiddenDetail(), content);
  fullDiskAccess->setObjectName(QStringLiteral("fullDiskAccessNotice"));
  docker = new Banner(QStringLiteral("shippingbox"), Theme::Role::secondaryLabel, QStringLiteral("Docker is not running"),
                      CleanupTexts::dockerNotRunning(),
                      content);
  docker->setObjectName(QStringLiteral("dockerNotice"));
  openDocker = new Button(Button::Look::link, QStringLiteral("Open Docker"), docker);
  openDocker->setObjectName(QStringLiteral("openDocker"));
  connect(openDocker, &QPushButton::clicked, this, [this] {
    if (dockerApp) this->opener.open(*dockerApp);
  });
  docker->actions()->addWidget(openDocker);
  column->addWidget(fullDiskAccess);
  column->addWidget(docker);
}

void CleanupList::refresh() {
  refreshSummary();
  fullDiskAccess->setVisible(!model.hasFullDiskAccess());
  const bool dockerStopped = std::holds_alternative<DockerStatus::NotRunning>(model.dockerStatus().value);
  docker->setVisible(dockerStopped);
  dockerApp = dockerStopped ? findDocker() : std::nullopt;
  openDocker->setVisible(dockerApp.has_value());

  QStringList ids;
  for (const auto category : model.categories()) ids << QString::fromStdString(std::string(rawValue(category)));
  categories->setKeys(ids);
  for (const auto& id : ids) static_cast<CategorySection*>(categories->row(id))->refresh();
}

void CleanupList::refreshSummary() {
  if (!std::exchange(summaryStale, false)) return;
  delete summary;
  summary = nullptr;
  if (!model.cleanSummary()) return;
  summary = new SummaryBanner(model, *model.cleanSummary(), model.environment().home, widget());
  column->insertWidget(0, summary);
}

}  // namespace tidra
