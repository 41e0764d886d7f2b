#pragma once

#include "views/design/ConfirmationDialog.h"

namespace tidra {
class ProjectsModel;
}

namespace tidra::projects {

// The question before the Projects screen removes anything: what removing the selection frees,
// that it is for good, and every worktree and folder that goes, with its size. "Remove" closes
// the sheet and starts the removal; "Cancel" and Escape only close it.
class ProjectsConfirmation : public ConfirmationDialog {
  Q_OBJECT

public:
  ProjectsConfirmation(ProjectsModel& model, QWidget* parent);
};

}  // namespace tidra::projects
