#pragma once

#include <QUrl>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;

namespace tidra {

class BackgroundMonitor;
class Button;
class FormSection;
class LoginItem;
class Notifications;
class Preferences;
class Scheduler;
class UpdateController;
class UrlOpener;

// The settings window's form: the menu-bar item and opening at login, the monitor's alerts,
// idle dev servers, the weekly check (with "Check Now") and feedback, and automatic updates
// when there is an update controller. Each setting is read from and written straight to the
// preferences, which the monitor reads at the moment of use; the window keeps no copy.
class SettingsView : public QWidget {
  Q_OBJECT

public:
  // The desktop parts the form acts through. `updates` may be null: no "Updates" section.
  struct Desktop {
    LoginItem& loginItem;
    Notifications& notifications;
    UrlOpener& urlOpener;
    UpdateController* updates = nullptr;
    QUrl feedback;
  };

  SettingsView(Preferences& preferences, BackgroundMonitor& monitor, Scheduler& scheduler, Desktop desktop,
               QWidget* parent = nullptr);

signals:
  // "Show Tidra in the tray" changed: the tray item follows at once.
  void showInMenuBarChanged(bool shown);

private:
  FormSection* makeMenuBar();
  FormSection* makeAlerts();
  FormSection* makeDevServers();
  FormSection* makeWeekly();
  FormSection* makeFeedback();
  FormSection* makeUpdates();
  // A switch bound to `key`; `asksForAlerts` readies notifications whenever it turns on.
  QCheckBox* toggle(const QString& key, bool fallback, const QString& name, bool asksForAlerts = false);
  void setOpensAtLogin(bool wanted);
  void refreshWeekly();

  Preferences& preferences;
  BackgroundMonitor& monitor;
  Scheduler& scheduler;
  Desktop desktop;

  QCheckBox* opensAtLogin;
  QLabel* loginProblem;
  QLabel* weeklyStatus;
  Button* checkNow;
};

}  // namespace tidra
