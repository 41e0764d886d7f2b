#include "support/TestMain.h"
#include "monitor/MonitorFakes.h"

#include "Demo.h"
#include "models/Diagnosis.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/menubar/MenuBarPanel.h"
#include "views/menubar/MenuBarTexts.h"
#include "views/menubar/MiniGauge.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

QWidget* child(const QWidget& parent, const QString& name) { return parent.findChild<QWidget*>(name); }

QString holdingText(const QWidget& row) { return row.findChild<QLabel*>("holding")->text(); }

// One reading of the rig's machine taken by the monitor.
bool read(MonitorRig& rig) {
  const int next = rig.readings + 1;
  rig.monitor->refresh();
  return QTest::qWaitFor([&] { return rig.readings >= next; }, 10'000);
}

}  // namespace

class MenuBarPanelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void showsTheMonitorsReadings() {
    MonitorRig rig;
    rig.machine->memory = MemorySnapshot{.total = 16LL << 30, .app = 4LL << 30, .pressure = MemorySnapshot::Pressure::warning};
    rig.machine->disk = DiskUsage{500'000'000'000, 31'740'000'000};
    QVERIFY(read(rig));
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    auto* memory = panel.findChild<MiniGauge*>("memoryGauge");
    QCOMPARE(memory->title(), QStringLiteral("Memory is tight"));
    QCOMPARE(memory->fraction(), 0.25);
    QCOMPARE(panel.findChild<MiniGauge*>("diskGauge")->title(), MenuBarTexts::diskGauge(*rig.monitor->disk()).title);
    QCOMPARE(panel.width(), 320);
    QVERIFY(child(panel, "topApps")->isHidden());  // the fake machine runs no apps
  }

  void aGaugeWithoutAReadingIsLeftOut() {
    MonitorRig rig;
    rig.machine->disk.reset();
    QVERIFY(read(rig));
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    QVERIFY(!child(panel, "memoryGauge")->isHidden());
    QVERIFY(child(panel, "diskGauge")->isHidden());
  }

  void idleRowsFollowTheFilter() {
    Demo::decide(true);
    MonitorRig rig;
    QVERIFY(read(rig));
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    const auto idle = MenuBarTexts::idleServers(rig.monitor->devServers(), rig.monitor->idleTimes());
    QVERIFY(!idle.empty());  // the demo machine has an idle server
    QVERIFY(!child(panel, "idleServers")->isHidden());
    QCOMPARE(holdingText(*child(panel, "idleServers")), MenuBarTexts::holding(idle));
    QCOMPARE(child(panel, "idleDaemons")->isHidden(), rig.monitor->idleDaemons().empty());
    QVERIFY(!child(panel, "topApps")->isHidden());
  }

  void aFreshServerIsNotIdle() {
    MonitorRig rig;
    rig.machine->setTools({devServer("tree-1"), buildDaemon("42", 3.0)});
    QVERIFY(read(rig));
    QCOMPARE(rig.monitor->devServers().size(), size_t(1));
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    QVERIFY(child(panel, "idleServers")->isHidden());
    QVERIFY(child(panel, "idleDaemons")->isHidden());
  }

  void stopOnTheDaemonRowStopsTheIdleDaemons() {
    MonitorRig rig;
    rig.machine->setTools({buildDaemon("42", 0.2), buildDaemon("43", 0.1)});
    QVERIFY(read(rig));
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    auto* row = child(panel, "idleDaemons");
    QVERIFY(!row->isHidden());
    QCOMPARE(row->findChild<Button*>("stop")->toolTip(), QStringLiteral("Stops Daemon 42 and Daemon 43"));
    QTest::mouseClick(row->findChild<Button*>("stop"), Qt::LeftButton);
    // Stops run on workers side by side, so they may land in any order.
    QTRY_COMPARE(rig.machine->stoppedIds().size(), size_t(2));
    auto stopped = rig.machine->stoppedIds();
    std::sort(stopped.begin(), stopped.end());
    QCOMPARE(stopped, (std::vector<std::string>{"42", "43"}));
    QTRY_VERIFY(row->isHidden());
  }

  void showingThePanelAsksForAFreshReading() {
    MonitorRig rig;
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    QCOMPARE(rig.readings, 0);
    panel.show();
    QTRY_COMPARE(rig.readings, 1);
    QVERIFY(!child(panel, "memoryGauge")->isHidden());
  }

  void theCheckButtonShowsTheCompactCheckAndRunsItOnce() {
    Demo::decide(true);
    MonitorRig rig;
    MenuBarPanel panel(*rig.model, *rig.monitor, false);
    QSignalSpy phases(&rig.model->diagnosis(), &Diagnosis::phaseChanged);
    auto* button = panel.findChild<Button*>("checkButton");
    QCOMPARE(button->text(), QStringLiteral("Why Is My Computer Slow?"));
    QVERIFY(child(panel, "inlineCheck")->isHidden());

    button->click();
    QCOMPARE(button->text(), QStringLiteral("Hide Check"));
    QVERIFY(!child(panel, "inlineCheck")->isHidden());
    QCOMPARE(rig.model->diagnosis().phase().kind, Diagnosis::Phase::Kind::checking);
    QCOMPARE(phases.count(), 1);

    button->click();  // hides without stopping
    QVERIFY(child(panel, "inlineCheck")->isHidden());
    button->click();  // joins the running check
    QCOMPARE(phases.count(), 1);
    rig.scheduler.advance(std::chrono::seconds(2));
    QTRY_COMPARE(rig.model->diagnosis().phase().kind, Diagnosis::Phase::Kind::done);
    const int limit = MenuBarTexts::inlineCheckHeight(QGuiApplication::primaryScreen()->availableGeometry().height());
    QTRY_VERIFY(!panel.findChild<KeyedRowList*>("findings")->keys().isEmpty());
    QVERIFY(child(panel, "inlineCheck")->height() <= limit);
  }
};

TIDRA_TEST_MAIN(MenuBarPanelTest)
#include "MenuBarPanelTest.moc"
