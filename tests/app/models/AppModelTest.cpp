#include "support/TestMain.h"
#include "AppModelFakes.h"

#include "Demo.h"
#include "support/TempHome.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace tidra;
using namespace tidra::test;

namespace {

CleanupRecord someRecord(std::int64_t freed, std::vector<std::string> items) {
  return {std::chrono::system_clock::time_point{std::chrono::seconds{1'700'000'000}}, "Large Files", freed,
          std::move(items), 0};
}

}  // namespace

class AppModelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void newModelStartsFromInitialValues() {
    FakeModel fake;
    fake.disk->history = {someRecord(5, {"old"})};
    const auto& model = fake.make();
    QCOMPARE(model.section(), std::optional<AppModel::Section>(AppModel::Section::overview));
    QCOMPARE(model.performanceTab(), AppModel::PerformanceTab::apps);
    QVERIFY(!model.isConfirmingClean());
    QVERIFY(!model.disk() && !model.memory());
    QVERIFY(model.processes().empty() && model.developerTools().empty() && model.startupItems().empty());
    QVERIFY(model.icons().isEmpty() && model.demoGone().empty());
    QCOMPARE(model.cleanupPhase(), AppModel::CleanupPhase::idle);
    QVERIFY(model.items().empty() && model.sizes().empty() && model.selection().empty());
    QVERIFY(!model.cleanSummary() && !model.cleaningTitle());
    QVERIFY(model.hasFullDiskAccess());
    QVERIFY(model.dockerStatus() == DockerStatus{DockerStatus::NotInstalled{}});
    QCOMPARE(model.largeFilePhase(), AppModel::SearchPhase::idle);
    QVERIFY(model.largeFiles().empty() && model.trashFailures().empty());
    QCOMPARE(model.filesExamined(), 0);
    QCOMPARE(model.largeFileThreshold(), std::int64_t{500'000'000});
    QCOMPARE(model.records(), fake.disk->history);
    QVERIFY(!model.isRemoving());
  }

  void everythingWorksOnTheGivenHome() {
    TempHome home;
    FakeModel fake;
    std::string askedFolder;
    auto services = fakeCleanup(fake.disk);
    services.disk = [&](const std::string& folder) {
      askedFolder = folder;
      return std::optional<DiskUsage>(DiskUsage{100, 40});
    };
    AppModel model(quietEnvironment(home.root()), AppServices{services, {}, {}, quietProjects(), {}}, fakeDesktop(), fake.scheduler);
    QCOMPARE(model.history().file, home.root() + "/.local/share/Tidra/history.json");
    QCOMPARE(model.guardian().home(), home.root());
    QVERIFY(askedFolder.empty());  // building reads no disk figures
    model.refreshDisk();
    QCOMPARE(askedFolder, home.root());
    QVERIFY(model.disk() == DiskUsage(100, 40));
  }

  void refreshDiskNotifiesOnlyOnChange() {
    FakeModel fake;
    auto& model = fake.make();
    QSignalSpy changes(&model, &AppModel::diskChanged);
    model.refreshDisk();
    model.refreshDisk();
    fake.disk->disk = std::nullopt;  // an unreadable volume shows no figures
    model.refreshDisk();
    QCOMPARE(changes.count(), 2);
    QVERIFY(!model.disk());
  }

  // Outside demo mode the history file decides what `records` shows; the disk stays as it was.
  void recordGoesThroughTheHistoryFile() {
    TempHome home;
    FakeModel fake;
    auto services = fakeCleanup(fake.disk);
    const auto live = CleanupServices::live();
    services.loadHistory = live.loadHistory;
    int appends = 0;
    services.appendHistory = [&](const CleanupHistory& history, const CleanupRecord& record) {
      ++appends;
      return live.appendHistory(history, record);
    };
    AppModel model(quietEnvironment(home.root()), AppServices{services, {}, {}, quietProjects(), {}}, fakeDesktop(), fake.scheduler);
    model.refreshDisk();
    QSignalSpy diskChanges(&model, &AppModel::diskChanged);
    QSignalSpy recordChanges(&model, &AppModel::recordsChanged);

    model.record(someRecord(4000, {"movie.mov"}), true);
    model.record(someRecord(0, {"uninstalled.app"}), false);
    QCOMPARE(model.records(), CleanupHistory(home.root()).load());
    QCOMPARE(model.records().size(), size_t{2});
    QCOMPARE(recordChanges.count(), 2);

    // The model asks; the history keeps no record of nothing.
    model.record(someRecord(0, {}), true);
    QCOMPARE(appends, 3);
    QCOMPARE(model.records().size(), size_t{2});
    QCOMPARE(recordChanges.count(), 2);
    QCOMPARE(diskChanges.count(), 0);
  }

  // Screens write these; an equal value must not redraw them.
  void settersSkipEqualValues() {
    FakeModel fake;
    auto& model = fake.make();
    struct Case {
      const char* name;
      void (AppModel::*changed)();
      std::function<void()> write;
    };
    const std::vector<Case> cases{
        {"section", &AppModel::sectionChanged, [&] { model.setSection(AppModel::Section::cleanup); }},
        {"no section", &AppModel::sectionChanged, [&] { model.setSection(std::nullopt); }},
        {"tab", &AppModel::performanceTabChanged, [&] { model.setPerformanceTab(AppModel::PerformanceTab::startup); }},
        {"confirming", &AppModel::isConfirmingCleanChanged, [&] { model.setConfirmingClean(true); }},
        {"selection", &AppModel::selectionChanged, [&] { model.setSelection({"a"}); }},
        {"threshold", &AppModel::largeFileThresholdChanged, [&] { model.setLargeFileThreshold(100'000'000); }},
        {"failures", &AppModel::trashFailuresChanged, [&] { model.setTrashFailures({{"/x", "why"}}); }},
        {"gone", &AppModel::demoGoneChanged, [&] { model.setDemoGone({42}); }},
    };
    for (const auto& c : cases) {
      QSignalSpy spy(&model, c.changed);
      c.write();
      c.write();
      QVERIFY2(spy.count() == 1, c.name);
    }
  }

  void rawValues() {
    QCOMPARE(AppModel::rawValue(AppModel::PerformanceTab::developerTools), QStringLiteral("Developer Tools"));
    for (const auto tab : AppModel::allPerformanceTabs())
      QCOMPARE(AppModel::performanceTabFromRawValue(AppModel::rawValue(tab)), std::optional(tab));
    QVERIFY(!AppModel::performanceTabFromRawValue("apps"));
    QCOMPARE(sectionFromRawValue("largeFiles"), std::optional(AppModel::Section::largeFiles));
    QVERIFY(!sectionFromRawValue("LargeFiles"));
  }
};

TIDRA_TEST_MAIN(AppModelTest)
#include "AppModelTest.moc"
