#pragma once

#include "views/design/Sheet.h"

class QVBoxLayout;

namespace tidra {
class ApplicationsModel;
class StyledLabel;
}  // namespace tidra

namespace tidra::applications {

class PartRow;

// The uninstall sheet: what each selected app leaves behind, tick by tick, and the total that
// will move. Accepted by "Uninstall", rejected by "Cancel" or Escape; the caller starts the
// uninstall. Follows the model while open: unticking lowers the total at once, and late
// measurements add their rows.
class UninstallConfirmation : public Sheet {
  Q_OBJECT

public:
  UninstallConfirmation(ApplicationsModel& model, QWidget* parent);

private:
  void refreshTexts();
  void refreshTicks();
  void rebuildList();

  ApplicationsModel& model;
  StyledLabel* title;
  StyledLabel* message;
  QWidget* passwordNote;
  StyledLabel* passwordText;
  QVBoxLayout* sections;
  std::vector<PartRow*> rows;
};

}  // namespace tidra::applications
