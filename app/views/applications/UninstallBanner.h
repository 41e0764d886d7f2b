#pragma once

#include "models/ApplicationsModel.h"

#include <QWidget>

namespace tidra::applications {

// The outcome of the last uninstall above the app list: what went to the Trash, what comes back
// when it is emptied, and, folded away, every item that stayed and why. "Dismiss" clears the
// model's summary. There is no button to a permissions pane: this desktop has no setting that
// governs one app moving another's files.
class UninstallBanner : public QWidget {
public:
  UninstallBanner(ApplicationsModel& model, const UninstallSummary& summary, QWidget* parent = nullptr);

  const UninstallSummary& summary() const { return shown; }

private:
  QWidget* makeFailureList();

  ApplicationsModel& model;
  UninstallSummary shown;
};

}  // namespace tidra::applications
