#pragma once

#include <QScrollArea>

class QLabel;
class QVBoxLayout;

namespace tidra {
class AppModel;
class Banner;
class FileRevealer;
class KeyedRowList;
class ProjectsModel;
class Scheduler;
}  // namespace tidra

namespace tidra::projects {

class SectionHeader;

// The scrolling middle of the Projects screen: the result of the last removal (orange, with
// the reason, while `app` could not add a removal to the history), the note on
// shared sizes, the removable worktrees, the worktrees that hold work, and one section per
// project. Rows are keyed by path, so ticks and focus survive every refresh.
class ProjectsList : public QScrollArea {
public:
  ProjectsList(ProjectsModel& model, const AppModel& app, Scheduler& scheduler, FileRevealer& revealer,
               QWidget* parent = nullptr);
  void refresh();

private:
  QWidget* makeWorktreeRow(const QString& path);
  QWidget* makeGroup(const QString& path);
  void refreshBanner();
  void refreshWorktrees();
  void refreshGroups();

  ProjectsModel& model;
  const AppModel& app;
  Scheduler& scheduler;
  FileRevealer& revealer;
  QVBoxLayout* column;
  QWidget* resultBanner = nullptr;
  Banner* sizeNote;
  SectionHeader* worktreeHeader;
  KeyedRowList* worktreeRows;
  QWidget* keptHeader;
  KeyedRowList* keptRows;
  KeyedRowList* groups;
};

}  // namespace tidra::projects
