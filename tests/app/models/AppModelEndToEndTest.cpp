#include "support/TestMain.h"
#include "models/AppModel.h"

#include "Demo.h"
#include "runtime/TestScheduler.h"
#include "support/FakeDesktop.h"
#include "support/CatalogFixture.h"
#include "support/TempHome.h"

#include <QTest>

#include <filesystem>

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
};

TIDRA_TEST_MAIN(AppModelEndToEndTest)
#include "AppModelEndToEndTest.moc"
