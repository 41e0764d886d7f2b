#pragma once

#include "views/design/ActionBar.h"

namespace tidra {
class Button;
class StyledLabel;
}  // namespace tidra

namespace tidra::duplicates {

// The action bar of either list: what keeping one of each set frees, the default selection
// button, what the selection frees and "Move to Trash…".
class SetsFooter : public ActionBar {
public:
  SetsFooter(const QString& selectTitle, const QString& summaryHelp, const QString& selectHelp,
             QWidget* parent = nullptr);

  // `selection` empty hides the selection text; `canMove` enables "Move to Trash…".
  void setFigures(const QString& summary, const QString& selection, bool canMove);
  Button* selectButton() const { return select; }
  Button* moveButton() const { return move; }

private:
  StyledLabel* summary;
  Button* select;
  StyledLabel* selected;
  Button* move;
};

}  // namespace tidra::duplicates
