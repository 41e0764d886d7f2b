#pragma once

#include "models/ProjectsModel.h"

#include "views/design/CheckRow.h"

#include <chrono>

namespace tidra {
class Badge;
}  // namespace tidra

namespace tidra::projects {

class SizeColumn;

// One row of the projects list, a worktree or an artifact folder: its checkbox (a lock for a
// worktree that holds work), name and badges, the explanation lines and the size. A context
// menu offers "Show in Folder".
class ProjectRow : public CheckRow {
  Q_OBJECT

public:
  using Date = std::chrono::system_clock::time_point;

  explicit ProjectRow(QWidget* parent = nullptr);

  void showWorktree(const ProjectScan::WorktreeRow& row, bool selected, bool editable, Date now);
  void showArtifact(const ProjectScan::ArtifactRow& row, bool selected, bool editable);

signals:
  void toggled(bool selected);
  void revealRequested();

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void setControl(bool selectable, bool selected, bool editable, const QString& accessibleName);

  Badge* inUse;
  Badge* yourCall;
  StyledLabel* detail;
  StyledLabel* warning;
  SizeColumn* size;
};

}  // namespace tidra::projects
