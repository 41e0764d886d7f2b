#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/projects/ProjectsList.h"

#include "models/AppModel.h"
#include "models/ProjectsModel.h"
#include "platform/FileRevealer.h"
#include "runtime/Scheduler.h"
#include "views/Formats.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/ClearScroll.h"
#include "views/design/KeyedRowList.h"
#include "views/design/StyledLabel.h"
#include "views/design/SymbolView.h"
#include "views/projects/ProjectGroupSection.h"
#include "views/projects/ProjectRow.h"
#include "views/projects/ProjectSelection.h"
#include "views/projects/ProjectsTexts.h"
#include "views/projects/SectionHeader.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tidra::projects {

namespace {

QWidget* keptWorktreesHeader(QWidget* parent) {
  auto* header = new QWidget(parent);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(0, 12, 0, 4);
  row->setSpacing(8);
  row->addWidget(new SymbolView(QStringLiteral("lock"), Theme::Role::secondaryLabel, 15, header));
  row->addWidget(new StyledLabel(QStringLiteral("Worktrees with work in them"), Theme::TextStyle::headline,
                                 Theme::Role::label, -1, header));
  row->addStretch(1);
  return header;
}

}  // namespace

ProjectsList::ProjectsList(ProjectsModel& model, const AppModel& app, Scheduler& scheduler, FileRevealer& revealer,
                           QWidget* parent)
    : QScrollArea(parent), model(model), app(app), scheduler(scheduler), revealer(revealer) {
  setObjectName(QStringLiteral("projectsList"));
  auto* content = new QWidget;
  showThrough(this, content);
  column = new QVBoxLayout(content);
  column->setContentsMargins(16, 12, 16, 12);
  column->setSpacing(6);

  sizeNote = new Banner(QStringLiteral("info.circle"), Theme::Role::secondaryLabel,
                        QStringLiteral("Sizes here are what deleting frees"),
                        QStringLiteral("Bun and pnpm share files between projects, so the same folders look several "
                                       "times bigger in the file manager."),
                        content);
  worktreeHeader = new SectionHeader(QStringLiteral("arrow.triangle.branch"), content);
  worktreeRows = new KeyedRowList([this](const QString& path) { return makeWorktreeRow(path); }, content);
  keptHeader = keptWorktreesHeader(content);
  keptRows = new KeyedRowList([this](const QString& path) { return makeWorktreeRow(path); }, content);
  groups = new KeyedRowList([this](const QString& path) { return makeGroup(path); }, content);
  for (auto* list : {worktreeRows, keptRows}) list->setDividers(true, 26);
  // Sections hug their rows; the space left over stays below the last one.
  for (auto* list : {worktreeRows, keptRows, groups}) list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  for (QWidget* part : std::initializer_list<QWidget*>{sizeNote, worktreeHeader, worktreeRows, keptHeader, keptRows, groups})
    column->addWidget(part);
  column->addStretch(1);
  setWidget(content);

  connect(worktreeHeader, &SectionHeader::togglePressed, this, [this] {
    this->model.setSelectedWorktrees(ProjectSelection::toggledAll(worktreeRows->keys(), this->model.selectedWorktrees()));
  });
}

QWidget* ProjectsList::makeWorktreeRow(const QString& path) {
  auto* row = new ProjectRow;
  connect(row, &ProjectRow::toggled, this, [this, path](bool on) {
    model.setSelectedWorktrees(SelectionTexts::with(model.selectedWorktrees(), RowKeys::path(path), on));
  });
  connect(row, &ProjectRow::revealRequested, this, [this, path] { revealer.reveal(RowKeys::path(path)); });
  return row;
}

QWidget* ProjectsList::makeGroup(const QString&) { return new ProjectGroupSection(model, revealer); }

void ProjectsList::refresh() {
  refreshBanner();
  sizeNote->setVisible(model.sizesDifferFromFinder());
  refreshWorktrees();
  refreshGroups();
}

void ProjectsList::refreshBanner() {
  delete resultBanner;
  resultBanner = nullptr;
  const auto& summary = model.summary();
  if (!summary) return;
  const auto& unrecorded = app.historyProblem();
  const bool clean = summary->failures.empty() && !unrecorded;
  auto* banner = new Banner(clean ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.triangle.fill"),
                            clean ? Theme::Role::green : Theme::Role::orange, ProjectsTexts::bannerTitle(*summary),
                            ProjectsTexts::bannerDetail(*summary, model.home(), unrecorded));
  banner->setObjectName(QStringLiteral("projectsResultBanner"));
  auto* dismiss = new Button(Button::Look::link, QStringLiteral("Dismiss"), banner);
  connect(dismiss, &QPushButton::clicked, this, [this] { model.dismissSummary(); });
  banner->actions()->addWidget(dismiss);
  column->insertWidget(0, banner);
  banner->show();
  resultBanner = banner;
}

void ProjectsList::refreshWorktrees() {
  const auto now = scheduler.now();
  const bool editable = model.phase().isReady();
  const auto show = [&](KeyedRowList* list, const std::vector<ProjectScan::WorktreeRow>& rows) {
    QStringList ids;
    for (const auto& row : rows) ids << RowKeys::of(row.worktree.path);
    list->setKeys(ids);
    for (const auto& row : rows)
      static_cast<ProjectRow*>(list->row(RowKeys::of(row.worktree.path)))
          ->showWorktree(row, model.selectedWorktrees().contains(row.worktree.path), editable, now);
    return ids;
  };
  const auto removable = model.removableWorktrees();
  const auto ids = show(worktreeRows, removable);
  ProjectsModel::Paths paths;
  for (const auto& row : removable) paths.insert(row.worktree.path);
  const auto bytes = model.scan() ? model.scan()->freed({}, paths) : 0;
  worktreeHeader->update(QStringLiteral("Git worktrees"), {}, ProjectSelection::allSelected(ids, model.selectedWorktrees()),
                         Formats::bytes(bytes));
  worktreeHeader->setVisible(!removable.empty());
  worktreeRows->setVisible(!removable.empty());
  const auto kept = model.keptWorktrees();
  show(keptRows, kept);
  keptHeader->setVisible(!kept.empty());
  keptRows->setVisible(!kept.empty());
}

void ProjectsList::refreshGroups() {
  const auto projectGroups = model.projectGroups();
  QStringList ids;
  for (const auto& group : projectGroups) ids << RowKeys::of(group.path);
  groups->setKeys(ids);
  const auto now = scheduler.now();
  for (const auto& group : projectGroups)
    static_cast<ProjectGroupSection*>(groups->row(RowKeys::of(group.path)))->show(group, now);
}

}  // namespace tidra::projects
