#pragma once

#include "views/CoalescedRefresh.h"

#include <QWidget>

class QScrollArea;

namespace tidra {

class AppModel;
class BackgroundMonitor;
class Button;
class DiagnosisView;
class IdleRow;
class KeyedRowList;
class MiniGauge;

// The panel the tray item opens: memory and disk at a glance, the apps holding the most
// memory, idle developer tools with "Stop", the inline "Why Is My Computer Slow?" check and a
// footer to the main window, the settings and quitting. Every figure is the monitor's last
// reading; each time the panel is shown it asks the monitor for a fresh one. 320 points wide,
// as tall as its content.
class MenuBarPanel : public QWidget {
  Q_OBJECT

public:
  // `diagnosing` opens the inline check from the start (the screenshot of the open check).
  MenuBarPanel(AppModel& model, BackgroundMonitor& monitor, bool diagnosing, QWidget* parent = nullptr);

  void refresh();


signals:
  // The gear: whoever hosts the panel opens the settings window.
  void settingsRequested();
  // The power button.
  void quitRequested();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QWidget* makeGauges();
  QWidget* makeTopApps();
  QWidget* makeFooter();
  void refreshGauges();
  void refreshTopApps();
  void refreshIdleRows();
  void toggleCheck();

  AppModel& model;
  BackgroundMonitor& monitor;
  bool diagnosing;
  CoalescedRefresh laterRefresh{this, [this] { refresh(); }};

  MiniGauge* memoryGauge;
  MiniGauge* diskGauge;
  QWidget* gauges;
  QWidget* topApps;
  KeyedRowList* topAppRows;
  IdleRow* idleServers;
  IdleRow* idleDaemons;
  Button* checkButton;
  QScrollArea* inlineCheck;
};

}  // namespace tidra
