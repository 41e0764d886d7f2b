#include "support/TestMain.h"
#include "models/AppModel.h"

#include "Demo.h"
#include "support/TestScheduler.h"
#include "services/TrashMove.h"
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
};

TIDRA_TEST_MAIN(AppModelEndToEndTest)
#include "AppModelEndToEndTest.moc"
