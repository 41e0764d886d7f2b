#include "support/TestMain.h"
#include "models/DuplicatesModel.h"
#include "models/SimilarPhotosModel.h"

#include "Demo.h"
#include "cleanup/CleanupHistory.h"
#include "demo/DemoMac.h"
#include "files/KeptFile.h"
#include "fs/SizeScanner.h"
#include "support/TestScheduler.h"
#include "services/FileServices.h"
#include "support/FakeThumbnailer.h"
#include "support/FileSetsFixture.h"
#include "support/Latch.h"
#include "support/SettlePools.h"
#include "support/TempHome.h"

#include <QTest>

#include <atomic>
#include <climits>
#include <filesystem>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

using Paths = std::set<std::string>;

std::vector<std::string> pathsOf(const std::vector<DuplicateFile>& files) {
  std::vector<std::string> paths;
  for (const auto& file : files) paths.push_back(file.path);
  return paths;
}

// A duplicates model over fixed sets, searched and ready, with its hooks recorded in order.
struct DuplicatesFixture {
  explicit DuplicatesFixture(std::vector<DuplicateGroup> groups, std::vector<SimilarPhotoGroup> photos = {})
      : trash(std::make_shared<test::FakeTrash>()),
        thumbnailer(std::make_shared<test::FakeThumbnailer>()),
        model(test::fakeFileServices(groups, {}, trash), thumbnailer, scheduler, "/home/someone"),
        photos(test::fakeFileServices({}, std::move(photos), trash), thumbnailer, scheduler, "/home/someone") {
    model.onTrashed = [this](const CleanupRecord& record) {
      events.push_back("trashed");
      records.push_back(record);
    };
    model.onGone = [this](const Paths& gone) {
      events.push_back("gone");
      goneSets.push_back(gone);
    };
    QObject::connect(&model, &FileSetsModel::groupsChanged, [this] { events.push_back("groups"); });
    model.find();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
  }

  // Moves the selection and waits for the move to be finished.
  void move() {
    const auto before = goneSets.size();
    model.moveToTrash();
    QTRY_COMPARE(goneSets.size(), before + 1);
  }

  std::shared_ptr<test::FakeTrash> trash;
  std::shared_ptr<test::FakeThumbnailer> thumbnailer;
  TestScheduler scheduler;
  DuplicatesModel model;
  SimilarPhotosModel photos;
  std::vector<std::string> events;
  std::vector<CleanupRecord> records;
  std::vector<Paths> goneSets;
};

// A duplicates model over given services, searched and ready, keeping every record it hands on.
struct RecordingDuplicates {
  explicit RecordingDuplicates(FileServices services)
      : model(std::move(services), std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/someone") {
    model.onTrashed = [this](const CleanupRecord& record) { records.push_back(record); };
    model.find();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
  }

  TestScheduler scheduler;
  DuplicatesModel model;
  std::vector<CleanupRecord> records;
};

}  // namespace

class DuplicatesModelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void figuresLookAtShownSetsOnly() {
    DuplicatesFixture fixture({test::identical(5'000'000, {"/big/1", "/big/2", "/big/3"}),
                     test::identical(2'000'000, {"/small/1", "/small/2"})});
    auto& model = fixture.model;
    QVERIFY(model.selection().empty());  // a search selects nothing
    model.setSelection({"/big/2", "/small/1", "/small/2", "/elsewhere"});
    QCOMPARE(pathsOf(model.selectedFiles()), (std::vector<std::string>{"/big/2", "/small/1", "/small/2"}));
    QCOMPARE(model.setsLosingEveryCopy(), 1);

    model.setThreshold(3'000'000);
    QCOMPARE(pathsOf(model.selectedFiles()), std::vector<std::string>{"/big/2"});
    QCOMPARE(model.setsLosingEveryCopy(), 0);
    model.selectExtraCopies();
    QCOMPARE(model.selection(), (Paths{"/big/2", "/big/3"}));
    QCOMPARE(model.groups().size(), size_t{2});  // hidden sets stay held

    model.setSelection({"/small/2"});
    model.moveToTrash();  // only hidden files selected: nothing to move
    QCOMPARE(fixture.trash->callCount(), size_t{0});
    model.setSelection({});
    QCOMPARE(model.setsLosingEveryCopy(), 0);
  }

  // Each file is moved on its own and the move's record handed on after it, one run growing
  // file by file, so a process killed outright loses at most the file in hand.
  void aMoveRecordsEachFileAsItGoesThenForgets() {
    DuplicatesFixture fixture({test::identical(5'000'000, {"/a/keep", "/a/copy"}),
                     test::identical(3'000'000, {"/b/keep", "/b/copy1", "/b/copy2"})});
    fixture.model.selectExtraCopies();
    fixture.events.clear();
    fixture.move();
    QCOMPARE(fixture.events, (std::vector<std::string>{"trashed", "trashed", "trashed", "groups", "gone"}));
    QCOMPARE(fixture.trash->calls, (std::vector<std::vector<std::string>>{{"/a/copy"}, {"/b/copy1"}, {"/b/copy2"}}));
    QVERIFY(fixture.model.groups().empty());
    QVERIFY(fixture.model.selection().empty());
    QCOMPARE(fixture.goneSets.back(), (Paths{"/a/copy", "/b/copy1", "/b/copy2"}));
    QCOMPARE(fixture.records.at(0).freedBytes, std::int64_t{5'000'000});
    QCOMPARE(fixture.records.at(1).items, (std::vector<std::string>{"copy", "copy1"}));
    QVERIFY(!fixture.records.at(0).run.empty());
    QCOMPARE(fixture.records.at(1).run, fixture.records.at(0).run);
    QCOMPARE(fixture.records.at(2).run, fixture.records.at(0).run);
    const auto& record = fixture.records.back();
    QCOMPARE(record.source, std::string("Duplicates"));
    QCOMPARE(record.freedBytes, std::int64_t{11'000'000});
    QCOMPARE(record.items, (std::vector<std::string>{"copy", "copy1", "copy2"}));
    QCOMPARE(record.failures, std::int64_t{0});
    QCOMPARE(record.date, fixture.scheduler.now());
  }

  void aRefusedFileStaysListedAndSelected() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/a/1", "/a/2", "/a/3"})});
    fixture.trash->refused.insert("/a/2");
    fixture.model.setSelection({"/a/2", "/a/3"});
    fixture.move();
    QCOMPARE(fixture.model.failures(), (std::vector<CleanReport::Failure>{{"/a/2", "refused"}}));
    QCOMPARE(pathsOf(fixture.model.groups().at(0).files), (std::vector<std::string>{"/a/1", "/a/2"}));
    QCOMPARE(fixture.model.selection(), Paths{"/a/2"});
    QCOMPARE(fixture.records.back().items, std::vector<std::string>{"3"});
    QCOMPARE(fixture.records.back().failures, std::int64_t{1});
    QCOMPARE(fixture.records.back().freedBytes, std::int64_t{4'000'000});
  }

  void aFileAlreadyGoneIsNeitherMovedNorFreed() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/a/1", "/a/2", "/a/3"})});
    fixture.trash->vanished.insert("/a/3");
    fixture.model.setSelection({"/a/2", "/a/3"});
    fixture.move();
    QCOMPARE(fixture.records.at(0).items, std::vector<std::string>{"2"});
    QCOMPARE(fixture.records.at(0).freedBytes, std::int64_t{4'000'000});
    // It is gone all the same, so no list keeps showing it.
    QVERIFY(fixture.model.groups().empty());
    QCOMPARE(fixture.goneSets.back(), (Paths{"/a/2", "/a/3"}));
  }

  void nothingMovedMakesNoRecordButStillReports() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/a/1", "/a/2"})});
    fixture.model.setFailures({{"/old", "earlier"}});
    fixture.trash->refused.insert("/a/2");
    fixture.model.setSelection({"/a/2"});
    fixture.move();
    QVERIFY(fixture.records.empty());
    QCOMPARE(fixture.goneSets.back(), Paths{});
    QCOMPARE(fixture.model.failures(), (std::vector<CleanReport::Failure>{{"/a/2", "refused"}}));
  }

  // What a file gives back is capped by its measure just before its move: a file that gained
  // a second link since the search, or shrank, gives what leaving it frees now.
  void eachFileCountsWhatItHeldJustBeforeItsMove() {
    auto trash = std::make_shared<test::FakeTrash>();
    auto services = test::fakeFileServices({test::identical(4'000'000, {"/a/1", "/a/2", "/a/3", "/a/4"})}, {}, trash);
    services.bytesNow = [](const std::string& path) {
      return path == "/a/2" ? std::int64_t{0} : path == "/a/3" ? std::int64_t{1'000'000} : INT64_MAX;
    };
    RecordingDuplicates fixture(services);
    fixture.model.selectExtraCopies();
    fixture.model.moveToTrash();
    QTRY_VERIFY(!fixture.model.isMoving());
    QCOMPARE(fixture.records.back().items, (std::vector<std::string>{"2", "3", "4"}));
    QCOMPARE(fixture.records.back().freedBytes, std::int64_t{5'000'000});
  }

  // Quitting asks a running move to stop after the file in hand: that file is recorded, the
  // others stay listed and selected.
  void finishingSoonStopsAfterTheFileInHand() {
    auto trash = std::make_shared<test::FakeTrash>();
    auto services = test::fakeFileServices({test::identical(4'000'000, {"/a/1", "/a/2", "/a/3"})}, {}, trash);
    auto gate = std::make_shared<Latch>();
    auto entered = std::make_shared<std::atomic<int>>(0);
    services.trashFiles = [gate, entered, trash, move = trash->entry()](const PathGuard& guardian,
                                                                         const std::vector<std::string>& paths) {
      ++*entered;
      gate->wait();
      return move(guardian, paths);
    };
    RecordingDuplicates fixture(services);
    auto& model = fixture.model;
    model.setSelection({"/a/2", "/a/3"});
    model.moveToTrash();
    QTRY_COMPARE(entered->load(), 1);
    model.finishSoon();
    gate->open();
    QTRY_VERIFY(!model.isMoving());
    QCOMPARE(trash->calls, std::vector<std::vector<std::string>>{{"/a/2"}});
    QCOMPARE(fixture.records.size(), std::size_t{1});
    QCOMPARE(fixture.records.back().items, std::vector<std::string>{"2"});
    QCOMPARE(model.selection(), Paths{"/a/3"});
  }

  void aSecondMoveWhileOneRunsIsIgnored() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/a/1", "/a/2", "/a/3"})});
    fixture.model.setSelection({"/a/3"});
    fixture.model.moveToTrash();
    fixture.model.moveToTrash();
    QTRY_COMPARE(fixture.records.size(), size_t{1});
    QTest::qWait(20);
    QCOMPARE(fixture.trash->callCount(), size_t{1});
    QCOMPARE(fixture.records.size(), size_t{1});
  }

  void aSearchKeepsOldSetsUntilNewOnesArriveAndIgnoresASecondStart() {
    auto trash = std::make_shared<test::FakeTrash>();
    auto services = test::fakeFileServices({}, {}, trash);
    auto gate = std::make_shared<test::Latch>();
    auto searches = std::make_shared<std::atomic<int>>(0);
    std::vector<DuplicateGroup> found{test::identical(2'000'000, {"/new/1", "/new/2"})};
    services.findDuplicates = [gate, searches, found](const std::vector<std::string>& roots, std::int64_t minimum,
                                                      const std::string& home, const DuplicateFinder::Progress& progress,
                                                      const DuplicateFinder::Unreadable& unreadable) {
      ++*searches;
      progress(DuplicateFinder::Comparing{3, 9});
      for (const auto* folder : {"/home/someone/Documents/locked", "/home/someone/Music/locked"}) unreadable(folder);
      gate->wait();
      if (roots != DuplicateFinder::defaultRoots(home) || minimum != 1'000'000) return std::vector<DuplicateGroup>{};
      return found;
    };
    services.hasPhotosLibrary = [](const std::string& home) { return home == "/home/someone"; };
    TestScheduler scheduler;
    DuplicatesModel model(services, std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/someone");
    model.setThreshold(50'000'000);  // changes nothing about the search
    model.find();
    QVERIFY(model.phase() == FileSetsModel::Phase::searching);
    QVERIFY(model.hasPhotosLibrary());
    QTRY_VERIFY((model.stage() == DuplicateFinder::Stage{DuplicateFinder::Comparing{3, 9}}));
    model.find();
    gate->open();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
    QCOMPARE(model.groups(), found);
    QCOMPARE(searches->load(), 1);
    QCOMPARE(model.unreadableFolders(), std::int64_t{2});

    model.setSelection({"/new/2"});
    model.setFailures({{"/x", "y"}});
    model.find();
    QVERIFY(model.selection().empty() && model.failures().empty());
    QCOMPARE(model.unreadableFolders(), std::int64_t{0});
    QVERIFY((model.stage() == DuplicateFinder::Stage{}));
    QCOMPARE(model.groups(), found);  // still on show while searching
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
  }

  // The other platform's library folder means nothing here: no banner about it, ever.
  void noPhotoLibraryOnThisDesktop() {
    test::TempHome home;
    home.dir("Pictures/Photos Library.photoslibrary");
    QVERIFY(!FileServices::live().hasPhotosLibrary(home.root()));
  }

  void modeRawValues() {
    using Mode = DuplicatesModel::Mode;
    QCOMPARE(DuplicatesModel::rawValue(Mode::identical), QString("Identical Files"));
    QCOMPARE(DuplicatesModel::rawValue(Mode::similar), QString("Similar Photos"));
    QVERIFY(DuplicatesModel::modeFrom("Similar Photos") == Mode::similar);
    QVERIFY(!DuplicatesModel::modeFrom("similar").has_value());
  }

  void rowPicturesFallBackToTheTypeIcon() {
    test::TempHome home;
    const auto picture = home.file("Pictures/a.jpg", 10);
    const auto broken = home.file("Pictures/b.jpg", 10);
    DuplicatesFixture fixture({});
    fixture.thumbnailer->decodable(picture);
    auto& model = fixture.model;
    for (const auto& path : {picture, broken, home.path("Pictures/missing.jpg")}) model.loadThumbnail({path, 10, {}, {}, {}});
    QTRY_COMPARE(model.thumbnails().size(), size_t{3});
    QCOMPARE(test::FakeThumbnailer::madeBy(model.thumbnails().at(picture)), QString("thumbnail"));
    QCOMPARE(test::FakeThumbnailer::madeBy(model.thumbnails().at(broken)), QString("typeIcon"));
    QCOMPARE(test::FakeThumbnailer::madeBy(model.thumbnails().at(home.path("Pictures/missing.jpg"))),
             QString("typeIcon"));
    model.loadThumbnail({picture, 10, {}, {}, {}});
    const auto asked = fixture.thumbnailer->decodesAsked();  // decodes run side by side
    QCOMPARE(Paths(asked.begin(), asked.end()), (Paths{picture, broken}));
    QCOMPARE(asked.size(), size_t{2});
  }

  // The two lists forget what the other moved, as the central model wires them.
  void theTwoListsForgetWhatTheOtherMoved() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/p/a.jpg", "/p/a copy.jpg"})},
                    {test::similar({"/p/a.jpg", "/p/b.jpg"}), test::similar({"/p/c.jpg", "/p/d.jpg", "/p/e.jpg"})});
    auto& photos = fixture.photos;
    photos.find();
    QTRY_VERIFY(photos.phase() == FileSetsModel::Phase::ready);
    fixture.model.onGone = [&](const Paths& gone) { photos.forget(gone); };
    photos.onGone = [&](const Paths& gone) { fixture.model.forget(gone); };
    photos.setSelection({"/p/b.jpg", "/p/d.jpg"});

    fixture.model.setSelection({"/p/a.jpg"});
    fixture.model.moveToTrash();
    QTRY_COMPARE(photos.groups().size(), size_t{1});
    QCOMPARE(photos.selection(), (Paths{"/p/b.jpg", "/p/d.jpg"}));
    QCOMPARE(photos.selectedPhotos().size(), size_t{1});  // b's set is gone

    fixture.model.setSelection({});
    photos.setSelection({"/p/c.jpg"});
    photos.moveToTrash();
    QTRY_COMPARE(photos.groups().at(0).photos.size(), size_t{2});
    QCOMPARE(photos.groups().at(0).photos.front().path, std::string("/p/d.jpg"));
  }

  void demoMoveTouchesNothing() {
    DuplicatesFixture fixture({test::identical(4'000'000, {"/a/1", "/a/2"})});
    Demo::decide(true);
    fixture.model.setSelection({"/a/2"});
    fixture.model.moveToTrash();
    QCOMPARE(fixture.trash->callCount(), size_t{0});
    QCOMPARE(fixture.records.at(0).freedBytes, std::int64_t{4'000'000});
    QVERIFY(fixture.model.groups().empty());
  }

  void demoSearchPlaysItsProgress() {
    Demo::decide(true);
    TestScheduler scheduler;
    FileServices untouched;  // the demo must call no engine entry
    DuplicatesModel model(untouched, std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/someone");
    const auto expected = DemoMac::duplicateGroups("/home/someone", scheduler.now());
    std::vector<DuplicateFinder::Stage> stages;
    QObject::connect(&model, &FileSetsModel::stageChanged, [&] { stages.push_back(model.stage()); });
    model.find();
    QVERIFY(!model.hasPhotosLibrary());  // the other platform's photo library has no counterpart here
    scheduler.advance(10 * 80ms + 299ms);
    QVERIFY(model.phase() == FileSetsModel::Phase::searching);
    scheduler.advance(1ms);
    QVERIFY(model.phase() == FileSetsModel::Phase::ready);
    QCOMPARE(model.groups(), expected);
    QVERIFY(model.selection().empty());
    QCOMPARE(stages.size(), size_t{11});
    QVERIFY((stages[0] == DuplicateFinder::Stage{DuplicateFinder::Looking{9'731}}));
    QVERIFY((stages[9] == DuplicateFinder::Stage{DuplicateFinder::Looking{97'310}}));
    QVERIFY((stages[10] == DuplicateFinder::Stage{DuplicateFinder::Comparing{214, 214}}));
    const auto& file = expected.at(0).files.at(0);
    model.loadThumbnail(file);  // demo files are not on disk: their type icon at once
    QCOMPARE(test::FakeThumbnailer::madeBy(model.thumbnails().at(file.path)), QString("typeIcon"));
  }

  void aRealRunTrashesExtraCopiesAndRecordsTheirBytes() {
    test::TempHome home;
    const std::string content(1'500'000, 'x');
    for (const auto* path : {"Documents/report.pdf", "Downloads/report.pdf", "Desktop/report (1).pdf"})
      home.text(path, content);
    home.text("Documents/other.bin", std::string(1'500'000, 'y'));
    home.text("Pictures/small.txt", "tiny");
    TestScheduler scheduler;
    DuplicatesModel model(FileServices::live(), std::make_shared<test::FakeThumbnailer>(), scheduler, home.root());
    CleanupHistory history(home.root());
    model.onTrashed = [&](const CleanupRecord& record) { history.append(record); };
    model.find();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase() == FileSetsModel::Phase::ready, 30000);
    QCOMPARE(model.groups().size(), size_t{1});
    QCOMPARE(model.groups()[0].files.size(), size_t{3});
    const auto keeper = model.groups()[0].files[0].path;

    model.selectExtraCopies();
    const auto moving = pathsOf(model.selectedFiles());
    const auto expectedBytes = SizeScanner::measure(moving, [] { return false; }).bytes;
    model.moveToTrash();
    QTRY_VERIFY_WITH_TIMEOUT(model.groups().empty(), 30000);

    QVERIFY(std::filesystem::exists(keeper));
    const std::string trash = home.path(".local/share/Trash");
    for (const auto& path : moving) {
      QVERIFY(!std::filesystem::exists(path));
      const auto name = std::filesystem::path(path).filename().string();
      QVERIFY(std::filesystem::exists(trash + "/files/" + name));
      QVERIFY(std::filesystem::exists(trash + "/info/" + name + ".trashinfo"));
    }
    const auto records = history.load();
    QCOMPARE(records.size(), size_t{1});
    QCOMPARE(records[0].source, std::string("Duplicates"));
    QCOMPARE(records[0].freedBytes, expectedBytes);
    QVERIFY(expectedBytes >= 3'000'000);
    QCOMPARE(records[0].items.size(), size_t{2});
    QVERIFY(model.failures().empty());
  }

  // A keeper rewritten or deleted after the search would leave no copy at all.
  void aSetWhoseKeeperChangedSinceTheSearchMovesNothing_data() {
    QTest::addColumn<bool>("deleted");
    QTest::newRow("rewritten") << false;
    QTest::newRow("deleted") << true;
  }
  void aSetWhoseKeeperChangedSinceTheSearchMovesNothing() {
    QFETCH(bool, deleted);
    test::TempHome home;
    for (const auto* path : {"Documents/a.bin", "Downloads/a.bin"}) home.text(path, std::string(1'500'000, 'a'));
    for (const auto* path : {"Documents/b.bin", "Downloads/b.bin"}) home.text(path, std::string(1'200'000, 'b'));
    TestScheduler scheduler;
    DuplicatesModel model(FileServices::live(), std::make_shared<test::FakeThumbnailer>(), scheduler, home.root());
    model.find();
    QTRY_VERIFY_WITH_TIMEOUT(model.phase() == FileSetsModel::Phase::ready, 30000);
    QCOMPARE(model.groups().size(), size_t{2});
    const std::string changed = model.groups()[0].files[0].path;
    const std::string held = model.groups()[0].files[1].path;
    const std::string moved = model.groups()[1].files[1].path;
    if (deleted) std::filesystem::remove(changed);
    else home.text(changed.substr(home.root().size() + 1), std::string(std::size_t(model.groups()[0].size), 'z'));

    model.selectExtraCopies();
    model.moveToTrash();
    test::settlePools();  // the move has ended: a failure that is missing now never comes
    QCOMPARE(model.failures(), (std::vector<CleanReport::Failure>{{held, KeptFile::changedReason}}));
    QVERIFY(std::filesystem::exists(held));
    QVERIFY(!std::filesystem::exists(moved));
  }
};

TIDRA_TEST_MAIN(DuplicatesModelTest)
#include "DuplicatesModelTest.moc"
