#include "../../models/PerformanceFakes.h"

#include "Demo.h"
#include "platform/FileRevealer.h"
#include "runtime/WorkPools.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/KeyedRowList.h"
#include "views/design/SegmentedControl.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/PerformanceView.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
using Tab = AppModel::PerformanceTab;

namespace {

class NoRevealer : public FileRevealer {
public:
  void reveal(const QString&) override {}
};

template <class T>
QList<T*> visible(QWidget& root, const QString& name) {
  QList<T*> found;
  for (auto* child : root.findChildren<T*>(name))
    if (child->isVisibleTo(&root)) found << child;
  return found;
}

ConfirmationDialog* openDialog(QWidget& root, const QString& name) {
  for (auto* dialog : root.findChildren<ConfirmationDialog*>(name))
    if (dialog->isVisible()) return dialog;
  return nullptr;
}

struct Screen {
  PerformanceModel fake;
  NoRevealer revealer;
  std::unique_ptr<performance::PerformanceView> view;

  AppModel& make() {
    auto& model = fake.make();
    view = std::make_unique<performance::PerformanceView>(model, fake.scheduler, revealer);
    view->resize(980, 660);
    view->show();
    return model;
  }
};

DeveloperTool daemon(const std::string& id, double cpu) {
  auto tool = someTool(id, DeveloperTool::Kind::buildDaemon, cpu, {1000});
  tool.consequence = "The next build starts slower.";
  return tool;
}

}  // namespace

class PerformanceViewTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { Demo::decide(false); }

  void tabFollowsTheModel() {
    Demo::decide(true);
    Screen screen;
    auto& model = screen.make();
    auto* tabs = screen.view->findChild<SegmentedControl*>("performanceTabs");
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(screen.view->findChild<QWidget*>("processList"));

    model.setPerformanceTab(Tab::developerTools);
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(screen.view->findChild<QWidget*>("developerToolsList"));
    QVERIFY(!screen.view->findChild<QWidget*>("processList"));

    tabs->setCurrentIndex(2);
    QCOMPARE(model.performanceTab(), Tab::startup);
    QVERIFY(screen.view->findChild<QWidget*>("startupList"));

    // Leaving and coming back keeps the tab: it lives in the model.
    screen.view.reset();
    screen.view = std::make_unique<performance::PerformanceView>(model, screen.fake.scheduler, screen.revealer);
    QVERIFY(screen.view->findChild<QWidget*>("startupList"));
  }

  void memoryCardShowsTheReading() {
    Screen screen;
    MemorySnapshot memory;
    memory.total = 16LL << 30;
    memory.app = 6LL << 30;
    memory.compressed = 4LL << 30;
    screen.fake.machine->memory = memory;
    screen.make();
    QTRY_VERIFY(screen.view->findChild<QWidget*>("memoryReading")->isVisibleTo(screen.view.get()));
    QCOMPARE(screen.view->findChild<StyledLabel*>("memoryHeadline")->text(), PerformanceTexts::usedOfTotal(memory));
    QCOMPARE(screen.view->findChild<StyledLabel*>("memoryAdvice")->text(), PerformanceTexts::advice(memory));
  }

  void processListStopsAtEightyAndNeverQuitsUsOrTheSystem() {
    Screen screen;
    auto& sample = screen.fake.machine->sample;
    for (int i = 0; i < 81; ++i) {
      auto group = someGroup("proc" + std::to_string(i), {20'000 + i});
      group.memoryBytes = 1'000'000 - i;
      sample.groups.push_back(group);
    }
    sample.groups[1].pids.push_back(static_cast<pid_t>(QCoreApplication::applicationPid()));
    sample.groups[2].isSystemService = true;
    auto& model = screen.make();
    QTRY_COMPARE(model.processes().size(), std::size_t{81});
    auto* rows = screen.view->findChild<KeyedRowList*>("processRows");
    QTRY_COMPARE(rows->keys().size(), 80);
    QVERIFY(!rows->keys().contains("proc80"));
    const auto quits = [&](const char* id) {
      return rows->row(id)->findChild<QWidget*>("quit")->isVisibleTo(rows->row(id));
    };
    QVERIFY(quits("proc0"));
    QVERIFY(!quits("proc1"));
    QVERIFY(!quits("proc2"));
  }

  void demoForceQuitRemovesTheRowAndImprovesMemory() {
    Demo::decide(true);
    Screen screen;
    auto& model = screen.make();
    model.showDemoProcesses();
    auto* rows = screen.view->findChild<KeyedRowList*>("processRows");
    QTRY_VERIFY(!rows->keys().isEmpty());
    const auto before = model.memory()->used();
    QString target;
    for (const auto& id : rows->keys())
      if (rows->row(id)->findChild<QWidget*>("quit")->isVisibleTo(rows->row(id))) {
        target = id;
        break;
      }
    QVERIFY(!target.isEmpty());
    QTest::mouseClick(rows->row(target)->findChild<Button*>("quit"), Qt::LeftButton);
    auto* dialog = openDialog(*screen.view, "quitDialog");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    QTRY_VERIFY(!rows->keys().contains(target));
    QVERIFY(model.memory()->used() < before);
  }

  void failedLeftoverRemovalShowsTheReason() {
    Screen screen;
    StartupItem leftover;
    leftover.label = "com.acme.updater";
    leftover.scope = StartupItem::Scope::user;
    leftover.programMissing = true;
    leftover.plistPath = "/home/fake/.config/autostart/acme.desktop";
    StartupItem system = leftover;
    system.scope = StartupItem::Scope::system;
    system.label = "zoomd";
    system.plistPath = "/etc/xdg/autostart/zoomd.desktop";
    screen.fake.machine->startupItems = {leftover, system};
    screen.fake.machine->removeFailure = "Only leftovers in your own Login Items can be removed.";
    auto& model = screen.make();
    model.setPerformanceTab(Tab::startup);
    QTRY_COMPARE(model.startupItems().size(), std::size_t{2});
    QTRY_COMPARE(visible<QWidget>(*screen.view, "remove").size(), 1);  // the system item has only its badge
    QCOMPARE(visible<QWidget>(*screen.view, "leftoverBadge").size(), 2);

    QTest::mouseClick(static_cast<Button*>(visible<QWidget>(*screen.view, "remove").front()), Qt::LeftButton);
    auto* dialog = openDialog(*screen.view, "removeDialog");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    QTRY_VERIFY(screen.view->findChild<QDialog*>("removeProblem"));
    QCOMPARE(screen.view->findChild<StyledLabel*>("problemText")->text(),
             "Only leftovers in your own Login Items can be removed.");
  }

  void stopIdleDaemonsFollowsTheDaemonsCpu() {
    const std::vector<std::pair<std::vector<DeveloperTool>, bool>> cases{
        {{daemon("1", 1.0)}, false},
        {{daemon("1", 1.0), daemon("2", 0.9)}, true},
        {{someTool("3", DeveloperTool::Kind::devServer, 0)}, false},
    };
    for (const auto& [tools, enabled] : cases) {
      Screen screen;
      screen.fake.machine->tools = tools;
      auto& model = screen.make();
      model.setPerformanceTab(Tab::developerTools);
      QTRY_COMPARE(model.developerTools().size(), tools.size());
      QTRY_COMPARE(screen.view->findChild<QWidget*>("stopIdle")->isEnabled(), enabled);
    }
  }

  void stoppingTheLastToolShowsThePlaceholder() {
    Screen screen;
    screen.fake.machine->tools = {daemon("1", 5)};
    auto& model = screen.make();
    model.setPerformanceTab(Tab::developerTools);
    QTRY_COMPARE(visible<QWidget>(*screen.view, "stop").size(), 1);
    QTest::mouseClick(static_cast<Button*>(visible<QWidget>(*screen.view, "stop").front()), Qt::LeftButton);
    auto* dialog = openDialog(*screen.view, "stopDialog");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), "Stop Tool 1?");
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    QTRY_VERIFY(screen.view->findChild<QWidget*>("noTools")->isVisibleTo(screen.view.get()));
  }

  // A real child quit from the list ends; the same pid with another start time is left alone.
  void liveQuitEndsTheChildButNotAReusedPid() {
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tidra-quit-probe-%1").arg(QCoreApplication::applicationPid()));
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), program));
    QProcess reused;
    reused.start(program, {QStringLiteral("300")});
    QVERIFY(reused.waitForStarted());
    QProcess child;
    child.start(program, {QStringLiteral("300")});
    QVERIFY(child.waitForStarted());

    Screen screen;
    AppServices services;
    services.cleanup = fakeCleanup(screen.fake.disk);
    services.performance = PerformanceServices::live();
    services.projects = quietProjects();
    AppModel model(quietEnvironment(dir.path().toStdString()), services, fakeDesktop(), screen.fake.scheduler);
    performance::PerformanceView view(model, screen.fake.scheduler, screen.revealer);
    view.show();
    const QString id = QFileInfo(program).fileName();
    auto* rows = view.findChild<KeyedRowList*>("processRows");
    QTRY_VERIFY_WITH_TIMEOUT(rows->keys().contains(id), 20000);
    ProcessGroup probe;
    for (const auto& listed : model.processes())
      if (QString::fromStdString(listed.id) == id) probe = listed;
    QCOMPARE(probe.pids.size(), std::size_t{2});

    // The older probe as if its pid had been reused since the reading: its start time differs.
    ProcessGroup stale = probe;
    stale.pids = {static_cast<pid_t>(reused.processId())};
    stale.mainPID = stale.pids.front();
    model.quit(stale, {{stale.mainPID, std::chrono::system_clock::time_point{}}});
    threadPool(Pool::user).waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(reused.state(), QProcess::Running);

    // Through the list the whole group goes, each pid matching its start time in the reading.
    QTest::mouseClick(rows->row(id)->findChild<Button*>("quit"), Qt::LeftButton);
    auto* dialog = openDialog(view, "quitDialog");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->findChild<Button*>("politeQuit"), Qt::LeftButton);
    QVERIFY(child.waitForFinished(10000));
    QVERIFY(reused.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT((screen.fake.scheduler.advance(3s), !rows->keys().contains(id)), 20000);
  }
};

QTEST_MAIN(PerformanceViewTest)
#include "PerformanceViewTest.moc"
