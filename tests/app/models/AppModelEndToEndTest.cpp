#include "support/TestMain.h"
#include "models/AppModel.h"

#include "Demo.h"
#include "support/TestScheduler.h"
#include "services/TrashMove.h"
#include "models/DuplicatesModel.h"
#include "support/FakeDesktop.h"
#include "support/FileProbe.h"
#include "support/CatalogFixture.h"
#include "support/TempHome.h"

#include <QTest>

#include <filesystem>
#include <latch>
#include <memory>
#include <set>

#include <sys/stat.h>

using namespace tidra;

// The real engine under the model, on a fixture home: scan, clean, and what is left on disk.
class AppModelEndToEndTest : public QObject {
  Q_OBJECT

private slots:
  void scanAndCleanAFixtureHome() {
    Demo::decide(false);
    test::TempHome home;
    home.file("Library/Caches/pip/http/one.whl", 300'000);
    home.file("Library/Caches/pip/http/two.whl", 200'000);
    home.file("Library/Caches/go-build/00/obj", 100'000);
    home.file(".local/share/kraftkit/runtime/oci/image.tar", 50'000);
    home.file("Documents/thesis.txt", 10'000);
    TestScheduler scheduler;
    AppModel model(test::quietEnvironment(home.root()), AppServices::live(), test::fakeDesktop(), scheduler);

    model.scan();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    QCOMPARE(test::idsOf(model.selectedItems()), (std::vector<std::string>{"pip.cache", "go.buildCache"}));
    QVERIFY(model.sizes().at("pip.cache").bytes >= 500'000);
    const auto expected = model.safeBytes();

    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    namespace fs = std::filesystem;
    QVERIFY(!fs::exists(home.path("Library/Caches/pip")));
    QVERIFY(!fs::exists(home.path("Library/Caches/go-build")));
    QVERIFY(fs::exists(home.path(".local/share/kraftkit/runtime/oci/image.tar")));
    QVERIFY(fs::exists(home.path("Documents/thesis.txt")));

    QVERIFY(model.cleanSummary()->failures.empty());
    QCOMPARE(model.cleanSummary()->freed, expected);
    const auto stored = CleanupHistory(home.root()).load();
    QCOMPARE(stored.size(), size_t{1});
    QCOMPARE(stored.front().source, std::string("Cleanup"));
    QCOMPARE(stored.front().freedBytes, expected);
    QCOMPARE(stored.front().items, (std::vector<std::string>{"pip cache", "Go build cache"}));
    QCOMPARE(model.records(), stored);
    QVERIFY(model.disk().has_value());
  }

  // One clean moves an installer to the Trash and empties the Trash: the installer stays
  // recoverable, a file another screen trashed while the confirmation was open stays too, and
  // the figures are what left the disk.
  void theTrashLosesOnlyWhatTheConfirmationShowed() {
    Demo::decide(false);
    test::TempHome home;
    home.file("Downloads/tool.iso", 21'000'000);
    home.file(".local/share/Trash/files/old.bin", 741'000);
    home.text(".local/share/Trash/info/old.bin.trashinfo", "[Trash Info]\nPath=/x/old.bin\n");
    const auto late = home.file("Documents/late.bin", 300'000);
    TestScheduler scheduler;
    AppModel model(test::quietEnvironment(home.root()), AppServices::live(), test::fakeDesktop(), scheduler);
    model.scan();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    const auto shown = model.sizes().at("trash").bytes;
    QVERIFY(shown >= 741'000);
    model.setSelection({"download.tool.iso", "trash"});

    model.setConfirmingClean(true);
    const PathGuard guardian(home.root(), "/Applications");
    QCOMPARE(trashEach(guardian, {late}).moved, std::vector<std::string>{late});
    model.record({scheduler.now(), "Large Files", 300'000, {"late.bin"}, 0}, true);
    model.setConfirmingClean(false);
    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);

    namespace fs = std::filesystem;
    QVERIFY(!fs::exists(home.path(".local/share/Trash/files/old.bin")));
    QVERIFY(!fs::exists(home.path(".local/share/Trash/info/old.bin.trashinfo")));
    QVERIFY(fs::exists(home.path(".local/share/Trash/files/tool.iso")));
    QVERIFY(fs::exists(home.path(".local/share/Trash/files/late.bin")));
    QVERIFY(model.cleanSummary()->failures.empty());
    QCOMPARE(model.cleanSummary()->freed, shown);
    QVERIFY(model.cleanSummary()->trashed >= 21'000'000);
    // Measured again after the clean: what the Trash holds now.
    QTRY_VERIFY_WITH_TIMEOUT(model.sizes().at("trash").bytes >= 21'300'000, 30'000);
  }

  // A file Tidra moved to the Trash counts when moved, not again when Tidra empties the Trash;
  // a Trash entry or a cache file with a link elsewhere frees nothing; the total is what left
  // the disk plus what Tidra moved that is still in the Trash.
  void everyByteCountedOnceAndOnlyWhenItLeaves() {
    Demo::decide(false);
    test::TempHome home;
    const auto video = home.file("Videos/clip.mkv", 1'200'000);
    const auto old = home.file(".local/share/Trash/files/old.bin", 741'000);
    home.text(".local/share/Trash/info/old.bin.trashinfo", "[Trash Info]\nPath=/x/old.bin\n");
    home.file("Projects/site/backup.bin", 500'000);
    home.hardlink(".local/share/Trash/files/backup.bin", "Projects/site/backup.bin");
    home.text(".local/share/Trash/info/backup.bin.trashinfo", "[Trash Info]\nPath=/x/backup.bin\n");
    const auto ownCache = home.file(".bun/install/cache/own.tgz", 300'000);
    home.file(".bun/install/cache/shared.js", 200'000);
    home.hardlink("Projects/site/node_modules/shared.js", ".bun/install/cache/shared.js");
    const std::int64_t videoBytes = test::allocated(video), oldBytes = test::allocated(old);
    const std::int64_t ownBytes = test::allocated(ownCache);
    TestScheduler scheduler;
    AppModel model(test::quietEnvironment(home.root()), AppServices::live(), test::fakeDesktop(), scheduler);

    // Moved the way Large Files moves: the record says which entries it put in the Trash.
    const PathGuard guardian(home.root(), "/Applications");
    const auto outcome = trashEach(guardian, {video});
    QCOMPARE(outcome.movedFiles.size(), size_t{1});
    CleanupRecord moved{scheduler.now(), "Large Files", videoBytes, {"clip.mkv"}, 0};
    moved.trashedBytes = moved.freedBytes;
    moved.trashedFiles = outcome.movedFiles;
    model.record(moved, true);

    model.scan();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    std::int64_t records = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.path(".local/share/Trash/info")))
      records += test::allocated(entry.path());
    QCOMPARE(model.sizes().at("trash").bytes, videoBytes + oldBytes + records);
    QCOMPARE(model.sizes().at("bun.cache").bytes, ownBytes);
    const auto videoRecord = test::allocated(home.path(".local/share/Trash/info/clip.mkv.trashinfo"));
    model.setSelection({"trash", "bun.cache"});
    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);

    QVERIFY(std::filesystem::exists(home.path("Projects/site/backup.bin")));
    QVERIFY(std::filesystem::exists(home.path("Projects/site/node_modules/shared.js")));
    const auto stored = CleanupHistory(home.root()).load();
    QCOMPARE(stored.size(), size_t{2});
    QCOMPARE(stored.front().freedBytes, videoBytes + oldBytes + records + ownBytes);
    // The video's record came with its move and left with it: the emptying recounts both.
    QCOMPARE(stored.front().recountedBytes, videoBytes + videoRecord);
    QCOMPARE(CleanupHistory::totalOf(stored), videoBytes + oldBytes + records - videoRecord + ownBytes);
  }

  // As a user goes: a large file and a copy move to the Trash through their screens' models,
  // one of them a file another link keeps, Cleanup empties the Trash, and a later move stays
  // there. The history's total is what left the home plus what Tidra moved that is still in
  // the Trash (with its ".trashinfo" record), each byte once.
  void theTotalIsWhatLeftPlusWhatTidraKeepsInTheTrash() {
    Demo::decide(false);
    test::TempHome home;
    const auto clip = home.file("Videos/clip.mkv", 2'000'000);
    const auto shared = home.file("Videos/shared.mkv", 1'500'000);
    home.hardlink("Backup/shared.mkv", "Videos/shared.mkv");
    const auto later = home.file("Videos/later.mkv", 900'000);
    const std::string copy(1'300'000, 'c');
    home.text("Documents/report.bin", copy);
    home.text("Downloads/report.bin", copy);
    home.file(".local/share/Trash/files/old.bin", 741'000);
    home.text(".local/share/Trash/info/old.bin.trashinfo", "[Trash Info]\nPath=/x/old.bin\n");
    const auto before = homeBytes(home.root());

    auto services = AppServices::live();
    std::vector<LargeFile> found{{clip, test::allocated(clip), {}}, {shared, test::allocated(shared), {}, true},
                                 {later, test::allocated(later), {}}};
    services.files.findLargeFiles = [found](const std::string&, std::int64_t, std::int64_t, const std::set<std::string>&,
                                            const LargeFileFinder::Progress&, const LargeFileFinder::Unreadable&) {
      return found;
    };
    TestScheduler scheduler;
    AppModel model(test::quietEnvironment(home.root()), services, test::fakeDesktop(), scheduler);
    model.findLargeFiles();
    QTRY_VERIFY_WITH_TIMEOUT(model.largeFilePhase() == AppModel::SearchPhase::ready, 30'000);
    model.moveToTrash({model.largeFiles().at(0), model.largeFiles().at(1)});
    QTRY_VERIFY_WITH_TIMEOUT(!model.removalsRunning(), 30'000);
    QCOMPARE(model.records().front().freedBytes, test::allocated(home.path(".local/share/Trash/files/clip.mkv")));

    auto& duplicates = model.duplicates();
    duplicates.find();
    QTRY_VERIFY_WITH_TIMEOUT(duplicates.phase() == FileSetsModel::Phase::ready, 30'000);
    duplicates.selectExtraCopies();
    QCOMPARE(duplicates.selection().size(), std::size_t{1});
    duplicates.moveToTrash();
    QTRY_VERIFY_WITH_TIMEOUT(!model.removalsRunning() && duplicates.groups().empty(), 30'000);

    model.scan();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    model.setSelection({"trash"});
    model.clean();
    QTRY_VERIFY_WITH_TIMEOUT(model.cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    QVERIFY(std::filesystem::exists(home.path("Backup/shared.mkv")));

    model.moveToTrash({model.largeFiles().at(0)});
    QTRY_VERIFY_WITH_TIMEOUT(!model.removalsRunning(), 30'000);
    const auto stillInTrash = test::allocated(home.path(".local/share/Trash/files/later.mkv")) +
                              test::allocated(home.path(".local/share/Trash/info/later.mkv.trashinfo"));

    const auto stored = CleanupHistory(home.root()).load();
    QCOMPARE(stored.size(), std::size_t{4});
    QCOMPARE(CleanupHistory::totalOf(stored), before - homeBytes(home.root()) + stillInTrash);
    QCOMPARE(CleanupHistory::totalOf(model.records()), CleanupHistory::totalOf(stored));
  }

private:
  // Space the home takes, each inode once, without Tidra's own data folder (the history).
  static std::int64_t homeBytes(const std::string& root) {
    namespace fs = std::filesystem;
    std::set<std::pair<dev_t, ino_t>> seen;
    std::int64_t total = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
      if (it->path() == fs::path(root) / ".local/share/Tidra") {
        it.disable_recursion_pending();
        continue;
      }
      struct stat status {};
      if (::lstat(it->path().c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
          seen.insert({status.st_dev, status.st_ino}).second)
        total += static_cast<std::int64_t>(status.st_blocks) * 512;
    }
    return total;
  }

  // Two Tidras on one home (separate `--home` runs, say) clean the same cache at once, each
  // having measured it first: between them the history holds its bytes once.
  void twoModelsCleaningOneCacheRecordItOnce() {
    Demo::decide(false);
    test::TempHome home;
    for (int i = 0; i < 40; ++i) home.file("Library/Caches/pip/http/" + std::to_string(i) + ".whl", 50'000);
    TestScheduler scheduler;
    auto services = AppServices::live();
    // Both removals start only once both have got that far.
    auto bothThere = std::make_shared<std::latch>(2);
    services.cleanup.perform = [live = services.cleanup.perform, bothThere](const PathGuard& guard,
                                                                             const CleanupAction& action) {
      bothThere->arrive_and_wait();
      return live(guard, action);
    };
    AppModel first(test::quietEnvironment(home.root()), services, test::fakeDesktop(), scheduler);
    AppModel second(test::quietEnvironment(home.root()), services, test::fakeDesktop(), scheduler);
    for (auto* model : {&first, &second}) {
      model->scan();
      QTRY_VERIFY_WITH_TIMEOUT(model->cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
      model->setSelection({"pip.cache"});
    }
    const auto cache = first.sizes().at("pip.cache").bytes;
    QVERIFY(cache >= 2'000'000);

    first.clean();
    second.clean();
    for (auto* model : {&first, &second})
      QTRY_VERIFY_WITH_TIMEOUT(model->cleanupPhase() == AppModel::CleanupPhase::ready, 30'000);
    QVERIFY(!std::filesystem::exists(home.path("Library/Caches/pip")));
    QCOMPARE(first.cleanSummary()->freed + second.cleanSummary()->freed, cache);
    std::int64_t recorded = 0;
    for (const auto& record : CleanupHistory(home.root()).load()) recorded += record.freedBytes;
    QCOMPARE(recorded, cache);
  }
};

TIDRA_TEST_MAIN(AppModelEndToEndTest)
#include "AppModelEndToEndTest.moc"
