#include "support/TestMain.h"
#include "MonitorFakes.h"

#include "Demo.h"

#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
using Pressure = MemorySnapshot::Pressure;

namespace {

ProcessGroup group(const std::string& name, std::int64_t bytes, bool system = false) {
  ProcessGroup g;
  g.id = name;
  g.name = name;
  g.memoryBytes = bytes;
  g.isSystemService = system;
  return g;
}

std::vector<std::string> names(const std::vector<ProcessGroup>& groups) {
  std::vector<std::string> list;
  for (const auto& g : groups) list.push_back(g.name);
  return list;
}

}  // namespace

class BackgroundMonitorTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void theFirstTickRunsAtOnce_andTheNextOnes30sAfterEachEnded() {
    MonitorRig rig;
    rig.monitor->start();
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(rig.notifications.prepared, 1);
    QCOMPARE(rig.machine->samplersMade.load(), 1);

    rig.scheduler.advance(29s);
    QVERIFY(rig.settled(1));
    QVERIFY(rig.tick());
    QVERIFY(rig.tick());
    QCOMPARE(rig.machine->samples.load(), 3);
  }

  void allAlertSettingsOff_prepareNothingButStillRead() {
    MonitorRig rig;
    for (const auto& key : {Preference::alertWhenMemoryIsTight, Preference::alertWhenDiskIsLow,
                            Preference::weeklyReport, Preference::alertWhenDevServerIsIdle})
      rig.preferences.setBool(key, false);
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(rig.notifications.prepared, 0);
    QVERIFY(rig.tick());
  }

  void readingsFillEveryFigure() {
    MonitorRig rig;
    rig.machine->memory = memoryAt(Pressure::warning);
    rig.machine->disk = DiskUsage{100, 40};
    rig.machine->setGroups({group("kernel", 900, true), group("Chrome", 800), group("Slack", 700),
                            group("launchd", 650, true), group("Code", 600), group("Mail", 500)});
    rig.machine->setTools({buildDaemon("11", 0.5), buildDaemon("12", 1.0), devServer("tree-3")});
    rig.monitor->refresh();
    QTRY_COMPARE(rig.readings, 1);
    QCOMPARE(rig.monitor->memory()->pressure, Pressure::warning);
    QCOMPARE(*rig.monitor->disk(), (DiskUsage{100, 40}));
    QCOMPARE(names(rig.monitor->topApps()), (std::vector<std::string>{"Chrome", "Slack", "Code"}));
    QCOMPARE(rig.monitor->idleDaemons().size(), size_t(1));
    QCOMPARE(rig.monitor->idleDaemons()[0].id, std::string("11"));
    QCOMPARE(rig.monitor->devServers().size(), size_t(1));
    QCOMPARE(rig.monitor->idleTimes().count("tree-3"), size_t(1));
    // The model's own disk figures are not the monitor's to touch.
    QVERIFY(!rig.model->disk());
  }

  void refreshesAskedForMeanwhileFoldIntoOneLaterReading() {
    MonitorRig rig;
    rig.machine->sampleLatch = std::make_shared<Latch>();
    rig.machine->setGroups({group("Old", 1)});
    QSignalSpy topApps(rig.monitor.get(), &BackgroundMonitor::topAppsChanged);
    rig.monitor->refresh();
    QTRY_COMPARE(rig.machine->sampling.load(), 1);
    // Asked for while the sampler is busy: the figures they want are newer than that sample.
    rig.machine->setGroups({group("New", 2)});
    rig.monitor->refresh();
    rig.monitor->refresh();
    rig.monitor->refresh();
    rig.machine->sampleLatch->open();
    QTRY_COMPARE(rig.readings, 2);
    QCOMPARE(rig.machine->samples.load(), 2);
    QCOMPARE(rig.machine->mostSampling.load(), 1);
    QCOMPARE(names(rig.monitor->topApps()), std::vector<std::string>{"New"});
    QCOMPARE(topApps.size(), 2);
    QCOMPARE(rig.readings, 2);
  }

  void theLoopsReadingJoinsOneThatRuns() {
    MonitorRig rig;
    rig.machine->sampleLatch = std::make_shared<Latch>();
    rig.monitor->refresh();  // the panel opened
    QTRY_COMPARE(rig.machine->sampling.load(), 1);
    rig.monitor->start();
    rig.machine->sampleLatch->open();
    QVERIFY(rig.settled(2));
    QCOMPARE(rig.machine->mostSampling.load(), 1);
  }

  void memoryAlertAfter60sOfPressure_thenNotFor2Hours() {
    MonitorRig rig;
    rig.machine->memory = memoryAt(Pressure::warning);
    rig.machine->setGroups({group("Chrome", 2LL << 30)});
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QVERIFY(rig.tick());
    QCOMPARE(rig.notifications.posted.size(), size_t(0));
    QVERIFY(rig.tick());
    QCOMPARE(rig.notifications.identifiers(), std::vector<QString>{"memory"});
    QCOMPARE(rig.notifications.posted[0].body,
             QStringLiteral("Chrome is using 2 GB. Quitting an app you are not using will help."));
    for (int i = 0; i < 10; ++i) QVERIFY(rig.tick());
    QCOMPARE(rig.notifications.posted.size(), size_t(1));
  }

  void diskAlertOncePerDayWhileLow_evenAcrossRestarts() {
    MonitorRig rig;
    rig.machine->disk = DiskUsage{100'000'000'000, 14'999'999'999};
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(rig.notifications.identifiers(), std::vector<QString>{"disk"});
    QCOMPARE(rig.notifications.posted[0].title, QStringLiteral("Your disk is nearly full"));
    rig.scheduler.advance(86'390s);  // one long tick
    QVERIFY(rig.settled(2));
    QCOMPARE(rig.notifications.posted.size(), size_t(1));
    QVERIFY(rig.tick());
    QCOMPARE(rig.notifications.identifiers(), (std::vector<QString>{"disk", "disk"}));

    // A restart does not bring it back before its day is up: when it last fired is kept in the
    // settings.
    const auto lastAlert = rig.scheduler.now();
    rig.restartMonitorAfter(1h);
    QCOMPARE(rig.notifications.posted.size(), size_t(2));
    rig.restartMonitorAfter(lastAlert + 86'400s - rig.scheduler.now());
    QCOMPARE(rig.notifications.identifiers(), (std::vector<QString>{"disk", "disk", "disk"}));
  }

  void demoModeReadsTheDemoMachineEvery3sAndPostsNothing() {
    Demo::decide(true);
    MonitorRig rig;
    rig.machine->disk = DiskUsage{100'000'000'000, 1};  // ignored in demo mode
    rig.monitor->start();
    QVERIFY(rig.settled(1));
    QCOMPARE(rig.notifications.prepared, 0);
    QCOMPARE(rig.monitor->memory()->pressure, Pressure::warning);
    QCOMPARE(rig.monitor->disk()->available, std::int64_t(31'740'000'000));
    QVERIFY(!rig.monitor->topApps().empty());
    QVERIFY(!rig.monitor->devServers().empty());
    QVERIFY(!rig.monitor->idleTimes().empty());
    rig.scheduler.advance(3s);
    QVERIFY(rig.settled(2));
    rig.scheduler.advance(3s);
    QVERIFY(rig.settled(3));
    QCOMPARE(rig.machine->samples.load(), 0);
    QVERIFY(rig.notifications.posted.empty());

    // Stopping on the demo machine forgets the processes, and the next reading shows it.
    const auto daemons = rig.monitor->idleDaemons();
    QVERIFY(!daemons.empty());
    rig.monitor->stopIdleDaemons();
    QVERIFY(rig.monitor->idleDaemons().empty());
    for (const auto pid : daemons[0].pids) QVERIFY(rig.model->demoGone().contains(pid));
    rig.scheduler.advance(3s);
    QVERIFY(rig.settled(4));
    for (const auto& daemon : rig.monitor->idleDaemons()) QVERIFY(daemon.id != daemons[0].id);
    QVERIFY(rig.machine->stoppedIds().empty());
    Demo::decide(false);
  }
};

TIDRA_TEST_MAIN(BackgroundMonitorTest)
#include "BackgroundMonitorTest.moc"
