#pragma once

#include "models/Section.h"
#include "runtime/Flow.h"
#include "platform/LoginItem.h"
#include "services/AppServices.h"
#include "services/DesktopServices.h"
#include "views/design/Theme.h"

#include "cleanup/CleanupEnvironment.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QMainWindow;

namespace tidra {

class AppModel;
class BackgroundMonitor;
class ContentView;
class Notifications;
class Preferences;
class Scheduler;
class TrayItem;
class Updater;
class UrlOpener;
struct AppInfo;

// The running application: the one model and the one monitor for the life of the process, the
// main window with its commands and launch step, the tray item standing for the menu-bar item, the settings window,
// and the rules for what closing the last window does.
class TidraApplication : public QObject {
  Q_OBJECT

public:
  // What the process hands in; tests give fakes. Everything referenced must outlive the object.
  struct Parts {
    QStringList arguments;
    CleanupEnvironment environment;
    AppServices services;
    // The desktop parts the central model hands to its feature models.
    DesktopServices desktop;
    Preferences& preferences;
    Scheduler& scheduler;
    UrlOpener& urlOpener;
    // The desktop's notifications, for the monitor; their responses are answered here.
    Notifications& notifications;
    const AppInfo& info;
    const Updater& updater;
    // Whether the desktop shows tray items.
    bool trayAvailable = false;
    // Ends the event loop; the code is the process's exit code.
    std::function<void(int exitCode)> quit;
  };

  // --- Rules read from the arguments and the settings

  // `--snapshot` with a value after it.
  static bool screenshotMode(const QStringList& arguments);
  // `--home` anywhere, with or without a value.
  static bool homeOverride(const QStringList& arguments);
  // The home given to `--home`, else the user's own (the live probes).
  static CleanupEnvironment environment(const QStringList& arguments);
  // `--section` followed by an exact section name, else none.
  static std::optional<Section> launchSection(const QStringList& arguments);
  // `--appearance` followed by exactly "light" is light; any other value dark; absent none.
  static std::optional<Theme::Scheme> launchAppearance(const QStringList& arguments);

  struct Situation {
    bool showInMenuBar = true;  // the stored setting
    bool trayAvailable = true;
    bool screenshot = false;
    bool homeOverride = false;
    bool demo = false;
  };
  // Whether the tray item is there: never in screenshot mode or under --home, never without
  // a tray; otherwise when the setting is on or in demo mode.
  static bool showsTrayItem(const Situation& situation);
  // Whether closing the last window quits. It hides to the tray only while the setting is on
  // and a tray shows the item; demo mode does not count, only the stored setting does.
  static bool quitsAfterLastWindow(const Situation& situation);

  explicit TidraApplication(Parts parts, QObject* parent = nullptr);
  ~TidraApplication() override;

  AppModel& model() const { return *appModel; }
  BackgroundMonitor& monitor() const { return *backgroundMonitor; }
  QMainWindow& mainWindow() const { return *window; }
  ContentView& content() const { return *contentView; }
  // None while the item is not wanted.
  TrayItem* trayItem() const { return tray.get(); }
  Situation situation() const;

  // Shows the main window and runs its launch step; each showing runs it again.
  void showMainWindow();
  // Selects `section` when given, then raises the main window, showing it when it is closed.
  void showMain(std::optional<Section> section);
  void showSettings();
  // Follows a change of the menu-bar setting.
  void updateTrayItem();
  // What the last window closing does: quits, or leaves the tray item alone in charge.
  void lastWindowClosed();
  // Every way of quitting ends here (the command, the panel, the last window, SIGTERM and
  // SIGINT): with no removal under way it quits at once; otherwise removals stop after the
  // item in hand, a "Finishing…" window says why Tidra is still there, and it quits once they
  // have recorded what they did (after 10 minutes at most). Later calls do nothing.
  void quitInOrder();
  // Shown while quitting waits; none otherwise.
  QWidget* finishingWindow() const { return finishing; }

  // The launch step, in order: section and appearance from the arguments, the disk figures,
  // a scan when none has run, the monitor (not in screenshot mode or under --home), then the
  // screenshot run. Safe to repeat.
  void launch();

signals:
  // The launch step has run (for the screenshot run and tests).
  void launched();

private:
  void buildMainWindow();
  // The diagnosis sheet follows the diagnosis's "presented" flag over the main window.
  void presentDiagnosis();
  void addCommands();
  void showReadings();
  // The menu-bar panel wired to the settings and quitting, for the tray item and the screenshots.
  QWidget* makePanel(bool diagnosing);
  // The settings form as a window of its own, for the settings command and the screenshots.
  QWidget* makeSettings();
  // Over the main window and inside the screen's available area, title bar included.
  void placeSettings();

  Flow finishThenQuit();

  Parts parts;
  std::unique_ptr<AppModel> appModel;
  std::unique_ptr<BackgroundMonitor> backgroundMonitor;
  std::unique_ptr<QMainWindow> window;
  ContentView* contentView = nullptr;
  std::unique_ptr<TrayItem> tray;
  QPointer<QWidget> settingsWindow;
  LiveLoginItem loginItem;
  bool capturing = false;
  bool quitting = false;
  QPointer<QWidget> finishing;
};

}  // namespace tidra
