#include "TidraApplication.h"

#include "platform/FileRevealer.h"
#include "platform/FolderChooser.h"
#include "platform/RunningApps.h"
#include "platform/Thumbnailer.h"

#include "AppInfo.h"
#include "Demo.h"
#include "Updater.h"
#include "Website.h"
#include "models/AppModel.h"
#include "models/BackgroundMonitor.h"
#include "models/Diagnosis.h"
#include "models/NotificationResponder.h"
#include "models/WindowOpener.h"
#include "platform/PanelPlacement.h"
#include "platform/TrayItem.h"
#include "platform/UrlOpener.h"
#include "settings/Preference.h"
#include "settings/Preferences.h"
#include "snapshot/Snapshot.h"
#include "views/ContentView.h"
#include "views/design/Appearance.h"
#include "views/FinishingWindow.h"
#include "views/diagnosis/DiagnosisSheet.h"
#include "views/menubar/MenuBarPanel.h"
#include "views/settings/SettingsView.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QMenuBar>

namespace tidra {

bool TidraApplication::screenshotMode(const QStringList& arguments) {
  return Snapshot::value(arguments, QStringLiteral("--snapshot")).has_value();
}

bool TidraApplication::homeOverride(const QStringList& arguments) { return arguments.contains(QStringLiteral("--home")); }

CleanupEnvironment TidraApplication::environment(const QStringList& arguments) {
  if (const auto home = Snapshot::value(arguments, QStringLiteral("--home")))
    return CleanupEnvironment::forHome(home->toStdString());
  return CleanupEnvironment::live();
}

std::optional<Section> TidraApplication::launchSection(const QStringList& arguments) {
  const auto value = Snapshot::value(arguments, QStringLiteral("--section"));
  return value ? sectionFromRawValue(*value) : std::nullopt;
}

std::optional<Theme::Scheme> TidraApplication::launchAppearance(const QStringList& arguments) {
  const auto value = Snapshot::value(arguments, QStringLiteral("--appearance"));
  if (!value) return std::nullopt;
  return *value == QStringLiteral("light") ? Theme::Scheme::light : Theme::Scheme::dark;
}

bool TidraApplication::showsTrayItem(const Situation& situation) {
  if (situation.screenshot || situation.homeOverride || !situation.trayAvailable) return false;
  return situation.showInMenuBar || situation.demo;
}

bool TidraApplication::quitsAfterLastWindow(const Situation& situation) {
  // Without a tray there is nothing left to bring the window back from.
  return !situation.showInMenuBar || !situation.trayAvailable || situation.screenshot || situation.homeOverride;
}

TidraApplication::TidraApplication(Parts given, QObject* parent) : QObject(parent), parts(std::move(given)) {
  Preference::registerDefaults(parts.preferences);
  Appearance::setScreenshotMode(screenshotMode(parts.arguments));
  appModel = std::make_unique<AppModel>(parts.environment, parts.services, parts.desktop, parts.scheduler);
  backgroundMonitor = std::make_unique<BackgroundMonitor>(*appModel, parts.preferences, parts.notifications);
  buildMainWindow();
  WindowOpener::shared().openMain = [this] { showMainWindow(); };
  connect(&parts.notifications, &Notifications::responded, this, [this](const NotificationResponse& response) {
    respondToNotification(response, *backgroundMonitor, *appModel, WindowOpener::shared());
  });
  connect(backgroundMonitor.get(), &BackgroundMonitor::memoryChanged, this, &TidraApplication::showReadings);
  connect(backgroundMonitor.get(), &BackgroundMonitor::diskChanged, this, &TidraApplication::showReadings);
  updateTrayItem();
}

TidraApplication::~TidraApplication() {
  WindowOpener::shared().openMain = nullptr;
  delete settingsWindow;
}

TidraApplication::Situation TidraApplication::situation() const {
  return {parts.preferences.boolValue(Preference::showInMenuBar), parts.trayAvailable,
          screenshotMode(parts.arguments), homeOverride(parts.arguments), Demo::isOn()};
}

void TidraApplication::buildMainWindow() {
  window = std::make_unique<QMainWindow>();
  window->setObjectName(QStringLiteral("main"));
  window->setWindowTitle(QStringLiteral("Tidra"));
  contentView = new ContentView(*appModel, *backgroundMonitor, window.get());
  presentDiagnosis();
  window->setCentralWidget(contentView);
  window->resize(980, 660);
  addCommands();
  // Screenshots show the window as the other desktop draws it, whose menus live outside it.
  window->menuBar()->setVisible(!screenshotMode(parts.arguments));
}

void TidraApplication::presentDiagnosis() {
  Diagnosis& diagnosis = appModel->diagnosis();
  contentView->makeDiagnosisSheet = [this](QWidget* parent) {
    return new DiagnosisSheet(*appModel, *backgroundMonitor, parent);
  };
  contentView->diagnosisDismissed = [&diagnosis] { diagnosis.setPresented(false); };
  connect(&diagnosis, &Diagnosis::isPresentedChanged, contentView,
          [this, &diagnosis] { contentView->setDiagnosisPresented(diagnosis.isPresented()); });
}

void TidraApplication::addCommands() {
  QMenu* app = window->menuBar()->addMenu(QStringLiteral("Tidra"));
  if (UpdateController* controller = parts.updater.controller())
    app->addAction(QStringLiteral("Check for Updates…"), window.get(), [controller] { controller->checkForUpdates(); });
  // Qt's standard Preferences key is empty on Linux; Ctrl+, is what desktop apps use here.
  app->addAction(QStringLiteral("Settings…"), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                 &TidraApplication::showSettings);
  app->addSeparator();
  app->addAction(QStringLiteral("Quit Tidra"), QKeySequence::Quit, this, &TidraApplication::quitInOrder);
  QMenu* help = window->menuBar()->addMenu(QStringLiteral("Help"));
  help->addAction(QStringLiteral("Send Feedback…"), this,
                  [this] { parts.urlOpener.open(Website::feedback(parts.info)); });
}

void TidraApplication::showMainWindow() {
  window->show();
  window->raise();
  window->activateWindow();
  launch();
}

void TidraApplication::showMain(std::optional<Section> section) { WindowOpener::shared().show(section, *appModel); }

void TidraApplication::showSettings() {
  if (!settingsWindow) {
    settingsWindow = makeSettings();
    settingsWindow->setAttribute(Qt::WA_DeleteOnClose);
    placeSettings();
  }
  settingsWindow->show();
  settingsWindow->raise();
}

void TidraApplication::placeSettings() {
  // The desktop decorates the settings window as it did the main one.
  const bool overMain = window->isVisible();
  QScreen* screen = overMain ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect content = window->geometry(), decorated = window->frameGeometry();
  const QMargins decoration = overMain ? QMargins(content.left() - decorated.left(), content.top() - decorated.top(),
                                                  decorated.right() - content.right(),
                                                  decorated.bottom() - content.bottom())
                                       : QMargins();
  settingsWindow->adjustSize();
  const QRect placed = PanelPlacement::window(settingsWindow->size(), overMain ? content : QRect(),
                                              screen->availableGeometry(), decoration);
  settingsWindow->resize(placed.size());
  settingsWindow->move(placed.topLeft());
}

QWidget* TidraApplication::makeSettings() {
  auto* view = new SettingsView(parts.preferences, *backgroundMonitor, parts.scheduler,
                                SettingsView::Desktop{loginItem, parts.notifications, parts.urlOpener,
                                                      parts.updater.controller(), Website::feedback(parts.info)});
  connect(view, &SettingsView::showInMenuBarChanged, this, &TidraApplication::updateTrayItem);
  view->setObjectName(QStringLiteral("settings"));
  view->setWindowTitle(QStringLiteral("Settings"));
  return view;
}

void TidraApplication::updateTrayItem() {
  if (!showsTrayItem(situation())) {
    tray.reset();
    return;
  }
  if (!tray)
    tray = std::make_unique<TrayItem>(
        [this] {
          QWidget* panel = makePanel(false);
          panel->setWindowFlag(Qt::Popup);
          return panel;
        },
        TrayItem::Commands{[this] { showMain(std::nullopt); }, [this] { showSettings(); }, [this] { quitInOrder(); }});
  showReadings();
  tray->setVisible(true);
}

void TidraApplication::showReadings() {
  if (tray) tray->setReadings(backgroundMonitor->memory(), backgroundMonitor->disk());
}

QWidget* TidraApplication::makePanel(bool diagnosing) {
  auto* panel = new MenuBarPanel(*appModel, *backgroundMonitor, diagnosing);
  connect(panel, &MenuBarPanel::settingsRequested, this, [this, panel] {
    panel->close();
    showSettings();
  });
  connect(panel, &MenuBarPanel::quitRequested, this, &TidraApplication::quitInOrder);
  return panel;
}

void TidraApplication::lastWindowClosed() {
  if (quitsAfterLastWindow(situation())) quitInOrder();
}

void TidraApplication::quitInOrder() {
  if (quitting) return;
  quitting = true;
  if (!appModel->removalsRunning()) {
    parts.quit(0);
    return;
  }
  appModel->windDown();
  finishing = new FinishingWindow;
  finishing->setAttribute(Qt::WA_DeleteOnClose);
  finishing->show();
  finishThenQuit().start(this);
}

Flow TidraApplication::finishThenQuit() {
  using namespace std::chrono_literals;
  co_await waitUntil(parts.scheduler, 10min, 100ms, [this] { return !appModel->removalsRunning(); });
  delete finishing;
  parts.quit(0);
}

void TidraApplication::launch() {
  if (const auto section = launchSection(parts.arguments)) appModel->setSection(section);
  if (const auto scheme = launchAppearance(parts.arguments)) Theme::apply(*scheme);
  appModel->refreshDisk();
  if (appModel->cleanupPhase() == AppModel::CleanupPhase::idle) appModel->scan();
  if (!screenshotMode(parts.arguments) && !homeOverride(parts.arguments)) backgroundMonitor->start();
  if (const auto folder = Snapshot::value(parts.arguments, QStringLiteral("--snapshot")); folder && !capturing) {
    capturing = true;
    // The extras host the panel borderless, as the menu bar shows it, and the settings titled.
    const auto borderlessPanel = [this](bool diagnosing) {
      QWidget* panel = makePanel(diagnosing);
      panel->setWindowFlag(Qt::FramelessWindowHint);
      return panel;
    };
    Snapshot::capture({*appModel, *backgroundMonitor, *folder, parts.arguments, parts.scheduler, parts.quit,
                       borderlessPanel, [this] { return makeSettings(); }})
        .start(window.get());
  }
  emit launched();
}

}  // namespace tidra
