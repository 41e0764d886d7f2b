#include "support/TestMain.h"
#include "models/ApplicationsModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "support/FakeRunningApps.h"
#include "support/FakeThumbnailer.h"
#include "support/Latch.h"
#include "support/TempHome.h"
#include "platform/HomeFolder.h"
#include "support/TestScheduler.h"

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <mutex>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

struct FakeApp {
  std::string name;
  std::int64_t bundleBytes = 0;
  std::vector<AppPart> leftovers;
  std::optional<std::chrono::system_clock::time_point> lastOpened;

  std::string path() const { return "/apps/" + name + ".app"; }
  std::string bundleID() const { return "org.example." + name; }
};

// What the fake engine was asked to remove, in order.
struct Removals {
  std::mutex mutex;
  std::vector<std::vector<std::string>> bundleCalls;
  std::vector<std::vector<std::string>> trashCalls;
  std::set<std::string> refusedBundles;
  std::set<std::string> vanished;
};

ApplicationServices fakeServices(const std::vector<FakeApp>& apps, std::shared_ptr<Removals> removals) {
  ApplicationServices services;
  services.ownBundleID = [] { return std::nullopt; };
  services.hasFullDiskAccess = [](const std::string&) { return true; };
  services.listApps = [apps](const std::string&, const std::vector<std::string>&, const std::set<std::string>&) {
    std::vector<InstalledApp> listed;
    for (const auto& app : apps) listed.push_back({app.path(), app.name, app.bundleID(), {}, app.lastOpened, false});
    return listed;
  };
  std::map<std::string, std::int64_t> sizes;
  std::map<std::string, std::vector<std::string>> footprints;
  for (const auto& app : apps) {
    sizes[app.path()] = app.bundleBytes;
    for (const auto& part : app.leftovers) {
      sizes[part.path] = part.bytes;
      footprints[app.bundleID()].push_back(part.path);
    }
  }
  services.footprint = [footprints](const InstalledApp& app, const std::vector<InstalledApp>&, const std::string&, bool) {
    const auto found = footprints.find(app.bundleID);
    auto paths = found == footprints.end() ? std::vector<std::string>{} : found->second;
    for (const auto& launcher : app.launchers)  // as the engine adds them: once
      if (std::find(paths.begin(), paths.end(), launcher) == paths.end()) paths.push_back(launcher);
    return paths;
  };
  services.measure = [sizes](const std::string& path) { return sizes.at(path); };
  services.installedSize = [](const InstalledApp&) { return std::optional<std::int64_t>(); };
  services.removeApps = [removals](const PathGuard&, const std::vector<InstalledApp>& apps) {
    std::lock_guard lock(removals->mutex);
    std::vector<std::string> bundles;
    for (const auto& app : apps) bundles.push_back(app.path);
    removals->bundleCalls.push_back(bundles);
    CleanReport report;
    for (const auto& bundle : bundles) {
      if (removals->refusedBundles.contains(bundle))
        report.failures.push_back({bundle, "refused"});
      else
        ++report.removed;
    }
    return report;
  };
  services.trashLeftovers = [removals](const PathGuard&, const std::vector<std::string>& paths) {
    std::lock_guard lock(removals->mutex);
    removals->trashCalls.push_back(paths);
    TrashOutcome outcome;
    for (const auto& path : paths) (removals->vanished.contains(path) ? outcome.vanished : outcome.moved).push_back(path);
    return outcome;
  };
  return services;
}

std::vector<std::string> namesOf(const std::vector<InstalledApp>& apps) {
  std::vector<std::string> names;
  for (const auto& app : apps) names.push_back(app.name);
  return names;
}

std::chrono::system_clock::time_point day(int n) { return std::chrono::system_clock::time_point{n * 24h}; }

// A model over fake apps, scanned and ready.
struct ApplicationsFixture {
  explicit ApplicationsFixture(std::vector<FakeApp> apps, std::string home = "/home/nobody-here")
      : removals(std::make_shared<Removals>()),
        running(std::make_shared<test::FakeRunningApps>()),
        model(fakeServices(apps, removals), running, std::make_shared<test::FakeThumbnailer>(), scheduler,
              std::move(home)) {
    model.onRemoved = [this](const CleanupRecord& record) { records.push_back(record); };
  }

  void scan() {
    model.scan();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
  }

  void select(std::set<std::string> paths) { model.setSelection(std::move(paths)); }

  // Runs an uninstall to its end, passing virtual time whenever the run waits on it.
  void uninstall() {
    model.uninstall();
    QDeadlineTimer deadline(30'000);
    while (model.phase() == ApplicationsModel::Phase::removing && !deadline.hasExpired()) {
      if (scheduler.pending() > 0)
        scheduler.advance(250ms);
      else
        QTest::qWait(1);
    }
    QVERIFY(model.phase() == ApplicationsModel::Phase::ready);
  }

  std::shared_ptr<Removals> removals;
  std::shared_ptr<test::FakeRunningApps> running;
  TestScheduler scheduler;
  ApplicationsModel model;
  std::vector<CleanupRecord> records;
};

FakeApp app(std::string name, std::int64_t bytes, std::vector<AppPart> leftovers = {},
            std::optional<std::chrono::system_clock::time_point> opened = std::nullopt) {
  return {std::move(name), bytes, std::move(leftovers), opened};
}

}  // namespace

Q_DECLARE_METATYPE(std::vector<FakeApp>)

class ApplicationsModelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void sortOrders_data() {
    QTest::addColumn<std::vector<FakeApp>>("apps");
    QTest::addColumn<int>("order");
    QTest::addColumn<std::vector<std::string>>("expected");
    const std::vector<FakeApp> sized{app("A", 10), app("B", 30), app("C", 10), app("D", 20)};
    QTest::newRow("size, ties keep list order") << sized << int(ApplicationsModel::Order::size)
                                                << std::vector<std::string>{"B", "D", "A", "C"};
    QTest::newRow("name keeps list order") << sized << int(ApplicationsModel::Order::name)
                                           << std::vector<std::string>{"A", "B", "C", "D"};
    const std::vector<FakeApp> opened{app("A", 1, {}, day(5)), app("B", 1), app("C", 1, {}, day(2)),
                                      app("D", 1, {}, day(5)), app("E", 1)};
    QTest::newRow("last opened: never first, oldest next, ties stable")
        << opened << int(ApplicationsModel::Order::lastOpened) << std::vector<std::string>{"B", "E", "C", "A", "D"};
  }

  void sortOrders() {
    QFETCH(std::vector<FakeApp>, apps);
    QFETCH(int, order);
    QFETCH(std::vector<std::string>, expected);
    ApplicationsFixture fixture(apps);
    fixture.scan();
    fixture.model.setOrder(ApplicationsModel::Order(order));
    QCOMPARE(namesOf(fixture.model.sortedApps()), expected);
  }

  void launchersLeaveWithTheAppOnceAndItsIconIsTheEntrys() {
    auto services = fakeServices({app("Tool", 5, {{"/home/x/.config/Tool", 3}})}, std::make_shared<Removals>());
    const std::string entry = "/home/x/.local/share/applications/tool.desktop";
    const auto list = services.listApps;
    services.listApps = [list, entry](const std::string& home, const std::vector<std::string>& folders,
                                      const std::set<std::string>& excluding) {
      auto apps = list(home, folders, excluding);
      apps[0].launchers = {"/home/x/.config/Tool", entry};
      apps[0].icon = "tool-icon";
      return apps;
    };
    const auto measure = services.measure;
    services.measure = [measure, entry](const std::string& path) { return path == entry ? 1 : measure(path); };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/x");
    model.scan();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(model.parts().at("/apps/Tool.app"),
             (std::vector<AppPart>{{"/apps/Tool.app", 5}, {"/home/x/.config/Tool", 3}, {entry, 1}}));
    QCOMPARE(model.icons().at("/apps/Tool.app").text("asked"), QStringLiteral("tool-icon"));
  }

  // Settings that only the app's name found are a guess: offered unticked, and unticked again
  // whenever the sheet opens anew. Caches and what the identifier found stay ticked.
  void settingsFoundByNameAloneStartUnticked() {
    const std::string home = "/home/x";
    ApplicationsFixture fixture({app("Tool", 5, {{home + "/.config/Tool", 30}, {home + "/.cache/Tool", 20},
                                                 {home + "/.config/org.example.Tool", 10}}),
                                 app("Other", 1)},
                                home);
    fixture.scan();
    const std::set<std::string> guessed{home + "/.config/Tool"};
    QCOMPARE(fixture.model.keptParts(), guessed);
    fixture.select({"/apps/Tool.app"});
    QCOMPARE(fixture.model.selectedBytes(), std::int64_t{5 + 20 + 10});
    fixture.model.setKeptParts({});
    fixture.model.resetKeptParts();
    QCOMPARE(fixture.model.keptParts(), guessed);
    fixture.select({"/apps/Other.app"});
    fixture.uninstall();
    QCOMPARE(fixture.model.keptParts(), guessed);
  }

  // The system's apps show their package's size, or none: never their desktop entry's.
  void systemAppsShowTheirPackagesSizeOrNone() {
    auto services = fakeServices({}, std::make_shared<Removals>());
    const InstalledApp sized{"/usr/share/applications/code.desktop", "Code", "code", {}, {}, true, AppKind::systemPackage};
    const InstalledApp unsized{"/usr/share/applications/vim.desktop", "Vim", "vim", {}, {}, true, AppKind::systemPackage};
    services.listApps = [=](const std::string&, const std::vector<std::string>&, const std::set<std::string>&) {
      return std::vector<InstalledApp>{sized, unsized};
    };
    services.installedSize = [](const InstalledApp& app) {
      return app.bundleID == "code" ? std::optional<std::int64_t>(400'000'000) : std::nullopt;
    };
    services.measure = [](const std::string&) -> std::int64_t { return 4096; };
    services.footprint = [](const InstalledApp&, const std::vector<InstalledApp>&, const std::string&, bool) {
      return std::vector<std::string>{"/home/x/.config/Code"};
    };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/x");
    model.scan();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(model.parts().at(sized.path), (std::vector<AppPart>{{sized.path, 400'000'000}}));
    QCOMPARE(model.bytes(sized), std::optional<std::int64_t>(400'000'000));
    QCOMPARE(model.bytes(unsized), std::nullopt);
  }

  // A program unpacked in the home leaves as its whole folder: measured whole, moved whole.
  void anUnpackedProgramIsMeasuredAndMovedAsItsFolder() {
    auto removals = std::make_shared<Removals>();
    auto services = fakeServices({}, removals);
    InstalledApp tool{"/home/x/opt/tool/bin/tool", "Tool", "tool", {}, {}, false, AppKind::program};
    tool.folder = "/home/x/opt/tool";
    services.listApps = [=](const std::string&, const std::vector<std::string>&, const std::set<std::string>&) {
      return std::vector<InstalledApp>{tool};
    };
    services.measure = [](const std::string& path) -> std::int64_t { return path == "/home/x/opt/tool" ? 50 << 20 : 4096; };
    services.footprint = [](const InstalledApp&, const std::vector<InstalledApp>&, const std::string&, bool) {
      return std::vector<std::string>{"/home/x/.cache/tool"};
    };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/x");
    model.scan();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(model.parts().at(tool.path),
             (std::vector<AppPart>{{"/home/x/opt/tool", 50 << 20}, {"/home/x/.cache/tool", 4096}}));
    model.setSelection({tool.path});
    model.setKeptParts({"/home/x/opt/tool"});  // the app itself always goes
    QCOMPARE(model.selectedBytes(), std::int64_t{(50 << 20) + 4096});
    model.uninstall();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(removals->trashCalls, (std::vector<std::vector<std::string>>{{"/home/x/.cache/tool"}}));
    QCOMPARE(model.summary()->trashed, std::int64_t{(50 << 20) + 4096});
  }

  void unmeasuredAppsSortLastAndAddNothing() {
    auto services = fakeServices({app("Small", 5), app("Big", 50), app("Unmeasured", 0)}, std::make_shared<Removals>());
    auto gate = std::make_shared<test::Latch>();
    const auto measure = services.measure;
    services.measure = [measure, gate](const std::string& path) {
      if (path.find("Unmeasured") != std::string::npos) gate->wait();
      return measure(path);
    };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/x");
    model.scan();
    QTRY_COMPARE(model.parts().size(), size_t{2});
    QCOMPARE(namesOf(model.sortedApps()), (std::vector<std::string>{"Big", "Small", "Unmeasured"}));
    QVERIFY(!model.bytes(model.apps()[2]).has_value());
    model.setSelection({"/apps/Unmeasured.app", "/apps/Small.app"});
    QCOMPARE(model.selectedBytes(), std::int64_t{5});
    gate->open();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
  }

  void footprintsAtMostFourInFlight() {
    std::vector<FakeApp> apps;
    for (char c = 'A'; c <= 'G'; ++c) apps.push_back(app(std::string(1, c), 1, {{"/lib/" + std::string(1, c), 0}}));
    auto services = fakeServices(apps, std::make_shared<Removals>());
    struct Load {
      std::atomic<int> now{0}, most{0}, started{0};
      std::map<std::string, test::Latch> gates;
    };
    auto load = std::make_shared<Load>();
    for (const auto& a : apps) load->gates[a.bundleID()];
    const auto footprint = services.footprint;
    services.footprint = [footprint, load](const InstalledApp& app, const std::vector<InstalledApp>& listed,
                                           const std::string& h, bool c) {
      const int inFlight = ++load->now;
      ++load->started;
      for (int seen = load->most; inFlight > seen && !load->most.compare_exchange_weak(seen, inFlight);) {}
      load->gates.at(app.bundleID).wait();
      --load->now;
      return footprint(app, listed, h, c);
    };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/x");
    QSignalSpy partsSpy(&model, &ApplicationsModel::partsChanged);
    model.scan();
    QTRY_COMPARE(load->started.load(), 4);
    for (std::size_t i = 0; i < apps.size(); ++i) {
      QCOMPARE(model.parts().size(), i);
      load->gates.at(apps[i].bundleID()).open();
      QTRY_COMPARE(model.parts().size(), i + 1);
    }
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(load->most.load(), 4);
    QCOMPARE(partsSpy.count(), int(apps.size()));  // one per app, as each arrives
    const std::vector<AppPart> first{{"/apps/A.app", 1}, {"/lib/A", 0}};
    QCOMPARE(model.parts().at("/apps/A.app"), first);  // a 0-byte part still counts
  }

  void selectedBytesLeavesKeptPartsButNeverTheBundle() {
    ApplicationsFixture fixture({app("A", 100, {{"/lib/a1", 10}, {"/lib/a2", 20}}), app("B", 1000, {{"/lib/b1", 5}})});
    fixture.scan();
    fixture.select({"/apps/A.app"});
    QCOMPARE(fixture.model.selectedBytes(), std::int64_t{130});
    fixture.model.setKeptParts({"/lib/a2", "/apps/A.app", "/lib/b1"});
    QCOMPARE(fixture.model.selectedBytes(), std::int64_t{110});
    fixture.select({"/apps/A.app", "/apps/B.app", "/apps/Gone.app"});
    QCOMPARE(fixture.model.selectedBytes(), std::int64_t{1110});
    QCOMPARE(namesOf(fixture.model.selectedApps()), (std::vector<std::string>{"B", "A"}));
  }

  void foldersAndGuardFollowTheHome() {
    const std::string real = sys::homeFolder();
    ApplicationsFixture atHome({}, real);
    QCOMPARE(atHome.model.folders(), (std::vector<std::string>{"/Applications", real + "/Applications"}));
    QCOMPARE(atHome.model.guardian().systemApplications(), PathGuard::normalize("/Applications"));
    test::TempHome other;
    ApplicationsFixture elsewhere({}, other.root());
    QCOMPARE(elsewhere.model.folders(), std::vector<std::string>{other.root() + "/Applications"});
    QCOMPARE(elsewhere.model.guardian().systemApplications(), PathGuard::normalize(other.root() + "/Applications"));
  }

  void theProgramItselfIsNotListed() {
    test::TempHome home;
    for (const auto& [name, id] : std::vector<std::pair<std::string, std::string>>{
             {"Tidra", "org.tidra.Tidra"}, {"Editor", "org.example.Editor"}}) {
      plist_t info = plist_new_dict();
      plist_dict_set_item(info, "CFBundleIdentifier", plist_new_string(id.c_str()));
      home.plist("Applications/" + name + ".app/Contents/Info.plist", info);
    }
    home.file("Library/Caches/org.example.Editor/cache.db", 8192);
    auto services = ApplicationServices::live();
    services.ownBundleID = [] { return std::optional<std::string>("org.tidra.Tidra"); };
    TestScheduler scheduler;
    ApplicationsModel model(services, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, home.root());
    model.scan();
    QTRY_VERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(namesOf(model.apps()), std::vector<std::string>{"Editor"});
    const auto& parts = model.parts().at(home.path("Applications/Editor.app"));
    QCOMPARE(parts.size(), size_t{2});
    QCOMPARE(parts[1].path, home.path("Library/Caches/org.example.Editor"));
    QVERIFY(parts[1].bytes >= 8192);
    QCOMPARE(test::FakeThumbnailer::madeBy(model.icons().at(parts[0].path)), QString("appIcon"));
  }

  void scanIsIgnoredWhileBusyAndRescanKeepsChoices() {
    ApplicationsFixture fixture({app("A", 1, {{"/lib/a", 1}}), app("B", 2)});
    fixture.scan();
    fixture.select({"/apps/A.app"});
    fixture.model.setKeptParts({"/lib/a"});
    fixture.model.setOrder(ApplicationsModel::Order::name);
    fixture.model.scan();
    QVERIFY(fixture.model.apps().empty() && fixture.model.parts().empty() && fixture.model.selection().empty());
    QSignalSpy phases(&fixture.model, &ApplicationsModel::phaseChanged);
    fixture.model.scan();  // while scanning
    QCOMPARE(phases.count(), 0);
    QTRY_VERIFY(fixture.model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(fixture.model.keptParts(), std::set<std::string>{"/lib/a"});
    QVERIFY(fixture.model.order() == ApplicationsModel::Order::name);
    QCOMPARE(fixture.model.icons().size(), size_t{2});
  }

  void noAppsEndsReady() {
    ApplicationsFixture fixture({});
    fixture.scan();
    QVERIFY(fixture.model.apps().empty() && fixture.model.parts().empty());
  }

  void orderRawValues() {
    for (auto order : {ApplicationsModel::Order::size, ApplicationsModel::Order::lastOpened,
                       ApplicationsModel::Order::name})
      QVERIFY(ApplicationsModel::orderFrom(ApplicationsModel::rawValue(order)) == order);
    QCOMPARE(ApplicationsModel::rawValue(ApplicationsModel::Order::lastOpened), QString("Last Opened"));
    QVERIFY(!ApplicationsModel::orderFrom("size").has_value());
  }

  void anAppStillOpenAfterTenSecondsStays() {
    ApplicationsFixture fixture({app("Busy", 100, {{"/lib/busy", 1}}), app("Idle", 10, {{"/lib/idle", 1}}),
                     app("Polite", 20)});
    fixture.scan();
    fixture.running->run("/apps/Busy.app", 41, true);
    fixture.running->run("/apps/Polite.app", 42);
    fixture.select({"/apps/Busy.app", "/apps/Idle.app", "/apps/Polite.app"});
    fixture.model.uninstall();
    QTRY_VERIFY(fixture.scheduler.pending() == 1);
    fixture.scheduler.advance(9750ms);  // 39 waits: still asking
    QVERIFY(fixture.model.phase() == ApplicationsModel::Phase::removing);
    QCOMPARE(*fixture.model.removingName(), QString("Busy"));
    fixture.uninstall();
    const auto& summary = *fixture.model.summary();
    QCOMPARE(summary.apps, (std::vector<std::string>{"Polite", "Idle"}));
    QCOMPARE(summary.trashed, std::int64_t{31});
    QCOMPARE(summary.failures, (std::vector<CleanReport::Failure>{
                                   {"/apps/Busy.app", "Busy is still open. Quit it, then try again."}}));
    QCOMPARE(fixture.running->quitRequests(), (std::vector<pid_t>{41, 42}));
    QCOMPARE(namesOf(fixture.model.apps()), std::vector<std::string>{"Busy"});
    QCOMPARE(fixture.model.selection(), std::set<std::string>{"/apps/Busy.app"});
    QVERIFY(fixture.model.parts().contains("/apps/Busy.app"));
    QCOMPARE(fixture.removals->bundleCalls, (std::vector<std::vector<std::string>>{{"/apps/Polite.app", "/apps/Idle.app"}}));
  }

  void severalAppsGoInOneRemoverCallAndOneRecord() {
    ApplicationsFixture fixture({app("A", 1), app("B", 3), app("C", 2)});
    fixture.scan();
    fixture.select({"/apps/A.app", "/apps/B.app", "/apps/C.app"});
    QSignalSpy names(&fixture.model, &ApplicationsModel::removingNameChanged);
    fixture.uninstall();
    QCOMPARE(fixture.removals->bundleCalls,
             (std::vector<std::vector<std::string>>{{"/apps/B.app", "/apps/C.app", "/apps/A.app"}}));
    QCOMPARE(fixture.records.size(), size_t{1});
    const auto& record = fixture.records[0];
    QCOMPARE(record.source, std::string("Applications"));
    QCOMPARE(record.items, (std::vector<std::string>{"B", "C", "A"}));
    QCOMPARE(record.freedBytes, std::int64_t{6});
    QCOMPARE(record.failures, std::int64_t{0});
    QVERIFY(fixture.model.apps().empty());
    // Each name while quitting, the count while the bundles move, each name again, then none.
    QCOMPARE(names.count(), 3 + 1 + 3 + 1);
    QVERIFY(!fixture.model.removingName().has_value());
  }

  void keptAndVanishedLeftoversAreNotCounted() {
    ApplicationsFixture fixture({app("A", 100, {{"/lib/keep", 10}, {"/lib/go", 20}, {"/lib/vanished", 40}})});
    fixture.scan();
    fixture.removals->vanished.insert("/lib/vanished");
    fixture.select({"/apps/A.app"});
    fixture.model.setKeptParts({"/lib/keep"});
    fixture.uninstall();
    QCOMPARE(fixture.removals->trashCalls, (std::vector<std::vector<std::string>>{{"/lib/go", "/lib/vanished"}}));
    QCOMPARE(fixture.model.summary()->trashed, std::int64_t{120});
    QCOMPARE(fixture.records.at(0).freedBytes, std::int64_t{120});
    QVERIFY(fixture.model.keptParts().empty());
  }

  void anAppWithoutLeftoversStillGetsItsTrashStep() {
    ApplicationsFixture fixture({app("A", 7)});
    fixture.scan();
    fixture.select({"/apps/A.app"});
    fixture.uninstall();
    QCOMPARE(fixture.removals->trashCalls, std::vector<std::vector<std::string>>{{}});
    QCOMPARE(fixture.model.summary()->trashed, std::int64_t{7});
  }

  void nothingRemovedMakesNoRecord() {
    ApplicationsFixture fixture({app("A", 1, {{"/lib/a", 1}})});
    fixture.scan();
    fixture.removals->refusedBundles.insert("/apps/A.app");
    fixture.select({"/apps/A.app"});
    fixture.model.setKeptParts({"/lib/a"});
    fixture.uninstall();
    QVERIFY(fixture.records.empty());
    QCOMPARE(*fixture.model.summary(),
             (UninstallSummary{{}, 0, {{"/apps/A.app", "refused"}}}));
    QVERIFY(fixture.removals->trashCalls.empty());
    QVERIFY(fixture.model.keptParts().empty());
    QCOMPARE(namesOf(fixture.model.apps()), std::vector<std::string>{"A"});
  }

  void aSecondUninstallWhileOneRunsIsIgnored() {
    ApplicationsFixture fixture({app("A", 1), app("B", 1)});
    fixture.scan();
    fixture.select({"/apps/A.app"});
    fixture.model.uninstall();
    fixture.select({"/apps/B.app"});
    fixture.model.uninstall();
    fixture.model.scan();
    QTRY_VERIFY(fixture.model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(fixture.removals->bundleCalls, std::vector<std::vector<std::string>>{{"/apps/A.app"}});
    QCOMPARE(fixture.records.size(), size_t{1});
  }

  void uninstallNeedsASelection() {
    ApplicationsFixture fixture({app("A", 1)});
    fixture.scan();
    fixture.model.uninstall();
    QVERIFY(fixture.model.phase() == ApplicationsModel::Phase::ready);
    QVERIFY(!fixture.model.summary().has_value());
  }

  void demoScanPublishesTheListThenEachFootprint() {
    Demo::decide(true);
    TestScheduler scheduler;
    ApplicationServices untouched;  // the demo must call no engine entry
    ApplicationsModel model(untouched, std::make_shared<test::FakeRunningApps>(),
                            std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/someone");
    const auto demo = DemoMac::installedApps("/home/someone", scheduler.now());
    QVERIFY(demo.size() >= 2);
    model.scan();
    scheduler.advance(499ms);
    QVERIFY(model.apps().empty());
    scheduler.advance(1ms);
    QCOMPARE(model.apps().size(), demo.size());
    QVERIFY(std::is_sorted(model.apps().begin(), model.apps().end(), [](const auto& a, const auto& b) {
      return QString::fromStdString(a.name).compare(QString::fromStdString(b.name), Qt::CaseInsensitive) < 0;
    }));
    QVERIFY(model.hasFullDiskAccess());
    QCOMPARE(model.icons().size(), demo.size());
    scheduler.advance(40ms);
    QCOMPARE(model.parts().size(), size_t{1});
    const auto& first = model.parts().at(demo[0].app.path);
    QCOMPARE(first.size(), demo[0].parts.size());
    QCOMPARE(first[0].path, demo[0].app.path);
    QCOMPARE(first[0].bytes, demo[0].parts[0].bytes);
    scheduler.advance(40ms * int(demo.size() - 1));
    QVERIFY(model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(model.parts().size(), demo.size());
  }

  void demoUninstallTouchesNothing() {
    ApplicationsFixture fixture({app("A", 100, {{"/lib/a", 10}, {"/lib/b", 1}}), app("B", 5)});
    fixture.scan();
    Demo::decide(true);
    fixture.running->run("/apps/A.app", 50, true);
    fixture.select({"/apps/A.app", "/apps/B.app"});
    fixture.model.setKeptParts({"/lib/b"});
    fixture.model.uninstall();
    fixture.scheduler.advance(399ms);
    QVERIFY(fixture.model.apps().size() == 2);
    fixture.scheduler.advance(1ms);
    QCOMPARE(namesOf(fixture.model.apps()), std::vector<std::string>{"B"});
    fixture.scheduler.advance(400ms);
    QVERIFY(fixture.model.phase() == ApplicationsModel::Phase::ready);
    QCOMPARE(*fixture.model.summary(), (UninstallSummary{{"A", "B"}, 115, {}}));
    QVERIFY(fixture.removals->bundleCalls.empty() && fixture.removals->trashCalls.empty());
    QVERIFY(fixture.running->quitRequests().empty());
    QCOMPARE(fixture.records.size(), size_t{1});
    QCOMPARE(fixture.records[0].date, fixture.scheduler.now());
  }
};

TIDRA_TEST_MAIN(ApplicationsModelTest)
#include "ApplicationsModelTest.moc"
