#pragma once

#include "models/ApplicationsModel.h"

#include <QWidget>

namespace tidra::applications {

// The outcome of the last uninstall above the app list: what went to the Trash, what comes back
// when it is emptied, and, folded away, every item that stayed and why. "Dismiss" clears the
// model's summary. Orange, and saying so, when `unrecorded` names why the history could not
// take a removal. There is no button to a permissions pane: this desktop has no setting that
// governs one app moving another's files.
class UninstallBanner : public QWidget {
public:
  UninstallBanner(ApplicationsModel& model, const UninstallSummary& summary, std::optional<std::string> unrecorded,
                  QWidget* parent = nullptr);

  const UninstallSummary& summary() const { return shown; }
  const std::optional<std::string>& unrecorded() const { return shownProblem; }

private:
  QWidget* makeFailureList();

  ApplicationsModel& model;
  UninstallSummary shown;
  std::optional<std::string> shownProblem;
};

}  // namespace tidra::applications
