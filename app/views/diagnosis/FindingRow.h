#pragma once

#include "performance/SlownessFinding.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace tidra {

class Button;

// One finding of the diagnosis: its chip, title and detail on a background of its level's
// colour and, when it carries a fix, the fix button. A fix that stops or quits something opens
// an inline confirmation first, which fades in (and the button back) when motion is on. Once the fix is applied the row shows "Done" instead, whatever
// the confirmation was doing. The row does not apply the fix itself: it asks for it.
class FindingRow : public QWidget {
public:
  // `apply` runs on the fix button of a fix without confirmation, or on the confirmation's verb.
  FindingRow(const SlownessFinding& finding, bool compact, std::function<void()> apply, QWidget* parent = nullptr);

  void setApplied(bool applied);
  bool isConfirming() const { return confirming; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QWidget* makeFixArea();
  QWidget* makeConfirmation();
  QWidget* makeDone();
  void refreshFixArea();
  void pressFix();

  const SlownessFinding finding;
  const bool compact;
  const std::function<void()> apply;
  bool applied = false;
  bool confirming = false;

  QWidget* fixArea = nullptr;
  Button* fixButton = nullptr;
  QWidget* confirmationArea = nullptr;
  QWidget* done = nullptr;
};

}  // namespace tidra
