#include "support/TestMain.h"
#include "PerformanceFakes.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "support/Latch.h"

#include "system/PrivacyAccess.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace tidra::test {
namespace {

// The finder and the Trash as the test scripts them.
struct FakeFiles {
  std::mutex mutex;
  std::vector<LargeFile> found;
  std::vector<std::set<std::string>> searches;  // the excluded folders of each search
  std::int64_t minimum = 0;
  std::int64_t limit = 0;
  Latch finderGate;
  bool holdFinder = false;
  std::set<std::string> refused;
  std::set<std::string> vanished;
  std::vector<std::vector<std::string>> trashed;  // the paths of each move
  std::shared_ptr<Latch> trashGate;
  std::atomic<int> entered{0};  // moves begun
  std::vector<std::string> unreadable;  // folders the search reports it could not read
  std::map<std::string, std::int64_t> heldNow;  // bytes on disk just before the move, where the search's no longer hold
};

FileServices fakeFiles(const std::shared_ptr<FakeFiles>& files) {
  FileServices services;
  services.findLargeFiles = [files](const std::string&, std::int64_t minimum, std::int64_t limit,
                                    const std::set<std::string>& excluding, const LargeFileFinder::Progress& progress,
                                    const LargeFileFinder::Unreadable& unreadable) {
    {
      std::lock_guard lock(files->mutex);
      files->searches.push_back(excluding);
      files->minimum = minimum;
      files->limit = limit;
    }
    if (files->holdFinder) files->finderGate.wait();
    progress(4096);
    progress(4096);
    for (const auto& folder : files->unreadable) unreadable(folder);
    std::lock_guard lock(files->mutex);
    return files->found;
  };
  services.trashFiles = [files](const PathGuard&, const std::vector<std::string>& paths) {
    ++files->entered;
    if (files->trashGate) files->trashGate->wait();
    std::lock_guard lock(files->mutex);
    files->trashed.push_back(paths);
    TrashOutcome outcome;
    for (const auto& path : paths) {
      if (files->refused.contains(path)) outcome.failures.push_back({path, "Not inside your home folder."});
      else if (files->vanished.contains(path)) outcome.vanished.push_back(path);
      else outcome.moved.push_back(path);
    }
    return outcome;
  };
  services.bytesNow = [files](const std::string& path) {
    std::lock_guard lock(files->mutex);
    const auto found = files->heldNow.find(path);
    return found != files->heldNow.end() ? found->second : std::int64_t{4'000'000'000};
  };
  return services;
}

LargeFile big(const std::string& name, std::int64_t bytes) { return {"/home/fake/" + name, bytes, {}}; }

struct LargeFilesModel : PerformanceModel {
  std::shared_ptr<FakeFiles> fileSide = std::make_shared<FakeFiles>();

  AppModel& makeWith(std::vector<LargeFile> found) {
    fileSide->found = std::move(found);
    files = fakeFiles(fileSide);
    auto& made = make();
    made.findLargeFiles();
    return made;
  }
  int trashCalls() {
    std::lock_guard lock(fileSide->mutex);
    return static_cast<int>(fileSide->trashed.size());
  }
};

std::vector<std::string> pathsOf(const std::vector<LargeFile>& files) {
  std::vector<std::string> paths;
  for (const auto& file : files) paths.push_back(file.path);
  return paths;
}

}  // namespace

class AppModelLargeFilesTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void aSearchRunsOnceAndEndsReady() {
    LargeFilesModel fake;
    fake.fileSide->holdFinder = true;
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 200'000'000)});
    model.setTrashFailures({{"/old", "earlier"}});
    model.findLargeFiles();  // ignored: one runs
    QCOMPARE(model.largeFilePhase(), AppModel::SearchPhase::searching);
    fake.fileSide->finderGate.open();

    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QCOMPARE(fake.fileSide->searches.size(), std::size_t{1});
    QCOMPARE(fake.fileSide->minimum, std::int64_t{100'000'000});
    QCOMPARE(fake.fileSide->limit, std::int64_t{1'000});
    QCOMPARE(pathsOf(model.largeFiles()), (std::vector<std::string>{"/home/fake/a.mov", "/home/fake/b.iso"}));
    QTRY_COMPARE(model.filesExamined(), 4096);
    QVERIFY(model.icons().contains("type:mov") && model.icons().contains("type:iso"));
  }

  // Each search counts the folders it could not read afresh.
  void theFoldersASearchCouldNotReadAreCounted() {
    LargeFilesModel fake;
    fake.fileSide->unreadable = {"/home/fake/locked", "/home/fake/deep/d/d"};
    auto& model = fake.makeWith({big("a.mov", 900'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QCOMPARE(model.unreadableFolders(), std::int64_t{2});
    fake.fileSide->unreadable.clear();
    fake.fileSide->holdFinder = true;
    model.findLargeFiles();
    QCOMPARE(model.unreadableFolders(), std::int64_t{0});
    fake.fileSide->finderGate.open();
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QCOMPARE(model.unreadableFolders(), std::int64_t{0});
  }

  void theFailuresOfAnEarlierMoveGoWithTheNextSearch() {
    LargeFilesModel fake;
    fake.fileSide->refused = {"/home/fake/a.mov"};
    auto& model = fake.makeWith({big("a.mov", 900'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    model.moveToTrash(model.largeFiles());
    QTRY_COMPARE(model.trashFailures().size(), std::size_t{1});
    model.findLargeFiles();
    QVERIFY(model.trashFailures().empty());
  }

  void containerFoldersAreLeftOutWithoutFullDiskAccess_data() {
    QTest::addColumn<bool>("access");
    QTest::newRow("granted") << true;
    QTest::newRow("refused") << false;
  }
  void containerFoldersAreLeftOutWithoutFullDiskAccess() {
    QFETCH(bool, access);
    LargeFilesModel fake;
    fake.disk->fullDiskAccess = access;
    auto& model = fake.makeWith({});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QCOMPARE(model.hasFullDiskAccess(), access);
    QCOMPARE(fake.fileSide->searches.front(),
             access ? std::set<std::string>{} : PrivacyAccess::appContainerFolders("/home/fake"));
  }

  // Three files, one refused: the two others leave the list and are recorded with one failure.
  void aPartlyFailedMoveRecordsWhatMoved() {
    LargeFilesModel fake;
    fake.fileSide->refused = {"/home/fake/b.iso"};
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 700'000'000), big("c.zip", 300'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QSignalSpy diskChanges(&model, &AppModel::diskChanged);

    model.moveToTrash(model.largeFiles());
    QTRY_VERIFY(!model.removalsRunning());
    QCOMPARE(pathsOf(model.largeFiles()), std::vector<std::string>{"/home/fake/b.iso"});
    QCOMPARE(model.trashFailures(), (std::vector<CleanReport::Failure>{{"/home/fake/b.iso", "Not inside your home folder."}}));
    const auto& record = model.records().front();
    QCOMPARE(record.source, std::string("Large Files"));
    QCOMPARE(record.freedBytes, std::int64_t{1'200'000'000});
    QCOMPARE(record.items, (std::vector<std::string>{"a.mov", "c.zip"}));
    QCOMPARE(record.failures, std::int64_t{1});
    QCOMPARE(diskChanges.count(), 1);
    // One file at a time, the run's record rewritten after each.
    QCOMPARE(fake.fileSide->trashed, (std::vector<std::vector<std::string>>{
                                         {"/home/fake/a.mov"}, {"/home/fake/b.iso"}, {"/home/fake/c.zip"}}));
    QCOMPARE(fake.disk->appends.load(), 3);
    QCOMPARE(model.records().size(), std::size_t{1});
    QVERIFY(!record.run.empty());
  }

  // Quitting stops a move after the file in hand, which is recorded; the rest stay listed.
  void windingDownStopsAMoveAfterTheFileInHand() {
    LargeFilesModel fake;
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 700'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    fake.fileSide->trashGate = std::make_shared<Latch>();
    model.moveToTrash(model.largeFiles());
    QTRY_COMPARE(fake.fileSide->entered.load(), 1);
    model.windDown();
    fake.fileSide->trashGate->open();
    QTRY_VERIFY(!model.removalsRunning());
    QCOMPARE(fake.trashCalls(), 1);
    QCOMPARE(pathsOf(model.largeFiles()), std::vector<std::string>{"/home/fake/b.iso"});
    QCOMPARE(model.records().front().items, std::vector<std::string>{"a.mov"});
    QCOMPARE(model.records().front().freedBytes, std::int64_t{900'000'000});
  }

  // A second move while the first runs, or of files gone meanwhile, frees nothing twice.
  void aFileIsMovedAndCountedOnce() {
    LargeFilesModel fake;
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 700'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    fake.fileSide->trashGate = std::make_shared<Latch>();
    const auto listed = model.largeFiles();

    model.moveToTrash(listed);
    model.moveToTrash({listed.front()});  // already on its way
    fake.fileSide->trashGate->open();
    QTRY_VERIFY(!model.removalsRunning());
    model.moveToTrash(listed);  // no longer listed
    QCoreApplication::processEvents();

    QCOMPARE(fake.trashCalls(), 2);
    QCOMPARE(fake.disk->appends.load(), 2);
    QCOMPARE(model.records().size(), std::size_t{1});
    QCOMPARE(model.records().front().freedBytes, std::int64_t{1'600'000'000});
  }

  // A file swapped for a link since the search frees nothing; one that shrank frees what it held;
  // one that grew counts no more than the search saw.
  void theRecordCountsWhatEachFileHeldJustBeforeItsMove() {
    LargeFilesModel fake;
    fake.fileSide->heldNow = {{"/home/fake/a.mov", 0}, {"/home/fake/b.iso", 150'000'000}};
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 700'000'000), big("c.zip", 300'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    model.moveToTrash(model.largeFiles());
    QTRY_VERIFY(!model.removalsRunning());
    QCOMPARE(model.records().front().freedBytes, std::int64_t{150'000'000 + 300'000'000});
    QCOMPARE(model.records().front().items, (std::vector<std::string>{"a.mov", "b.iso", "c.zip"}));
  }

  // Only a regular file takes space of its own: a link to one, a pipe or nothing at all take none.
  void theMeasureBeforeAMoveCountsRegularFilesAlone() {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    std::ofstream(root + "/file") << std::string(64 * 1024, 'x');
    QCOMPARE(::symlink((root + "/file").c_str(), (root + "/link").c_str()), 0);
    QCOMPARE(::mkfifo((root + "/pipe").c_str(), 0600), 0);
    QVERIFY(FileServices::regularFileBytes(root + "/file") >= 64 * 1024);
    QCOMPARE(FileServices::regularFileBytes(root + "/link"), std::int64_t{0});
    QCOMPARE(FileServices::regularFileBytes(root + "/pipe"), std::int64_t{0});
    QCOMPARE(FileServices::regularFileBytes(root + "/missing"), std::int64_t{0});
    // Another name keeps the data of a file with a second link, wherever that name lies.
    std::ofstream(root + "/linked") << std::string(64 * 1024, 'y');
    QCOMPARE(::link((root + "/linked").c_str(), (root + "/elsewhere").c_str()), 0);
    QCOMPARE(FileServices::regularFileBytes(root + "/linked"), std::int64_t{0});
  }

  void aFileTrashedFromAnotherViewIsDroppedButNotCounted() {
    LargeFilesModel fake;
    fake.fileSide->vanished = {"/home/fake/b.iso"};
    auto& model = fake.makeWith({big("a.mov", 900'000'000), big("b.iso", 700'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    model.moveToTrash(model.largeFiles());
    QTRY_VERIFY(!model.removalsRunning());
    QVERIFY(model.largeFiles().empty());
    QCOMPARE(model.records().front().items, std::vector<std::string>{"a.mov"});
    QCOMPARE(model.records().front().freedBytes, std::int64_t{900'000'000});
  }

  void anEmptyMoveDoesNothing() {
    LargeFilesModel fake;
    auto& model = fake.makeWith({big("a.mov", 900'000'000)});
    QTRY_COMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    QSignalSpy diskChanges(&model, &AppModel::diskChanged);
    model.moveToTrash({});
    QCoreApplication::processEvents();
    QCOMPARE(fake.trashCalls(), 0);
    QCOMPARE(fake.disk->appends.load(), 0);
    QCOMPARE(diskChanges.count(), 0);
  }

  void demoCountsUpInFifteenStepsThenMovesWithoutTheDisk() {
    Demo::decide(true);
    LargeFilesModel fake;
    auto& model = fake.makeWith({});
    std::vector<int> counts{model.filesExamined()};
    for (int step = 1; step < 15; ++step) {
      QCOMPARE(model.largeFilePhase(), AppModel::SearchPhase::searching);
      fake.scheduler.advance(100ms);
      counts.push_back(model.filesExamined());
    }
    fake.scheduler.advance(100ms);
    QCOMPARE(counts.front(), 38'417);
    QCOMPARE(counts.back(), 15 * 38'417);
    QCOMPARE(model.largeFilePhase(), AppModel::SearchPhase::ready);
    const auto demoFiles = DemoMac::largeFiles("/home/fake", fake.scheduler.now());
    QCOMPARE(model.largeFiles().size(), demoFiles.size());

    const auto disk = model.disk();
    const auto records = model.records().size();
    model.moveToTrash({model.largeFiles().front()});
    QCOMPARE(model.largeFiles().size(), demoFiles.size() - 1);
    QCOMPARE(model.records().size(), records + 1);
    QCOMPARE(model.records().front().source, std::string("Large Files"));
    QCOMPARE(model.records().front().items, std::vector<std::string>{demoFiles.front().name()});
    QVERIFY(model.disk() == disk);
    QCOMPARE(fake.disk->appends.load(), 0);
    QCOMPARE(fake.trashCalls(), 0);
  }
};

}  // namespace tidra::test

TIDRA_TEST_MAIN(tidra::test::AppModelLargeFilesTest)
#include "AppModelLargeFilesTest.moc"
