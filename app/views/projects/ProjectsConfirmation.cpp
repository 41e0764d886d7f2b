#include "views/projects/ProjectsConfirmation.h"

#include "models/ProjectsModel.h"
#include "views/Formats.h"
#include "views/design/Button.h"
#include "views/design/StyledLabel.h"
#include "views/projects/ProjectsTexts.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tidra::projects {

namespace {

QWidget* itemRow(const QString& name, std::int64_t bytes, const QString& line, Theme::Role lineRole) {
  auto* row = new QWidget;
  auto* lines = new QVBoxLayout(row);
  lines->setContentsMargins(8, 2, 8, 2);
  lines->setSpacing(2);
  auto* first = new QHBoxLayout;
  first->addWidget(new StyledLabel(name, Theme::TextStyle::body));
  first->addStretch(1);
  first->addWidget(new StyledLabel(Formats::bytes(bytes), Theme::TextStyle::body, Theme::Role::secondaryLabel));
  lines->addLayout(first);
  auto* second = new StyledLabel(line, Theme::TextStyle::callout, lineRole);
  second->setWordWrap(true);
  lines->addWidget(second);
  return row;
}

QWidget* itemList(const ProjectsModel& model) {
  auto* scroll = new QScrollArea;
  scroll->setObjectName(QStringLiteral("projectsConfirmationList"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::StyledPanel);
  auto* content = new QWidget;
  auto* column = new QVBoxLayout(content);
  column->setSpacing(4);
  for (const auto& row : model.selectedWorktreeRows())
    column->addWidget(itemRow(ProjectsTexts::confirmationWorktreeName(row), row.realBytes,
                              ProjectsTexts::confirmationWorktreeLine(row),
                              row.worktree.ignoredFiles.empty() ? Theme::Role::secondaryLabel : Theme::Role::orange));
  for (const auto& row : model.selectedArtifactRows())
    column->addWidget(itemRow(ProjectsTexts::confirmationArtifactName(row), row.realBytes,
                              QString::fromStdString(row.kind.restore), Theme::Role::secondaryLabel));
  column->addStretch(1);
  scroll->setWidget(content);
  return scroll;
}

}  // namespace

ProjectsConfirmation::ProjectsConfirmation(ProjectsModel& model, QWidget* parent)
    : ConfirmationDialog(ProjectsTexts::confirmationTitle(model.selectedBytes()),
                         ProjectsTexts::confirmationExplanation(), QStringLiteral("Remove"), true, parent) {
  setObjectName(QStringLiteral("projectsConfirmation"));
  setFixedSize(600, 500);
  details()->addWidget(itemList(model), 1);
  // Removing is for good: Return must not do it by accident.
  actionButton()->setDefault(false);
  actionButton()->setAutoDefault(false);
  cancelButton()->setAutoDefault(false);
}

}  // namespace tidra::projects
