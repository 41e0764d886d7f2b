#include "support/TestMain.h"
#include "MonitorFakes.h"

#include "models/NotificationResponder.h"
#include "models/Notifier.h"
#include "models/WindowOpener.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <atomic>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

const IdleServerTracker::TimePoint idleT0{1'800'000'000s};

// A tracker whose folder changes are stamped with `clock`.
IdleServerTracker trackerAt(std::shared_ptr<std::atomic<std::int64_t>> clock, FolderActivity** activity) {
  return IdleServerTracker([clock, activity] {
    auto made = std::make_unique<FolderActivity>(0ms, [clock] {
      return IdleServerTracker::TimePoint(std::chrono::seconds(clock->load()));
    });
    *activity = made.get();
    return made;
  });
}

std::int64_t secondsOf(IdleServerTracker::TimePoint time) {
  return std::chrono::duration_cast<std::chrono::seconds>(time.time_since_epoch()).count();
}

NotificationResponse response(const QString& action, QVariantMap info) { return {std::move(info), action}; }

}  // namespace

class IdleServersTest : public QObject {
  Q_OBJECT

  // The monitor with one dev server read at tick 0 and the loop running.
  static void startWith(MonitorRig& rig, std::vector<DeveloperTool> servers) {
    rig.machine->setTools(std::move(servers));
    rig.monitor->start();
    QVERIFY(rig.settled(1));
  }

private slots:
  void aServerIsTakenOnceAfterTheThreshold() {
    auto clock = std::make_shared<std::atomic<std::int64_t>>(secondsOf(idleT0));
    FolderActivity* activity = nullptr;
    auto tracker = trackerAt(clock, &activity);
    const std::vector servers{devServer("tree-1")};
    QCOMPARE(tracker.track(servers, idleT0).at("tree-1"), 0.0);
    QCOMPARE(tracker.track(servers, idleT0 + 100s).at("tree-1"), 100.0);
    QVERIFY(tracker.takeIdle(servers, 7'200s, idleT0 + 7'199s).empty());
    QCOMPARE(tracker.takeIdle(servers, 7'200s, idleT0 + 7'200s).size(), size_t(1));
    QVERIFY(tracker.takeIdle(servers, 7'200s, idleT0 + 9'000s).empty());
  }

  void aChangeInTheServersFolderMakesItBusy() {
    QTemporaryDir project;
    auto clock = std::make_shared<std::atomic<std::int64_t>>(secondsOf(idleT0));
    FolderActivity* activity = nullptr;
    auto tracker = trackerAt(clock, &activity);
    const std::vector servers{devServer("tree-1", 1'700'000'000, project.path().toStdString())};
    tracker.track(servers, idleT0);
    clock->store(secondsOf(idleT0 + 3'000s));
    activity->record({project.path().toStdString() + "/src/App.tsx"});
    QCOMPARE(tracker.track(servers, idleT0 + 3'600s).at("tree-1"), 600.0);
  }

  void theStopButtonStopsOnlyTheRunItWasAbout() {
    struct Case {
      const char* name;
      std::optional<std::int64_t> listedStart;
      std::string id;
      std::optional<double> notifiedStart;
      bool stops;
    };
    const std::vector<Case> cases = {
        {"same id and start", 1'700'000'000, "tree-1", 1'700'000'000.0, true},
        {"restarted since", 1'700'000'500, "tree-1", 1'700'000'000.0, false},
        {"both starts unknown", std::nullopt, "tree-1", std::nullopt, true},
        {"start known, notification without", 1'700'000'000, "tree-1", std::nullopt, false},
        {"notification with start, server without", std::nullopt, "tree-1", 1'700'000'000.0, false},
        {"a server that has gone", 1'700'000'000, "tree-9", 1'700'000'000.0, false},
    };
    for (const auto& c : cases) {
      MonitorRig rig;
      startWith(rig, {devServer("tree-1", c.listedStart), devServer("tree-2")});
      rig.monitor->stopIdleServer(c.id, c.notifiedStart);
      const auto expected = c.stops ? std::vector<std::string>{"tree-1"} : std::vector<std::string>{};
      QTRY_COMPARE_WITH_TIMEOUT(rig.machine->stoppedIds().size(), expected.size(), 10'000);
      QVERIFY2(rig.machine->stoppedIds() == expected, c.name);
      QVERIFY2(rig.monitor->devServers().size() == (c.stops ? 1u : 2u), c.name);
    }
  }

  void idleSettingsDecideBetweenAskingStoppingAndNothing() {
    struct Case {
      const char* name;
      bool stop;
      bool alert;
      int hours;
      // Seconds after tick 0 when the server is first reported; 0: never.
      int reportedAt;
    };
    const std::vector<Case> cases = {
        {"asks after the default two hours", false, true, 2, 7'200},
        {"0 hours count as 1", false, true, 0, 3'600},
        {"stopping wins over asking", true, true, 2, 7'200},
        {"stops without asking", true, false, 2, 7'200},
        {"both off", false, false, 2, 0},
    };
    for (const auto& c : cases) {
      MonitorRig rig;
      rig.preferences.setBool(Preference::stopIdleDevServers, c.stop);
      rig.preferences.setBool(Preference::alertWhenDevServerIsIdle, c.alert);
      rig.preferences.setInt(Preference::devServerIdleHours, c.hours);
      startWith(rig, {devServer("tree-1", 1'700'000'000, "/work/shop")});
      const int threshold = c.reportedAt ? c.reportedAt : 7'200;
      rig.scheduler.advance(std::chrono::seconds(threshold - 30));
      QVERIFY(rig.settled(2));
      QVERIFY2(rig.notifications.posted.empty(), c.name);
      QVERIFY(rig.tick());
      const auto expectedPosts = c.reportedAt ? size_t(1) : size_t(0);
      QVERIFY2(rig.notifications.posted.size() == expectedPosts, c.name);
      if (!expectedPosts) continue;
      const auto posted = rig.notifications.posted[0];
      // Stopped servers leave the list at once; the next reading lists what still runs.
      QCOMPARE(rig.monitor->devServers().empty(), c.stop);
      QVERIFY(rig.tick());
      QVERIFY2(rig.notifications.posted.size() == 1, c.name);
      QCOMPARE(posted.identifier, QStringLiteral("idle-tree-1"));
      const auto duration = c.hours == 0 ? QStringLiteral("1 hour") : QStringLiteral("2 hours");
      if (c.stop) {
        QCOMPARE(posted.title, QStringLiteral("Stopped Server tree-1"));
        QVERIFY(posted.actions.empty());
        QTRY_COMPARE(rig.machine->stoppedIds(), std::vector<std::string>{"tree-1"});
      } else {
        QCOMPARE(posted.title, QStringLiteral("Server tree-1 has been idle for ") + duration);
        QCOMPARE(posted.actions, Notifier::idleServerActions());
        QVERIFY(rig.machine->stoppedIds().empty());
      }
    }
  }

  void withBothSettingsOffNothingIsMarked_soTurningOneOnReportsAtTheNextTick() {
    MonitorRig rig;
    rig.preferences.setBool(Preference::alertWhenDevServerIsIdle, false);
    startWith(rig, {devServer("tree-1")});
    rig.scheduler.advance(10'000s);
    QVERIFY(rig.settled(2));
    QVERIFY(rig.notifications.posted.empty());
    rig.preferences.setBool(Preference::alertWhenDevServerIsIdle, true);
    QVERIFY(rig.tick());
    QCOMPARE(rig.notifications.identifiers(), std::vector<QString>{"idle-tree-1"});
  }

  void aKeptServerIsNotReportedAgainAfterItsNextIdleSpell() {
    for (const bool kept : {false, true}) {
      MonitorRig rig;
      auto server = devServer("tree-1");
      startWith(rig, {server});
      rig.scheduler.advance(7'200s);
      QVERIFY(rig.settled(2));
      QCOMPARE(rig.notifications.posted.size(), size_t(1));
      if (kept) rig.monitor->keepRunning("tree-1");
      server.clients = 1;  // someone uses it once more
      rig.machine->setTools({server});
      QVERIFY(rig.tick());
      server.clients = 0;
      rig.machine->setTools({server});
      rig.scheduler.advance(7'300s);
      QVERIFY(rig.settled(4));
      QCOMPARE(rig.notifications.posted.size(), size_t(kept ? 1 : 2));
    }
  }

  void stopIdleDaemonsEmptiesTheListAtOnce() {
    MonitorRig rig;
    startWith(rig, {buildDaemon("11", 0.2), buildDaemon("12", 1.0), buildDaemon("13", 0.9)});
    QCOMPARE(rig.monitor->idleDaemons().size(), size_t(2));
    rig.monitor->stopIdleDaemons();
    QVERIFY(rig.monitor->idleDaemons().empty());
    QTRY_COMPARE(rig.machine->stoppedIds().size(), size_t(2));
    auto stopped = rig.machine->stoppedIds();
    std::sort(stopped.begin(), stopped.end());
    QCOMPARE(stopped, (std::vector<std::string>{"11", "13"}));
  }

  void responsesReachTheMonitorOrOpenTheWindow() {
    MonitorRig rig;
    startWith(rig, {devServer("tree-1"), devServer("tree-2", std::nullopt)});
    WindowOpener opener;
    int opened = 0;
    opener.openMain = [&] { ++opened; };
    const QVariantMap tree1{{"section", "performance"}, {"server", "tree-1"}, {"started", 1'700'000'000.0}};

    respondToNotification(response("stop", tree1), *rig.monitor, *rig.model, opener);
    QTRY_COMPARE(rig.machine->stoppedIds(), std::vector<std::string>{"tree-1"});
    // A start time of the wrong type reads as none, which does not match a known start.
    respondToNotification(response("stop", {{"server", "tree-2"}, {"started", "1700000000"}}), *rig.monitor,
                          *rig.model, opener);
    QTRY_COMPARE(rig.machine->stoppedIds(), (std::vector<std::string>{"tree-1", "tree-2"}));
    QCOMPARE(opened, 0);

    rig.model->setSection(Section::overview);
    respondToNotification(response(NotificationResponse::clicked, tree1), *rig.monitor,
                          *rig.model, opener);
    QCOMPARE(rig.model->section(), std::optional(Section::performance));
    QCOMPARE(rig.model->performanceTab(), AppModel::PerformanceTab::developerTools);
    QCOMPARE(opened, 1);

    rig.model->setPerformanceTab(AppModel::PerformanceTab::apps);
    respondToNotification(response(NotificationResponse::clicked, {{"section", "cleanup"}}), *rig.monitor, *rig.model,
                          opener);
    QCOMPARE(rig.model->section(), std::optional(Section::cleanup));
    QCOMPARE(rig.model->performanceTab(), AppModel::PerformanceTab::apps);
    respondToNotification(response("stop", {{"section", "Cleanup"}}), *rig.monitor, *rig.model, opener);
    QCOMPARE(rig.model->section(), std::optional(Section::cleanup));
    QCOMPARE(opened, 3);
  }

  void theOpenerRaisesAShownMainWindowElseOpensOne() {
    MonitorRig rig;
    WindowOpener opener;
    QWidget main;
    main.setObjectName("main");
    int opened = 0;
    opener.openMain = [&] {
      ++opened;
      main.show();
    };
    opener.show(std::nullopt, *rig.model);
    QCOMPARE(opened, 1);
    QCOMPARE(WindowOpener::visibleMainWindow(), &main);
    QCOMPARE(rig.model->section(), std::optional(Section::overview));
    opener.show(Section::largeFiles, *rig.model);
    QCOMPARE(opened, 1);
    QCOMPARE(rig.model->section(), std::optional(Section::largeFiles));

    main.hide();
    opener.openMain = nullptr;
    opener.show(Section::cleanup, *rig.model);
    QVERIFY(!WindowOpener::visibleMainWindow());
    QCOMPARE(rig.model->section(), std::optional(Section::cleanup));
  }
};

TIDRA_TEST_MAIN(IdleServersTest)
#include "IdleServersTest.moc"
