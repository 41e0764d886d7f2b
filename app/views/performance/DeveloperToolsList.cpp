#include "views/performance/DeveloperToolsList.h"

#include "models/AppModel.h"
#include "runtime/Scheduler.h"
#include "views/RowKeys.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/EmptyState.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/performance/ListScroll.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/ToolRow.h"

#include <QHBoxLayout>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tidra::performance {

namespace T = PerformanceTexts;
using Role = Theme::Role;

namespace {

// A row is made for one kind of tool: the kind is part of its key.
QString keyOf(const DeveloperTool& tool) {
  return QString::number(static_cast<int>(tool.kind)) + QLatin1Char(':') + RowKeys::of(tool.id);
}

DeveloperTool::Kind kindOf(const QString& key) {
  return static_cast<DeveloperTool::Kind>(key.section(QLatin1Char(':'), 0, 0).toInt());
}

}  // namespace

DeveloperToolsList::DeveloperToolsList(AppModel& model, Scheduler& scheduler, QWidget* parent)
    : QWidget(parent), model(model), scheduler(scheduler) {
  setObjectName(QStringLiteral("developerToolsList"));
  pages = new QStackedLayout(this);
  auto* empty = new EmptyState(QStringLiteral("hammer"), QStringLiteral("No developer tools running"),
                               T::toolsEmptyDescription());
  empty->setObjectName(QStringLiteral("noTools"));
  pages->addWidget(empty);

  auto* list = new QWidget;
  auto* column = new QVBoxLayout(list);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* header = new QHBoxLayout;
  header->setContentsMargins(18, 14, 18, 4);
  header->setSpacing(12);
  // The caption takes what the total and the button leave, on two lines in a narrow window.
  auto* caption = new StyledLabel(T::toolsCaption(), Theme::TextStyle::callout, Role::secondaryLabel);
  caption->setWordWrap(true);
  header->addWidget(caption, 1);
  total = new StyledLabel({}, Theme::TextStyle::body, Role::secondaryLabel);
  total->setObjectName(QStringLiteral("toolsTotal"));
  header->addWidget(total);
  stopIdle = new Button(Button::Look::secondary, QStringLiteral("Stop Idle Build Daemons"));
  stopIdle->setObjectName(QStringLiteral("stopIdle"));
  stopIdle->setToolTip(QStringLiteral("Gradle and Kotlin daemons that are not building right now"));
  connect(stopIdle, &QPushButton::clicked, this, [this] { this->model.stopIdleBuildDaemons(); });
  header->addWidget(stopIdle);
  column->addLayout(header);
  rows = new KeyedRowList([this](const QString& key) -> QWidget* {
    return new ToolRow(kindOf(key), [this](const DeveloperTool& tool) { confirmStop(tool); });
  });
  rows->setObjectName(QStringLiteral("toolRows"));
  static_cast<QVBoxLayout*>(rows->layout())->setSpacing(2);
  column->addWidget(wrapInScroll(rows), 1);
  pages->addWidget(list);
  refresh({});
}

void DeveloperToolsList::refresh(const std::map<std::string, double>& idleTimes) {
  const auto& tools = model.developerTools();
  pages->setCurrentIndex(tools.empty() ? 0 : 1);
  total->setText(T::toolsTotal(tools));
  stopIdle->setEnabled(T::hasIdleBuildDaemon(tools));
  QStringList keys;
  for (const auto& tool : tools) keys << keyOf(tool);
  rows->setKeys(keys);
  const auto now = scheduler.now();
  for (const auto& tool : tools) {
    const auto idle = idleTimes.find(tool.id);
    static_cast<ToolRow*>(rows->row(keyOf(tool)))
        ->show(tool, idle == idleTimes.end() ? std::nullopt : std::optional(idle->second), now);
  }
}

void DeveloperToolsList::confirmStop(const DeveloperTool& tool) {
  auto* dialog = new ConfirmationDialog(T::stopTitle(tool), QString::fromStdString(tool.consequence),
                                        QStringLiteral("Stop"), true, this);
  dialog->setObjectName(QStringLiteral("stopDialog"));
  connect(dialog, &QDialog::accepted, this, [this, tool] { model.stop(tool); });
  connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
  dialog->open();
}

}  // namespace tidra::performance
