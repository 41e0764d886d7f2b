#include "support/TestMain.h"
#include "monitor/MonitorFakes.h"

#include "AppInfo.h"
#include "Demo.h"
#include "TidraApplication.h"
#include "Updater.h"
#include "Website.h"
#include "models/Notifier.h"
#include "platform/TrayItem.h"
#include "platform/UrlOpener.h"
#include "support/InMemoryPreferences.h"
#include "settings/Preference.h"
#include "views/ContentView.h"
#include "views/Sidebar.h"
#include "views/design/Appearance.h"
#include "support/FakeUpdateController.h"
#include "support/ImageVariety.h"

#include "support/FakeDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

using Situation = TidraApplication::Situation;
using Phase = AppModel::CleanupPhase;

// One application over fake engine services, in-memory settings and virtual time.
struct Harness {
  std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>();
  std::shared_ptr<std::atomic<int>> catalogCalls = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<FakeProcesses> machine = std::make_shared<FakeProcesses>();
  TestScheduler scheduler;
  InMemoryPreferences preferences;
  FakeUrlOpener opener;
  RecordingNotifications notifications;
  AppInfo info{"1.0.0", "https://tidra.app", ""};
  std::unique_ptr<Updater> updater;
  int quits = 0;
  std::unique_ptr<TidraApplication> app;

  TidraApplication& make(QStringList arguments, bool trayAvailable = true) {
    arguments.prepend("tidra");
    updater = std::make_unique<Updater>(info, arguments, [](const QString&) { return std::make_unique<FakeUpdateController>(); });
    AppServices services;
    services.cleanup = fakeCleanup(disk);
    services.performance = fakePerformance(machine);
    services.projects = quietProjects();
    services.files = quietFiles();
    services.applications = quietApplications();
    services.cleanup.catalog = [disk = disk, calls = catalogCalls](const CleanupEnvironment&) {
      ++*calls;
      return disk->catalog;
    };
    app = std::make_unique<TidraApplication>(TidraApplication::Parts{arguments, quietEnvironment("/home/fake"), services,
                                                                     fakeDesktop(), preferences, scheduler, opener, notifications, info, *updater,
                                                                     trayAvailable, [this](int) { ++quits; }});
    return *app;
  }
};

QStringList actionTexts(const QMainWindow& window) {
  QStringList texts;
  for (QAction* menu : window.menuBar()->actions())
    for (QAction* action : menu->menu()->actions()) texts << action->text();
  return texts;
}

QAction* action(const QMainWindow& window, const QString& text) {
  for (QAction* menu : window.menuBar()->actions())
    for (QAction* entry : menu->menu()->actions())
      if (entry->text() == text) return entry;
  return nullptr;
}

}  // namespace

class TidraApplicationTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() {
    Demo::decide(false);
    Appearance::setScreenshotMode(false);
  }

  void argumentReaders_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("screenshot");
    QTest::addColumn<bool>("home");
    QTest::addColumn<std::optional<Section>>("section");
    QTest::addColumn<std::optional<Theme::Scheme>>("appearance");
    using S = std::optional<Section>;
    using A = std::optional<Theme::Scheme>;
    QTest::newRow("nothing") << QStringList{"tidra"} << false << false << S() << A();
    QTest::newRow("snapshot with folder") << QStringList{"tidra", "--snapshot", "/tmp/s"} << true << false << S() << A();
    QTest::newRow("snapshot last") << QStringList{"tidra", "--snapshot"} << false << false << S() << A();
    QTest::newRow("home with path") << QStringList{"tidra", "--home", "/tmp/h"} << false << true << S() << A();
    QTest::newRow("home last") << QStringList{"tidra", "--home"} << false << true << S() << A();
    QTest::newRow("section") << QStringList{"tidra", "--section", "performance"} << false << false
                             << S(Section::performance) << A();
    QTest::newRow("section capitalised") << QStringList{"tidra", "--section", "Performance"} << false << false << S() << A();
    QTest::newRow("section last") << QStringList{"tidra", "--section"} << false << false << S() << A();
    QTest::newRow("light") << QStringList{"tidra", "--appearance", "light"} << false << false << S()
                           << A(Theme::Scheme::light);
    QTest::newRow("Light is dark") << QStringList{"tidra", "--appearance", "Light"} << false << false << S()
                                   << A(Theme::Scheme::dark);
    QTest::newRow("anything is dark") << QStringList{"tidra", "--appearance", "blue"} << false << false << S()
                                      << A(Theme::Scheme::dark);
  }
  void argumentReaders() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, screenshot);
    QFETCH(bool, home);
    QFETCH(std::optional<Section>, section);
    QFETCH(std::optional<Theme::Scheme>, appearance);
    QCOMPARE(TidraApplication::screenshotMode(arguments), screenshot);
    QCOMPARE(TidraApplication::homeOverride(arguments), home);
    QCOMPARE(TidraApplication::launchSection(arguments), section);
    QCOMPARE(TidraApplication::launchAppearance(arguments), appearance);
  }

  void environmentFollowsHome() {
    QCOMPARE(TidraApplication::environment({"tidra", "--home", "/tmp/h"}).home, std::string("/tmp/h"));
    // The system's apps are installed for that home too.
    QCOMPARE(TidraApplication::environment({"tidra", "--home", "/tmp/h"}).installedBundleIDs(),
             CleanupEnvironment::forHome("/tmp/h").installedBundleIDs());
    QCOMPARE(TidraApplication::environment({"tidra", "--home"}).home, CleanupEnvironment::live().home);
  }

  // Situations: setting, tray available, screenshot, home, demo.
  void trayAndQuitRules_data() {
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<bool>("quits");
    QTest::newRow("normal run") << Situation{true, true, false, false, false} << true << false;
    QTest::newRow("setting off") << Situation{false, true, false, false, false} << false << true;
    QTest::newRow("no tray on this desktop") << Situation{true, false, false, false, false} << false << true;
    QTest::newRow("screenshot") << Situation{true, true, true, false, false} << false << true;
    QTest::newRow("home") << Situation{true, true, false, true, false} << false << true;
    QTest::newRow("demo") << Situation{true, true, false, false, true} << true << false;
    QTest::newRow("demo, setting off") << Situation{false, true, false, false, true} << true << true;
    QTest::newRow("demo without a tray") << Situation{false, false, false, false, true} << false << true;
    QTest::newRow("demo screenshot") << Situation{true, true, true, false, true} << false << true;
  }
  void trayAndQuitRules() {
    QFETCH(Situation, situation);
    QFETCH(bool, tray);
    QFETCH(bool, quits);
    QCOMPARE(TidraApplication::showsTrayItem(situation), tray);
    QCOMPARE(TidraApplication::quitsAfterLastWindow(situation), quits);
  }

  void settingsReachTheRules() {
    Harness harness;
    TidraApplication& app = harness.make({});
    QVERIFY(app.trayItem() != nullptr);
    app.lastWindowClosed();
    QCOMPARE(harness.quits, 0);
    harness.preferences.setBool(Preference::showInMenuBar, false);
    app.updateTrayItem();
    QCOMPARE(app.trayItem(), nullptr);
    app.lastWindowClosed();
    QCOMPARE(harness.quits, 1);
  }

  void homeRunQuitsWithItsLastWindow() {
    Harness harness;
    TidraApplication& app = harness.make({"--home", "/tmp/h"});
    QCOMPARE(app.trayItem(), nullptr);
    app.lastWindowClosed();
    QCOMPARE(harness.quits, 1);
  }

  // Quitting while a clean runs: the clean stops after the item in hand, a window says why
  // Tidra is still there, and the quit comes once the record is written.
  void quittingWaitsForTheRemovalInHand() {
    Harness harness;
    harness.disk->catalog = {fakeItem("a"), fakeItem("b")};
    harness.disk->bytes = {{fakePath("a"), 1000}, {fakePath("b"), 2000}};
    TidraApplication& app = harness.make({"--home", "/tmp/h"});
    app.launch();
    QTRY_COMPARE(app.model().cleanupPhase(), Phase::ready);
    auto hold = std::make_shared<Latch>();
    harness.disk->cleanLatches[fakePath("a")] = hold;
    app.model().clean();
    QTRY_COMPARE(harness.disk->cleanStarts.load(), 1);

    action(app.mainWindow(), "Quit Tidra")->trigger();
    app.quitInOrder();  // the signal handler after the command: still one quit
    QCOMPARE(harness.quits, 0);
    QVERIFY(app.finishingWindow() && app.finishingWindow()->isVisible());
    hold->open();
    QTRY_COMPARE(app.model().cleanupPhase(), Phase::ready);
    harness.scheduler.advance(100ms);
    QTRY_COMPARE(harness.quits, 1);
    QVERIFY(!app.finishingWindow());
    QCOMPARE(harness.disk->performed, std::vector<std::string>{fakePath("a")});
    QCOMPARE(harness.disk->history.size(), size_t{1});
    QCOMPARE(harness.disk->history.front().items, std::vector<std::string>{"Title a"});
  }

  void mainWindowAndCommands() {
    Harness harness;
    TidraApplication& app = harness.make({});
    const QMainWindow& window = app.mainWindow();
    QCOMPARE(window.objectName(), QString("main"));
    QCOMPARE(window.windowTitle(), QString("Tidra"));
    QCOMPARE(window.size(), QSize(980, 660));
    QVERIFY(!actionTexts(window).contains("Check for Updates…"));
    action(window, "Send Feedback…")->trigger();
    QCOMPARE(harness.opener.opened, QList<QUrl>{Website::feedback(harness.info)});
    action(window, "Settings…")->trigger();
    action(window, "Settings…")->trigger();
    int settings = 0;
    const QWidget* shown = nullptr;
    for (const QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == "settings" && top->isVisible()) ++settings, shown = top;
    QCOMPARE(settings, 1);
    // Qt's Preferences key is empty on Linux; the window opens inside the screen's room.
    QCOMPARE(action(window, "Settings…")->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    QVERIFY(shown->screen()->availableGeometry().contains(shown->frameGeometry()));
    action(window, "Quit Tidra")->trigger();
    QCOMPARE(harness.quits, 1);

    Harness signedUpdates;
    signedUpdates.info.updatePublicKey = "key";
    QVERIFY(actionTexts(signedUpdates.make({}).mainWindow()).contains("Check for Updates…"));
  }

  void screenshotRunShowsNoMenuBarAndQuits() {
    QTemporaryDir folder;
    Harness harness;
    // No section named: the run only takes its first reading, then ends.
    TidraApplication& app = harness.make({"--snapshot", folder.path(), "--snapshot-sections", "none"});
    app.showMainWindow();
    QVERIFY(!app.mainWindow().menuBar()->isVisible());
    QCOMPARE(app.trayItem(), nullptr);
    for (int second = 0; second < 40 && harness.quits == 0; ++second) {
      harness.scheduler.advance(1s);
      QCoreApplication::processEvents();
    }
    QCOMPARE(harness.quits, 1);
    app.launch();
    QCOMPARE(harness.quits, 1);
  }

  // The launch step runs on every showing: it scans only from idle and reapplies --section.
  void launchIsSafeToRepeat() {
    Harness harness;
    harness.disk->catalog = {fakeItem("a")};
    harness.disk->bytes[fakePath("a")] = 5;
    TidraApplication& app = harness.make({"--section", "cleanup"});
    AppModel& model = app.model();
    QCOMPARE(model.cleanupPhase(), Phase::idle);
    app.showMainWindow();
    QCOMPARE(model.section(), std::optional(Section::cleanup));
    QCOMPARE(model.cleanupPhase(), Phase::scanning);
    app.launch();
    QTRY_COMPARE(model.cleanupPhase(), Phase::ready);
    QCOMPARE(harness.catalogCalls->load(), 1);

    model.setSection(Section::duplicates);
    app.mainWindow().close();
    app.showMain(std::nullopt);
    QCOMPARE(model.section(), std::optional(Section::cleanup));
    QCOMPARE(model.cleanupPhase(), Phase::ready);
    QCOMPARE(harness.catalogCalls->load(), 1);
  }

  void monitorStartsOnceOutsideHomeAndScreenshotRuns_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("samples");
    QTest::newRow("normal") << QStringList{} << 1;
    QTest::newRow("home") << QStringList{"--home", "/tmp/h"} << 0;
    QTest::newRow("home last") << QStringList{"--home"} << 0;
  }
  void monitorStartsOnceOutsideHomeAndScreenshotRuns() {
    QFETCH(QStringList, arguments);
    QFETCH(int, samples);
    Harness harness;
    // The cleanup screen samples nothing itself, so every sample is the monitor's.
    TidraApplication& app = harness.make(arguments);
    app.model().setSection(Section::cleanup);
    app.showMainWindow();
    app.launch();
    app.launch();
    harness.scheduler.advance(0ms);
    QTRY_COMPARE(harness.machine->samples.load(), samples);
    harness.scheduler.advance(29s);
    QCOMPARE(harness.machine->samples.load(), samples);
  }

  // A click on a notification opens the window at its section; user info of the wrong kind
  // reads as absent, so such a click only opens the window and stops nothing.
  void notificationResponsesReachTheMonitorAndTheWindow() {
    Harness harness;
    TidraApplication& app = harness.make({});
    app.model().setSection(Section::cleanup);
    harness.notifications.respond({{{Notifier::sectionKey, "largeFiles"}}, NotificationResponse::clicked});
    QVERIFY(app.mainWindow().isVisible());
    QCOMPARE(app.model().section(), std::optional(Section::largeFiles));

    const QVariantMap malformed{{Notifier::sectionKey, 42}, {Notifier::serverKey, QStringList{"a"}},
                                {Notifier::startedKey, "yesterday"}};
    for (const QString& action : {Notifier::stopAction, Notifier::keepAction, NotificationResponse::clicked})
      harness.notifications.respond({malformed, action});
    harness.notifications.respond({{{Notifier::sectionKey, "Performance"}}, NotificationResponse::clicked});
    QCOMPARE(app.model().section(), std::optional(Section::largeFiles));
    QCOMPARE(app.model().performanceTab(), AppModel::PerformanceTab::apps);
    QVERIFY(harness.machine->stoppedIds().empty());
  }

  void showMainSelectsTheSection() {
    Harness harness;
    TidraApplication& app = harness.make({});
    app.showMain(Section::largeFiles);
    QVERIFY(app.mainWindow().isVisible());
    QCOMPARE(app.model().section(), std::optional(Section::largeFiles));
    app.showMain(std::nullopt);
    QCOMPARE(app.model().section(), std::optional(Section::largeFiles));
  }

  // Until the panel exists the tray opens its footer, so the window stays in reach.
  void trayPanelOpensTheWindow() {
    Harness harness;
    TidraApplication& app = harness.make({});
    TrayItem* tray = app.trayItem();
    QCOMPARE(tray->symbol(), QString("sparkles"));
    tray->togglePanel();
    QVERIFY(tray->panel()->isVisible());
    QAbstractButton* open = nullptr;
    for (auto* button : tray->panel()->findChildren<QAbstractButton*>())
      if (button->text() == "Open Tidra") open = button;
    QVERIFY(open != nullptr);
    open->click();
    QVERIFY(app.mainWindow().isVisible());
    QTRY_VERIFY(tray->panel() == nullptr);
  }

  // Renders the demo window in both appearances; set TIDRA_SHOTS_DIR to keep the images.
  void rendersInBothAppearances() {
    Demo::decide(true);
    QTemporaryDir temporary;
    const QString folder = qEnvironmentVariableIsSet("TIDRA_SHOTS_DIR") ? qEnvironmentVariable("TIDRA_SHOTS_DIR")
                                                                         : temporary.path();
    for (const QString& appearance : {QString("light"), QString("dark")}) {
      Harness harness;
      TidraApplication& app = harness.make({"--demo", "yes", "--appearance", appearance});
      app.showMainWindow();
      harness.scheduler.advance(10s);
      QCoreApplication::processEvents();  // palette and layout changes reach widgets as posted events
      const QImage image = app.mainWindow().grab().toImage();
      QCOMPARE(image.size() / image.devicePixelRatio(), QSize(980, 660));
      QVERIFY(variety(image) > 0.01);
      QVERIFY(image.save(QDir(folder).filePath("window-" + appearance + ".png")));
    }
  }
};

TIDRA_TEST_MAIN(TidraApplicationTest)
#include "TidraApplicationTest.moc"
