#include "support/PaintRecorder.h"
#include "support/TestMain.h"
#include "../../models/PerformanceFakes.h"

#include "Demo.h"
#include "platform/FileRevealer.h"
#include "views/design/KeyedRowList.h"
#include "views/design/MeterBar.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/PerformanceView.h"

#include <QLabel>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
namespace T = tidra::PerformanceTexts;

namespace quiet {

class NoRevealer : public FileRevealer {
public:
  void reveal(const std::string&) override {}
};

ProcessGroup group(const std::string& name, std::int64_t memory, double cpu) {
  auto made = someGroup(name, {static_cast<pid_t>(40'000 + memory % 1000)});
  made.memoryBytes = memory;
  made.cpuPercent = cpu;
  return made;
}

// The Performance screen over the fake machine, moved on one refresh pass at a time.
struct Screen {
  PerformanceModel fake;
  NoRevealer revealer;
  std::unique_ptr<performance::PerformanceView> view;

  Screen(std::vector<ProcessGroup> groups, std::vector<DeveloperTool> tools = {}) {
    fake.machine->sample.groups = std::move(groups);
    fake.machine->tools = std::move(tools);
    view = std::make_unique<performance::PerformanceView>(fake.make(), fake.scheduler, revealer);
    view->resize(980, 660);
  }
  AppModel& model() { return *fake.model; }
  KeyedRowList* rows(const char* name) const { return view->findChild<KeyedRowList*>(name); }
  // Shows the screen and waits for its first pass to be on the rows.
  bool show(const char* rowsName, int count) {
    view->show();
    return QTest::qWaitForWindowExposed(view.get()) &&
           QTest::qWaitFor([&] { return rows(rowsName) && rows(rowsName)->keys().size() == count; });
  }
  // The next pass of the refresh loop over what the machine holds by then, drawn.
  bool nextPass() {
    const int before = fake.machine->count("tools");
    const bool passed =
        QTest::qWaitFor([&] { return fake.machine->count("tools") > before || (fake.scheduler.advance(3s), false); });
    PaintRecorder::settle();
    return passed;
  }
  template <class Change>
  void change(Change change) {
    std::lock_guard lock(fake.machine->mutex);
    change(*fake.machine);
  }
};

QImage iconImage(QWidget* row) { return row->findChild<QLabel*>("processIcon")->pixmap().toImage(); }

}  // namespace quiet

using namespace quiet;

class QuietRefreshTest : public QObject {
  Q_OBJECT

private slots:
  void init() {
    Demo::decide(false);
    Theme::apply(Theme::Scheme::light);
  }
  void cleanupTestCase() { Theme::apply(Theme::Scheme::light); }

  // Passes that bring nothing new, or nothing this tab shows, redraw nothing of the screen.
  void aPassThatChangesNothingShownRepaintsNothing() {
    Screen screen({group("Editor", 500'000'000, 2), group("Browser", 300'000'000, 1), group("Chat", 90'000'000, 0)},
                  {someTool("1", DeveloperTool::Kind::buildDaemon, 0, {1000})});
    QVERIFY(screen.show("processRows", 3));
    PaintRecorder recorder(screen.view.get());
    recorder.settleAndReset();
    QVERIFY(screen.nextPass());
    QCOMPARE(recorder.paintsWithin(screen.view.get()), 0);
    screen.change([](RecordedMachine& machine) { machine.tools[0].pids = {1000, 1001}; });
    QVERIFY(screen.nextPass());
    QCOMPARE(recorder.paintsWithin(screen.view.get()), 0);
  }

  // New figures of one program change its row, in place; the other rows are not redrawn.
  void rowsAreUpdatedInPlace() {
    Screen screen({group("Editor", 500'000'000, 2), group("Browser", 300'000'000, 1)});
    QVERIFY(screen.show("processRows", 2));
    auto* rows = screen.rows("processRows");
    QWidget* editor = rows->row("Editor");
    QWidget* browser = rows->row("Browser");
    PaintRecorder recorder(screen.view.get());
    recorder.settleAndReset();
    screen.change([](RecordedMachine& machine) { machine.sample.groups[1].cpuPercent = 37.5; });
    QVERIFY(screen.nextPass());
    QCOMPARE(rows->row("Editor"), editor);
    QCOMPARE(rows->row("Browser"), browser);
    auto* cpu = browser->findChild<StyledLabel*>("processCpu");
    QCOMPARE(cpu->text(), T::cpuText(37.5));
    QVERIFY(recorder.paints(cpu) > 0);
    QCOMPARE(recorder.paintsWithin(editor), 0);
  }

  void toolRowsAreUpdatedInPlace() {
    const auto daemon = [](const std::string& id, double cpu) {
      auto tool = someTool(id, DeveloperTool::Kind::buildDaemon, cpu, {1000});
      tool.memoryBytes = 200'000'000;
      return tool;
    };
    Screen screen({}, {daemon("1", 5), daemon("2", 0)});
    screen.model().setPerformanceTab(AppModel::PerformanceTab::developerTools);
    QVERIFY(screen.show("toolRows", 2));
    auto* rows = screen.rows("toolRows");
    const QStringList keys = rows->keys();
    QWidget* busy = rows->row(keys[0]);
    QWidget* idle = rows->row(keys[1]);
    PaintRecorder recorder(screen.view.get());
    recorder.settleAndReset();
    screen.change([&](RecordedMachine& machine) { machine.tools[0] = daemon("1", 40); });
    QVERIFY(screen.nextPass());
    QCOMPARE(rows->keys(), keys);
    QCOMPARE(rows->row(keys[0]), busy);
    QCOMPARE(rows->row(keys[1]), idle);
    QVERIFY(!busy->findChildren<StyledLabel*>().isEmpty());
    bool shown = false;
    for (auto* label : busy->findChildren<StyledLabel*>()) shown = shown || label->text() == T::toolCpu(daemon("1", 40));
    QVERIFY(shown);
    QCOMPARE(recorder.paintsWithin(idle), 0);
  }

  // A program without a picture of its own shows the stand-in in the appearance of the moment,
  // without waiting for new figures.
  void rowsFollowALiveAppearanceSwitch() {
    Screen screen({group("Editor", 500'000'000, 2)});
    QVERIFY(screen.show("processRows", 1));
    QWidget* row = screen.rows("processRows")->row("Editor");
    const QImage light = iconImage(row);
    Theme::apply(Theme::Scheme::dark);
    PaintRecorder::settle();
    QVERIFY(iconImage(row) != light);
    Screen fresh({group("Editor", 500'000'000, 2)});
    QVERIFY(fresh.show("processRows", 1));
    QCOMPARE(iconImage(row), iconImage(fresh.rows("processRows")->row("Editor")));
  }

  // Steps smaller than half a point are not drawn, but they add up.
  void aMeterRedrawsOnlyForAVisibleChange() {
    MeterBar meter(0.5, {Theme::Role::green});
    meter.setFixedWidth(100);
    meter.show();
    QVERIFY(QTest::qWaitForWindowExposed(&meter));
    PaintRecorder recorder(&meter);
    const struct {
      double fraction;
      bool drawn;
    } steps[] = {{0.502, false}, {0.504, false}, {0.506, true}, {0.507, false}, {0.4, true}};
    for (const auto& step : steps) {
      recorder.settleAndReset();
      meter.setFraction(step.fraction);
      PaintRecorder::settle();
      QCOMPARE(recorder.paints(&meter) > 0, step.drawn);
      QCOMPARE(meter.fraction(), step.fraction);
    }
  }
};

TIDRA_TEST_MAIN(QuietRefreshTest)
#include "QuietRefreshTest.moc"
