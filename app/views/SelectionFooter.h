#pragma once

#include "views/design/ActionBar.h"

#include <optional>

namespace tidra {

class Button;
class Spinner;
class StyledLabel;

// The bar under a list of things to remove: a progress wheel while work runs, the status
// ("3 items selected"), the selection's total when there is one, and the primary action.
class SelectionFooter : public ActionBar {
public:
  SelectionFooter(const QString& actionTitle, QWidget* parent = nullptr);

  void show(bool working, const QString& status, const std::optional<QString>& total, bool actionEnabled);
  Button* action() const { return button; }

private:
  Spinner* spinner;
  StyledLabel* status;
  StyledLabel* total;
  Button* button;
};

}  // namespace tidra
