#include "support/TestMain.h"
#include "models/SimilarPhotosModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "demo/DemoPhotoArt.h"
#include "files/KeptFile.h"
#include "support/TestScheduler.h"
#include "support/FakeThumbnailer.h"
#include "support/FileSetsFixture.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

using Paths = std::set<std::string>;
using SearchStage = SimilarPhotoFinder::Stage;

std::vector<std::string> pathsOf(const std::vector<SimilarPhoto>& photos) {
  std::vector<std::string> paths;
  for (const auto& photo : photos) paths.push_back(photo.path);
  return paths;
}

struct SimilarPhotosFixture {
  explicit SimilarPhotosFixture(std::vector<SimilarPhotoGroup> groups)
      : trash(std::make_shared<test::FakeTrash>()),
        thumbnailer(std::make_shared<test::FakeThumbnailer>()),
        model(test::fakeFileServices({}, std::move(groups), trash), thumbnailer, scheduler, "/home/someone") {
    model.onTrashed = [this](const CleanupRecord& record) { records.push_back(record); };
  }

  void search() {
    model.find();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
  }

  std::shared_ptr<test::FakeTrash> trash;
  std::shared_ptr<test::FakeThumbnailer> thumbnailer;
  TestScheduler scheduler;
  SimilarPhotosModel model;
  std::vector<CleanupRecord> records;
};

}  // namespace

class SimilarPhotosModelTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }

  void bestFirstSelectionAndFigures() {
    SimilarPhotosFixture fixture({test::similar({"/p/1", "/p/2", "/p/3"}), test::similar({"/q/1", "/q/2"})});
    fixture.search();
    auto& model = fixture.model;
    QVERIFY(model.selection().empty());
    QCOMPARE(model.reclaimable(), std::int64_t{3000});
    QCOMPARE(model.setsLosingEveryPhoto(), 0);
    model.setSelection({"/p/1", "/q/2"});
    model.selectAllButTheBest();
    QCOMPARE(model.selection(), (Paths{"/p/2", "/p/3", "/q/2"}));
    model.setSelection({"/q/1", "/q/2", "/p/3", "/nowhere"});
    QCOMPARE(pathsOf(model.selectedPhotos()), (std::vector<std::string>{"/p/3", "/q/1", "/q/2"}));
    QCOMPARE(model.setsLosingEveryPhoto(), 1);
  }

  void searchPassesTheThresholdAndDefaultRoots() {
    auto services = test::fakeFileServices({}, {}, std::make_shared<test::FakeTrash>());
    auto asked = std::make_shared<std::pair<std::vector<std::string>, float>>();
    services.findSimilarPhotos = [asked](const std::vector<std::string>& roots, float threshold,
                                         const SimilarPhotoFinder::Progress& progress) {
      *asked = {roots, threshold};
      progress(SearchStage{SearchStage::Grouping{}});
      return std::vector<SimilarPhotoGroup>{test::similar({"/a", "/b"})};
    };
    TestScheduler scheduler;
    SimilarPhotosModel model(services, std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/me");
    model.find();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
    QCOMPARE(asked->first, DuplicateFinder::defaultRoots("/home/me"));
    QCOMPARE(asked->second, 0.35f);
    QCOMPARE(model.groups().size(), size_t{1});
  }

  void movingTheBestLeavesTheNextFirst() {
    SimilarPhotosFixture fixture({test::similar({"/p/1", "/p/2", "/p/3"})});
    fixture.search();
    fixture.model.setSelection({"/p/1"});
    fixture.model.moveToTrash();
    QTRY_COMPARE(fixture.records.size(), size_t{1});
    QCOMPARE(pathsOf(fixture.model.groups().at(0).photos), (std::vector<std::string>{"/p/2", "/p/3"}));
    QCOMPARE(fixture.records[0].source, std::string("Similar photos"));
    QCOMPARE(fixture.records[0].items, std::vector<std::string>{"1"});
    QCOMPARE(fixture.records[0].freedBytes, std::int64_t{1000});
  }

  void forgettingDropsSetsLeftWithOnePhoto() {
    SimilarPhotosFixture fixture({test::similar({"/p/1", "/p/2"}), test::similar({"/q/1", "/q/2", "/q/3"})});
    fixture.search();
    fixture.model.setSelection({"/p/1", "/q/3"});
    fixture.model.forget({"/p/2", "/elsewhere"});
    QCOMPARE(fixture.model.groups().size(), size_t{1});
    QCOMPARE(fixture.model.selection(), (Paths{"/p/1", "/q/3"}));
    QCOMPARE(pathsOf(fixture.model.selectedPhotos()), std::vector<std::string>{"/q/3"});
  }

  // Only the set whose every kept photo changed since the search holds back; a set keeping
  // another unchanged photo, or keeping none by choice, still moves.
  void aSetWhoseKeptPhotosChangedMovesNothing() {
    auto trash = std::make_shared<test::FakeTrash>();
    auto services = test::fakeFileServices(
        {}, {test::similar({"/p/1", "/p/2"}), test::similar({"/q/1", "/q/2", "/q/3"}), test::similar({"/r/1", "/r/2"})},
        trash);
    services.keptPhotoStands = [](const SimilarPhoto& photo) { return photo.path != "/p/1" && photo.path != "/q/1"; };
    TestScheduler scheduler;
    SimilarPhotosModel model(services, std::make_shared<test::FakeThumbnailer>(), scheduler, "/home/someone");
    model.find();
    QTRY_VERIFY(model.phase() == FileSetsModel::Phase::ready);
    model.setSelection({"/p/2", "/q/3", "/r/1", "/r/2"});
    model.moveToTrash();
    QTRY_COMPARE(trash->callCount(), size_t{3});
    QCOMPARE(trash->calls, (std::vector<std::vector<std::string>>{{"/q/3"}, {"/r/1"}, {"/r/2"}}));
    QTRY_COMPARE(model.failures(), (std::vector<CleanReport::Failure>{{"/p/2", KeptFile::changedReason}}));
    QCOMPARE(pathsOf(model.groups().at(0).photos), (std::vector<std::string>{"/p/1", "/p/2"}));
  }

  void cellPicturesFallBackToTheFileIcon() {
    SimilarPhotosFixture fixture({});
    fixture.thumbnailer->decodable("/p/good.jpg");
    const SimilarPhoto good{"/p/good.jpg", 1, 1, 1, {}, 0, {}, {}, {}};
    const SimilarPhoto vanished{"/p/vanished.jpg", 1, 1, 1, {}, 0, {}, {}, {}};
    fixture.model.loadThumbnail(good);
    fixture.model.loadThumbnail(vanished);
    fixture.model.loadThumbnail(good);  // already on its way
    QTRY_COMPARE(fixture.model.thumbnails().size(), size_t{2});
    QCOMPARE(test::FakeThumbnailer::madeBy(fixture.model.thumbnails().at("/p/good.jpg")), QString("thumbnail"));
    QCOMPARE(test::FakeThumbnailer::madeBy(fixture.model.thumbnails().at("/p/vanished.jpg")), QString("fileIcon"));
    QCOMPARE(fixture.model.thumbnails().at("/p/good.jpg").size(), QSize(400, 300));
    const auto asked = fixture.thumbnailer->decodesAsked();  // decodes run side by side
    QCOMPARE(Paths(asked.begin(), asked.end()), (Paths{"/p/good.jpg", "/p/vanished.jpg"}));
    QCOMPARE(asked.size(), size_t{2});
  }

  void demoSearchPlaysItsProgressAndDrawsPictures() {
    Demo::decide(true);
    SimilarPhotosFixture fixture({});
    const auto expected = DemoMac::similarPhotoGroups("/home/someone", fixture.scheduler.now());
    std::vector<SearchStage> stages;
    QObject::connect(&fixture.model, &FileSetsModel::stageChanged,
                     [&] { stages.push_back(fixture.model.stage()); });
    fixture.model.find();
    fixture.scheduler.advance(6 * 80ms + 12 * 50ms);
    QVERIFY(fixture.model.phase() == FileSetsModel::Phase::searching);
    fixture.scheduler.advance(50ms);
    QVERIFY(fixture.model.phase() == FileSetsModel::Phase::ready);
    QCOMPARE(fixture.model.groups(), expected);
    QCOMPARE(stages.size(), size_t{6 + 13});
    QVERIFY((stages[0] == SearchStage{SearchStage::Looking{9'731}}));
    QVERIFY((stages[5] == SearchStage{SearchStage::Looking{58'386}}));
    QVERIFY((stages[6] == SearchStage{SearchStage::Reading{0, 1'284}}));
    QVERIFY((stages.back() == SearchStage{SearchStage::Reading{1'284, 1'284}}));

    const auto& photo = expected.at(1).photos.at(1);
    fixture.model.loadThumbnail(photo);
    QCOMPARE(fixture.model.thumbnails().at(photo.path), DemoPhotoArt::image(1, 1, QSize(400, 300)));
    QVERIFY(fixture.thumbnailer->decodesAsked().empty());

    fixture.model.selectAllButTheBest();
    fixture.model.moveToTrash();
    QCOMPARE(fixture.trash->callCount(), size_t{0});
    QCOMPARE(fixture.records.at(0).source, std::string("Similar photos"));
    QVERIFY(fixture.model.groups().empty());
  }
};

TIDRA_TEST_MAIN(SimilarPhotosModelTest)
#include "SimilarPhotosModelTest.moc"
