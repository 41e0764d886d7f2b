#include "support/TestMain.h"
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
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QLabel>
#include <QTest>

#include <csignal>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
using Tab = AppModel::PerformanceTab;

namespace {

class NoRevealer : public FileRevealer {
public:
  void reveal(const std::string&) override {}
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

struct PerformanceScreen {
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

// The screen over the live machine, with probe processes of a name only this run uses.
struct LivePerformanceScreen {
  PerformanceModel fake;
  NoRevealer revealer;
  QTemporaryDir dir;
  QString program = dir.filePath(QStringLiteral("tidra-quit-probe-%1").arg(QCoreApplication::applicationPid()));
  std::unique_ptr<AppModel> model;
  std::unique_ptr<performance::PerformanceView> view;

  LivePerformanceScreen() {
    QFile::copy(QStringLiteral("/bin/sleep"), program);
    AppServices services;
    services.cleanup = fakeCleanup(fake.disk);
    services.performance = PerformanceServices::live();
    // The probe is small: on a busy machine it would rank below the rows the screen shows, so
    // the screen is shown the probe's program alone, read live.
    services.performance.newSampler = [live = services.performance.newSampler,
                                       name = QFileInfo(program).fileName().toStdString()] {
      return PerformanceServices::Sample([take = live(), name] {
        auto sample = take();
        std::erase_if(sample.groups, [&](const ProcessGroup& group) { return group.name != name; });
        return sample;
      });
    };
    services.projects = quietProjects();
    model = std::make_unique<AppModel>(quietEnvironment(dir.path().toStdString()), services, fakeDesktop(),
                                       fake.scheduler);
  }

  ~LivePerformanceScreen() {
    for (const qint64 pid : probes) ::kill(static_cast<pid_t>(pid), SIGKILL);
  }

  // Starts a probe of its own, detached, as a person starts a program: were it our child it
  // would be our work, in our own group, which is never offered to quit. One that ignores
  // SIGTERM has it ignored before it runs (exec keeps that). The probe's pid; 0 on failure.
  pid_t start(bool ignoresTerm) {
    qint64 pid = 0;
    const bool started =
        ignoresTerm ? QProcess::startDetached(QStringLiteral("/bin/sh"),
                                              {QStringLiteral("-c"), QStringLiteral("trap '' TERM; exec \"$0\" 300"), program},
                                              QString(), &pid)
                    : QProcess::startDetached(program, {QStringLiteral("300")}, QString(), &pid);
    if (started) probes.push_back(pid);
    return started ? static_cast<pid_t>(pid) : 0;
  }
  // Running, and not a zombie left for whoever adopted it.
  static bool runs(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray text = stat.readAll();
    return !text.mid(text.lastIndexOf(')') + 2, 1).startsWith('Z');
  }
  std::string id = {};
  std::vector<qint64> probes;
  KeyedRowList* rows() const { return view->findChild<KeyedRowList*>("processRows"); }

  // Shows the screen and waits for the probe's row, once it runs the probe program; its group.
  std::optional<ProcessGroup> listed(pid_t probe) {
    view = std::make_unique<performance::PerformanceView>(*model, fake.scheduler, revealer);
    view->show();
    std::optional<ProcessGroup> found;
    const auto shown = [&] {
      for (const auto& group : model->processes())
        if (group.pids == std::vector<pid_t>{probe} && group.name == QFileInfo(program).fileName().toStdString())
          found = group, id = group.id;
      return found && rows()->keys().contains(QString::fromStdString(id));
    };
    if (!QTest::qWaitFor([&] { return shown() || (fake.scheduler.advance(3s), false); }, 20000)) return std::nullopt;
    return found;
  }

  // Asks to quit the probes' row and answers the question with the named button.
  bool answer(const char* button) {
    QWidget* row = rows()->row(QString::fromStdString(id));
    QCoreApplication::processEvents();  // the rows are laid out
    view->findChild<QScrollArea*>()->ensureWidgetVisible(row);
    QTest::mouseClick(row->findChild<Button*>("quit"), Qt::LeftButton);
    auto* dialog = openDialog(*view, "quitDialog");
    if (dialog == nullptr) return false;
    QTest::mouseClick(dialog->findChild<Button*>(button), Qt::LeftButton);
    return !dialog->isVisible();
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
    PerformanceScreen screen;
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

  // The screen's title row sits above the memory card, as on the other screens.
  void titleRowAboveTheCard() {
    PerformanceScreen screen;
    screen.make();
    QCoreApplication::processEvents();
    auto* title = screen.view->findChild<QWidget*>("performanceTitle");
    QVERIFY(title);
    auto* label = title->findChild<QLabel*>();
    QCOMPARE(label->text(), "Performance");
    auto* card = screen.view->findChild<QWidget*>("memoryCard");
    QVERIFY(title->geometry().bottom() < card->mapTo(screen.view.get(), QPoint()).y());
  }

  void memoryCardShowsTheReading() {
    PerformanceScreen screen;
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
    PerformanceScreen screen;
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

  // Programs whose names differ only in bytes that are not UTF-8 keep a row each, so each can be quit.
  void programsNamedInOtherEncodingsKeepARowEach() {
    PerformanceScreen screen;
    auto& sample = screen.fake.machine->sample;
    sample.groups.push_back(someGroup("tool\xff", {30'000}));
    sample.groups.push_back(someGroup("tool\xfe", {30'001}));
    auto& model = screen.make();
    QTRY_COMPARE(model.processes().size(), std::size_t{2});
    auto* rows = screen.view->findChild<KeyedRowList*>("processRows");
    QTRY_COMPARE(rows->keys().size(), 2);
  }

  // The header's "App" starts where the names start, "Memory" and "CPU" end where the figures
  // end, with or without a scroll bar.
  void columnHeadersLineUpWithTheRows_data() {
    QTest::addColumn<int>("groups");
    QTest::newRow("a few") << 3;
    QTest::newRow("more than fit") << 40;
  }
  void columnHeadersLineUpWithTheRows() {
    QFETCH(int, groups);
    PerformanceScreen screen;
    for (int i = 0; i < groups; ++i)
      screen.fake.machine->sample.groups.push_back(someGroup("p" + std::to_string(i), {100 + i}));
    auto& model = screen.make();
    QTRY_COMPARE(model.processes().size(), std::size_t(groups));
    auto* list = screen.view->findChild<QWidget*>("processList");
    auto* rows = list->findChild<KeyedRowList*>("processRows");
    QTRY_COMPARE(rows->keys().size(), groups);
    const auto leftEdge = [list](const QWidget* widget) { return widget->mapTo(list, QPoint()).x(); };
    const auto rightEdge = [list](const QWidget* widget) { return widget->mapTo(list, widget->rect().topRight()).x(); };
    const auto header = [&](const QString& text) -> const QWidget* {
      for (auto* label : list->findChildren<StyledLabel*>())
        if (label->text() == text) return label;
      return nullptr;
    };
    const QWidget* row = rows->row(QStringLiteral("p0"));
    // Layouts settle over a few turns of the event loop.
    QTRY_COMPARE(leftEdge(header("App")), leftEdge(row->findChild<QWidget*>("processName")));
    QTRY_COMPARE(rightEdge(header("Memory")), rightEdge(row->findChild<QWidget*>("processMemory")));
    QTRY_COMPARE(rightEdge(header("CPU")), rightEdge(row->findChild<QWidget*>("processCpu")));
  }

  void demoQuitRemovesTheRowAndImprovesMemory_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("Quit") << "politeQuit";
    QTest::newRow("Force Quit") << "forceQuit";
  }
  void demoQuitRemovesTheRowAndImprovesMemory() {
    QFETCH(QString, button);
    Demo::decide(true);
    PerformanceScreen screen;
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
    QTest::mouseClick(dialog->findChild<Button*>(button), Qt::LeftButton);
    QTRY_VERIFY(!rows->keys().contains(target));
    QVERIFY(model.memory()->used() < before);
    threadPool(Pool::user).waitForDone();
    QVERIFY(screen.fake.machine->stops().empty());  // nothing real is signalled
  }

  void failedLeftoverRemovalShowsTheReason() {
    PerformanceScreen screen;
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
    screen.fake.machine->removeFailure = "Only leftovers among your own startup items can be removed.";
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
             "Only leftovers among your own startup items can be removed.");
  }

  void stopIdleDaemonsFollowsTheDaemonsCpu() {
    const std::vector<std::pair<std::vector<DeveloperTool>, bool>> cases{
        {{daemon("1", 1.0)}, false},
        {{daemon("1", 1.0), daemon("2", 0.9)}, true},
        {{someTool("3", DeveloperTool::Kind::devServer, 0)}, false},
    };
    for (const auto& [tools, enabled] : cases) {
      PerformanceScreen screen;
      screen.fake.machine->tools = tools;
      auto& model = screen.make();
      model.setPerformanceTab(Tab::developerTools);
      QTRY_COMPARE(model.developerTools().size(), tools.size());
      QTRY_COMPARE(screen.view->findChild<QWidget*>("stopIdle")->isEnabled(), enabled);
    }
  }

  void stoppingTheLastToolShowsThePlaceholder() {
    PerformanceScreen screen;
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

  // A real program quit from the list ends; the same pid with another start time is left alone,
  // asked or forced.
  void liveQuitEndsTheProgramButNotAReusedPid() {
    LivePerformanceScreen screen;
    const pid_t probe = screen.start(false);
    QVERIFY(probe);
    const auto group = screen.listed(probe);
    QVERIFY(group);

    // The probe as if its pid had been reused since the reading: its start time differs.
    for (const auto mode : {AppModel::QuitMode::polite, AppModel::QuitMode::force})
      screen.model->quit(*group, {{probe, std::chrono::system_clock::time_point{}}}, mode);
    threadPool(Pool::user).waitForDone();
    QCoreApplication::processEvents();
    QVERIFY(LivePerformanceScreen::runs(probe));

    // Through the list it goes, its pid matching its start time in the reading.
    QVERIFY(screen.answer("politeQuit"));
    QTRY_VERIFY_WITH_TIMEOUT(!LivePerformanceScreen::runs(probe), 10000);
    const auto id = QString::fromStdString(screen.id);
    QTRY_VERIFY_WITH_TIMEOUT((screen.fake.scheduler.advance(3s), !screen.rows()->keys().contains(id)), 20000);
  }

  // A process that ignores the polite request outlives "Quit" and not "Force Quit".
  void liveForceQuitEndsAProgramThatIgnoresTheRequest() {
    LivePerformanceScreen screen;
    const pid_t probe = screen.start(true);
    QVERIFY(probe);
    QVERIFY(screen.listed(probe));

    QVERIFY(screen.answer("politeQuit"));
    threadPool(Pool::user).waitForDone();
    QCoreApplication::processEvents();
    QVERIFY(LivePerformanceScreen::runs(probe));

    QVERIFY(screen.answer("forceQuit"));
    QTRY_VERIFY_WITH_TIMEOUT(!LivePerformanceScreen::runs(probe), 10000);
  }
};

TIDRA_TEST_MAIN(PerformanceViewTest)
#include "PerformanceViewTest.moc"
