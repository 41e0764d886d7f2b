#include "support/TestMain.h"
#include "PerformanceFakes.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "platform/Thumbnailer.h"
#include "runtime/WorkPools.h"
#include "support/SettlePools.h"
#include "support/TempHome.h"

#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace std::chrono_literals;

Q_DECLARE_METATYPE(tidra::AppModel::QuitMode)

namespace tidra::test {
namespace {

// Records which icon each key was made from, so a test can tell a named app from the generic one.
class RecordingIcons final : public Thumbnailer {
public:
  std::optional<QImage> thumbnail(const std::string&, QSize) const override { return std::nullopt; }
  QImage fileIcon(const std::string& path, QSize pixels) const override { return made("file " + path, pixels); }
  QImage typeIcon(const std::string& path, QSize pixels) const override { return made("type " + path, pixels); }
  QImage appIcon(const std::string& id, QSize pixels) const override { return made("app " + id, pixels); }

  mutable std::vector<std::string> asked;

private:
  QImage made(const std::string& what, QSize pixels) const {
    asked.push_back(what);
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
  }
};

void logSignals(AppModel& model, const std::shared_ptr<RecordedMachine>& machine) {
  QObject::connect(&model, &AppModel::iconsChanged, [machine] { machine->log("icons"); });
  QObject::connect(&model, &AppModel::processesChanged, [machine] { machine->log("processes"); });
  QObject::connect(&model, &AppModel::developerToolsChanged, [machine] { machine->log("developerTools"); });
}

// Background work has its turn too: a pass that should not have started would otherwise
// still be on a pool when the test looks.
void settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  settlePools();
}

StartupItem leftover(const std::string& path) {
  StartupItem item;
  item.label = path;
  item.programMissing = true;
  item.plistPath = path;
  return item;
}

}  // namespace

class AppModelPerformanceTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void aPassReadsMemorySampleIconsProcessesThenTools() {
    PerformanceModel fake;
    fake.machine->sample.groups = {someGroup("Editor", {40}, "/nowhere/Editor.app")};
    fake.machine->tools = {someTool("40", DeveloperTool::Kind::languageServer, 3)};
    auto& model = fake.make("/home/elsewhere");
    logSignals(model, fake.machine);

    auto token = model.keepPerformanceFresh();
    QTRY_COMPARE(model.developerTools().size(), std::size_t{1});
    QCOMPARE(fake.machine->log(),
             (std::vector<std::string>{"memory", "sample", "icons", "processes", "tools", "developerTools"}));
    QVERIFY(model.memory().has_value());
    QCOMPARE(model.processes(), fake.machine->sample.groups);
    // Tools belong to the process's owner, whatever home the model works on.
    QCOMPARE(fake.machine->toolsHome, std::string("/home/owner"));
  }

  void oneLoopRunsEveryThreeSecondsWhileAnyTokenIsHeld() {
    PerformanceModel fake;
    auto& model = fake.make();
    auto overview = model.keepPerformanceFresh();
    auto performance = model.keepPerformanceFresh();
    QTRY_COMPARE(fake.scheduler.pending(), 1);  // asleep after the first pass
    QCOMPARE(fake.machine->count("sample"), 1);

    fake.scheduler.advance(2999ms);
    settle();
    QCOMPARE(fake.machine->count("sample"), 1);
    fake.scheduler.advance(1ms);
    QTRY_COMPARE(fake.scheduler.pending(), 1);
    QCOMPARE(fake.machine->count("tools"), 2);

    overview.release();
    fake.scheduler.advance(3s);
    QTRY_COMPARE(fake.scheduler.pending(), 1);
    QCOMPARE(fake.machine->count("tools"), 3);

    // The last token goes during the sleep: no further pass, nothing left waiting.
    performance.release();
    settle();
    fake.scheduler.advance(3s);
    settle();
    QCOMPARE(fake.machine->count("sample"), 3);
    QCOMPARE(fake.scheduler.pending(), 0);

    // A screen coming back starts the loop again at once.
    auto again = model.keepPerformanceFresh();
    QTRY_COMPARE(fake.machine->count("tools"), 4);
  }

  void aSleepThatFiresAfterTheReleaseRunsNoPass() {
    PerformanceModel fake;
    auto& model = fake.make();
    {
      auto token = model.keepPerformanceFresh();
      QTRY_COMPARE(fake.scheduler.pending(), 1);
    }
    // The context is not deleted yet; the due sleep must still end the loop.
    fake.scheduler.advance(3s);
    settle();
    QCOMPARE(fake.machine->count("sample"), 1);
  }

  void iconsAreKeyedByGroupAndByLowerCaseExtension() {
    TempHome home;
    home.file("Apps/Present.app/bin/present", 10);
    PerformanceModel fake;
    auto icons = std::make_shared<RecordingIcons>();
    fake.desktop.thumbnailer = icons;
    auto& model = fake.make(home.root());

    model.prepareIcons(std::vector<ProcessGroup>{someGroup("bash", {10}),
                                                 someGroup("Present", {11}, home.root() + "/Apps/Present.app"),
                                                 someGroup("Gone", {12}, home.root() + "/Apps/Gone.app")});
    model.prepareIcons(std::vector<LargeFile>{{"/h/Movie.MOV", 1, {}}, {"/h/other.mov", 1, {}}, {"/h/README", 1, {}}});
    model.prepareIcons(std::vector<ProcessGroup>{someGroup("Present", {13}, home.root() + "/Apps/Present.app")});

    QStringList keys = model.icons().keys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"app:Gone", "app:Present", "type:", "type:mov"}));
    // Looked up once per key; the first file of an extension decides, case kept; a bundle no
    // longer on disk gets the generic program.
    QCOMPARE(icons->asked,
             (std::vector<std::string>{"app present", "app ", "type /h/Movie.MOV", "type /h/README"}));
  }

  void startupItemsAreReloadedAfterEveryRemoval_data() {
    QTest::addColumn<bool>("fails");
    QTest::newRow("removed") << false;
    QTest::newRow("refused") << true;
  }
  void startupItemsAreReloadedAfterEveryRemoval() {
    QFETCH(bool, fails);
    PerformanceModel fake;
    fake.machine->startupItems = {leftover("/a.plist"), leftover("/b.plist")};
    if (fails) fake.machine->removeFailure = "Its program is there again, so it is no longer a leftover.";
    auto& model = fake.make();
    model.loadStartupItems();
    QTRY_COMPARE(model.startupItems().size(), std::size_t{2});

    std::optional<std::optional<std::string>> answer;
    std::size_t listedWhenAnswered = 0;
    model.removeLeftover(leftover("/a.plist"), [&](std::optional<std::string> failure) {
      answer = failure;
      listedWhenAnswered = model.startupItems().size();
    });
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, fake.machine->removeFailure);
    QCOMPARE(listedWhenAnswered, std::size_t{1});
    QCOMPARE(fake.machine->log(), (std::vector<std::string>{"list", "remove /a.plist", "list"}));
  }

  // Quitting waits for a startup item's removal as for any other: systemctl and the moves to
  // the Trash finish before the program ends.
  void quittingWaitsForAStartupItemsRemoval() {
    PerformanceModel fake;
    fake.machine->startupItems = {leftover("/a.plist")};
    fake.machine->removeGate = std::make_shared<Latch>();
    // Opened however the test ends, so no worker is left waiting.
    const std::shared_ptr<void> opener(nullptr, [gate = fake.machine->removeGate](void*) { gate->open(); });
    auto& model = fake.make();
    bool done = false;
    model.removeLeftover(leftover("/a.plist"), [&](std::optional<std::string>) { done = true; });
    QVERIFY(model.removalsRunning());
    fake.machine->removeGate->open();
    QTRY_VERIFY(done);
    QVERIFY(!model.removalsRunning());
  }

  void idleBuildDaemonsAreThoseStrictlyBelowOnePercent() {
    PerformanceModel fake;
    using Kind = DeveloperTool::Kind;
    fake.machine->tools = {someTool("busy", Kind::buildDaemon, 1.0), someTool("idle", Kind::buildDaemon, 0.99),
                           someTool("server", Kind::languageServer, 0), someTool("quiet", Kind::buildDaemon, 0)};
    auto& model = fake.make();
    auto token = model.keepPerformanceFresh();
    QTRY_COMPARE(model.developerTools().size(), std::size_t{4});

    model.stopIdleBuildDaemons();
    QCOMPARE(model.developerTools().size(), std::size_t{2});  // rows go at once
    QTRY_COMPARE(fake.machine->stops().size(), std::size_t{2});
    std::set<std::string> stopped;
    for (const auto& tool : fake.machine->stops()) stopped.insert(tool.id);
    QCOMPARE(stopped, (std::set<std::string>{"idle", "quiet"}));
  }

  void aToolNoLongerListedIsStillStopped() {
    PerformanceModel fake;
    auto& model = fake.make();
    model.stop(someTool("7", DeveloperTool::Kind::devServer, 0, {7}));
    QTRY_COMPARE(fake.machine->stops().size(), std::size_t{1});
    QCOMPARE(fake.machine->stops().front().id, std::string("7"));
  }

  // The engine gets each pid with the start time of the reading (none when the reading had
  // none, so it is never signalled) and whether to force.
  void quitHandsTheEngineTheSampledStartsAndTheMode_data() {
    QTest::addColumn<AppModel::QuitMode>("mode");
    QTest::newRow("polite") << AppModel::QuitMode::polite;
    QTest::newRow("force") << AppModel::QuitMode::force;
  }
  void quitHandsTheEngineTheSampledStartsAndTheMode() {
    QFETCH(AppModel::QuitMode, mode);
    PerformanceModel fake;
    auto& model = fake.make();
    const auto at = std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000));
    model.quit(someGroup("Editor", {40, 41}), {{40, at}}, mode);
    QTRY_COMPARE(fake.machine->stops().size(), std::size_t{1});
    DeveloperTool::Stop::Signal expected{{{40, at}, {41, std::nullopt}}, mode == AppModel::QuitMode::force};
    QCOMPARE(fake.machine->stops().front().stop, DeveloperTool::Stop(expected));
  }

  // Neither Quit nor Force Quit reaches the desktop session's own processes or this program;
  // an ordinary app beside them still goes.
  void quitNeverReachesTheSessionOrOurselves() {
    PerformanceModel fake;
    auto& model = fake.make();
    for (const auto mode : {AppModel::QuitMode::polite, AppModel::QuitMode::force}) {
      for (const char* name : {"dbus-daemon", "openbox", "dunst", "stalonetray", "gnome-shell"})
        model.quit(someGroup(name, {50}), {}, mode);
      model.quit(someGroup("tidra", {::getpid()}), {}, mode);
    }
    model.quit(someGroup("Editor", {40}), {}, AppModel::QuitMode::force);
    QTRY_COMPARE(fake.machine->stops().size(), std::size_t{1});
    threadPool(Pool::user).waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(fake.machine->stops().size(), std::size_t{1});
    QCOMPARE(fake.machine->stops().front().stop,
             DeveloperTool::Stop(DeveloperTool::Stop::Signal{{{40, std::nullopt}}, true}));
  }

  void demoStopFreesMemoryAtOnceAndStaysStopped() {
    Demo::decide(true);
    PerformanceModel fake;
    auto& model = fake.make();
    auto token = model.keepPerformanceFresh();
    QVERIFY(!model.developerTools().empty());
    const auto tool = model.developerTools().front();
    const auto before = *model.memory();

    model.stop(tool);
    QVERIFY(model.memory()->app < before.app);
    for (const auto& group : model.processes())
      for (const pid_t pid : group.pids) QVERIFY(!std::count(tool.pids.begin(), tool.pids.end(), pid));
    fake.scheduler.advance(3s);
    for (const auto& listed : model.developerTools()) QVERIFY(listed.id != tool.id);
    QVERIFY(fake.machine->stops().empty());  // nothing real is touched
  }

  void demoRemovalHidesTheItemForTheRun() {
    Demo::decide(true);
    PerformanceModel fake;
    auto& model = fake.make();
    model.loadStartupItems();
    const auto all = model.startupItems();
    const auto it = std::find_if(all.begin(), all.end(), [](const StartupItem& item) { return item.isLeftover(); });
    QVERIFY(it != all.end());

    std::optional<std::optional<std::string>> answer;
    model.removeLeftover(*it, [&](std::optional<std::string> failure) { answer = failure; });
    QVERIFY(answer && !*answer);
    QCOMPARE(model.startupItems().size(), all.size() - 1);
    model.loadStartupItems();
    QCOMPARE(model.startupItems().size(), all.size() - 1);
  }
};

}  // namespace tidra::test

TIDRA_TEST_MAIN(tidra::test::AppModelPerformanceTest)
#include "AppModelPerformanceTest.moc"
