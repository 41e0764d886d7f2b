#pragma once

#include "views/design/Sheet.h"

namespace tidra {

class AppModel;
class BackgroundMonitor;
class Button;

// The "Why is my computer slow?" sheet of the main window, 580 by 560 points: a header, the
// full-size diagnosis in a scroll area, "Check Again" and "Done" (Return). Each time it is
// shown it runs the check, which joins a check already running instead of starting a second.
// Closing it, in any way, clears the diagnosis's presented flag; a running check goes on.
class DiagnosisSheet : public Sheet {
public:
  DiagnosisSheet(AppModel& model, BackgroundMonitor& monitor, QWidget* parent);

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* makeHeader();
  QWidget* makeFooter();
  void runCheck();
  void refresh();

  AppModel& model;
  BackgroundMonitor& monitor;
  Button* checkAgain;
};

}  // namespace tidra
