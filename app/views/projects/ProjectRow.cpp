#include "views/Formats.h"
#include "views/projects/ProjectRow.h"

#include "views/design/Badge.h"
#include "views/design/CheckRow.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/SizeColumn.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalBlocker>

namespace tidra::projects {

ProjectRow::ProjectRow(QWidget* parent)
    : CheckRow(parent),
      inUse(new Badge(QStringLiteral("In use"), Theme::Role::secondaryLabel, this)),
      yourCall(new Badge(QStringLiteral("Your call"), Theme::Role::orange, this)),
      detail(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this)),
      warning(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::orange, -1, this)),
      size(new SizeColumn(this)) {
  addBadge(inUse);
  addBadge(yourCall);
  addLine(detail);
  addLine(warning);
  addTrailing(size);
  connect(check, &QCheckBox::toggled, this, &ProjectRow::toggled);
}

void ProjectRow::setControl(bool selectable, bool selected, bool editable, const QString& accessibleName) {
  check->setVisible(selectable);
  lock->setVisible(!selectable);
  const QSignalBlocker quiet(check);
  check->setChecked(selected);
  check->setEnabled(editable);
  check->setAccessibleName(accessibleName);
}

void ProjectRow::showWorktree(const ProjectScan::WorktreeRow& row, bool selected, bool editable, Date now) {
  const QString worktreeName = Formats::fileName(row.worktree.name());
  setControl(row.worktree.canRemove(), selected, editable, worktreeName);
  title->setText(worktreeName);
  inUse->setVisible(row.isInUse);
  yourCall->setVisible(ProjectsTexts::showsYourCall(row));
  detail->setText(ProjectsTexts::worktreeDetails(row, now));
  warning->setText(ProjectsTexts::ignoredFilesLine(row.worktree.ignoredFiles));
  warning->setVisible(!row.worktree.ignoredFiles.empty());
  size->setBytes(row.realBytes, row.apparentBytes);
}

void ProjectRow::showArtifact(const ProjectScan::ArtifactRow& row, bool selected, bool editable) {
  const QString relative = Formats::fileName(row.relativePath());
  setControl(true, selected, editable, relative);
  title->setText(fontMetrics().elidedText(relative, Qt::ElideMiddle, 420));
  inUse->hide();
  yourCall->setVisible(row.kind.safety == Safety::review);
  detail->setText(ProjectsTexts::artifactExplanation(row));
  warning->hide();
  size->setBytes(row.realBytes, row.apparentBytes);
}

void ProjectRow::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addAction(QStringLiteral("Show in Folder"), this, &ProjectRow::revealRequested);
  menu->popup(event->globalPos());
}

}  // namespace tidra::projects
