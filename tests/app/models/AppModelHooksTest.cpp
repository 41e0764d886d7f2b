#include "support/TestMain.h"
#include "PerformanceFakes.h"

#include "Demo.h"
#include "models/ApplicationsModel.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "models/SimilarPhotosModel.h"

#include <QTest>

using namespace std::chrono_literals;

namespace tidra::test {

// Every feature model's removals reach the central history through the hooks the model installs.
// In demo mode the removals are instant and every record lands at the front of `records`.
class AppModelHooksTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(true); }
  void cleanupTestCase() { Demo::decide(false); }

  void eachFeatureRemovalIsRecordedOnce() {
    PerformanceModel fake;
    auto& model = fake.make();
    model.refreshDisk();
    std::size_t expected = model.records().size();
    const auto recorded = [&](const std::string& source) {
      ++expected;
      QCOMPARE(model.records().size(), expected);
      QCOMPARE(model.records().front().source, source);
    };

    auto& duplicates = model.duplicates();
    duplicates.find();
    fake.scheduler.advance(10s);
    duplicates.selectExtraCopies();
    duplicates.moveToTrash();
    recorded("Duplicates");

    auto& photos = model.similarPhotos();
    photos.find();
    fake.scheduler.advance(10s);
    photos.selectAllButTheBest();
    photos.moveToTrash();
    recorded("Similar photos");

    auto& applications = model.applications();
    applications.scan();
    fake.scheduler.advance(10s);
    applications.setSelection({applications.apps().front().path});
    applications.uninstall();
    fake.scheduler.advance(10s);
    recorded("Applications");
    const auto diskBefore = model.disk();  // none of these frees space of its own

    auto& projects = model.projects();
    projects.scanProjects();
    fake.scheduler.advance(10s);
    QVERIFY(!projects.selectedArtifacts().empty());
    projects.clean();
    fake.scheduler.advance(10s);
    recorded("Projects");
    QVERIFY(model.disk()->available > diskBefore->available);
  }

  void aFileGoneFromOnePhotoViewLeavesTheOther() {
    PerformanceModel fake;
    auto& model = fake.make();
    auto& photos = model.similarPhotos();
    photos.find();
    fake.scheduler.advance(10s);
    const auto path = photos.groups().front().photos.back().path;
    model.duplicates().onGone({path});
    for (const auto& group : photos.groups())
      for (const auto& photo : group.photos) QVERIFY(photo.path != path);

    auto& duplicates = model.duplicates();
    duplicates.find();
    fake.scheduler.advance(10s);
    const auto copy = duplicates.groups().front().files.back().path;
    photos.onGone({copy});
    for (const auto& group : duplicates.groups())
      for (const auto& file : group.files) QVERIFY(file.path != copy);
  }
};

}  // namespace tidra::test

TIDRA_TEST_MAIN(tidra::test::AppModelHooksTest)
#include "AppModelHooksTest.moc"
