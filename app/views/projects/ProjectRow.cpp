#include "views/projects/ProjectRow.h"

#include "views/design/Badge.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/SizeColumn.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tidra::projects {

ProjectRow::ProjectRow(QWidget* parent)
    : QWidget(parent),
      check(new QCheckBox(this)),
      lock(new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 14, this)),
      name(new StyledLabel({}, Theme::TextStyle::body, Theme::Role::label, -1, this)),
      inUse(new Badge(QStringLiteral("In use"), Theme::Role::secondaryLabel, this)),
      yourCall(new Badge(QStringLiteral("Your call"), Theme::Role::orange, this)),
      detail(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::secondaryLabel, -1, this)),
      warning(new StyledLabel({}, Theme::TextStyle::callout, Theme::Role::orange, -1, this)),
      size(new SizeColumn(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 3, 0, 3);
  row->setSpacing(10);
  lock->setFixedWidth(16);
  row->addWidget(check, 0, Qt::AlignTop);
  row->addWidget(lock, 0, Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  lines->setSpacing(2);
  auto* title = new QHBoxLayout;
  title->setSpacing(6);
  name->setTextFormat(Qt::PlainText);
  title->addWidget(name);
  title->addWidget(inUse);
  title->addWidget(yourCall);
  title->addStretch(1);
  lines->addLayout(title);
  detail->setWordWrap(true);
  warning->setWordWrap(true);
  lines->addWidget(detail);
  lines->addWidget(warning);
  row->addLayout(lines, 1);
  row->addWidget(size, 0, Qt::AlignTop);
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
  const QString worktreeName = QString::fromStdString(row.worktree.name());
  setControl(row.worktree.canRemove(), selected, editable, worktreeName);
  name->setText(worktreeName);
  inUse->setVisible(row.isInUse);
  yourCall->setVisible(ProjectsTexts::showsYourCall(row));
  detail->setText(ProjectsTexts::worktreeDetails(row, now));
  warning->setText(ProjectsTexts::ignoredFilesLine(row.worktree.ignoredFiles));
  warning->setVisible(!row.worktree.ignoredFiles.empty());
  size->setBytes(row.realBytes, row.apparentBytes);
}

void ProjectRow::showArtifact(const ProjectScan::ArtifactRow& row, bool selected, bool editable) {
  const QString relative = QString::fromStdString(row.relativePath());
  setControl(true, selected, editable, relative);
  name->setText(fontMetrics().elidedText(relative, Qt::ElideMiddle, 420));
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
