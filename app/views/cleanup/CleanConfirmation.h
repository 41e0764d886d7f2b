#pragma once

#include "views/design/ConfirmationDialog.h"

namespace tidra {

class AppModel;

// "Clean <size>?" before the selected items go: whether they go to the Trash or for good, and
// each item with its size and what it costs. Accepting is the caller's cue to clean; Escape
// cancels. Nothing here cleans.
class CleanConfirmation : public ConfirmationDialog {
public:
  CleanConfirmation(const AppModel& model, QWidget* parent);
};

}  // namespace tidra
