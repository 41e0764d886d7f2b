#include "support/TestMain.h"
#include "models/AppModelFakes.h"
#include "support/ScreenRender.h"

#include "Demo.h"
#include "cleanup/AdminCleanup.h"
#include "platform/UrlOpener.h"
#include "views/RowKeys.h"
#include "views/SelectionTexts.h"
#include "views/cleanup/CategorySection.h"
#include "views/cleanup/CleanConfirmation.h"
#include "views/cleanup/CleanupList.h"
#include "views/cleanup/CleanupRow.h"
#include "views/cleanup/CleanupTexts.h"
#include "views/cleanup/CleanupView.h"
#include "views/cleanup/SummaryBanner.h"
#include "views/design/Banner.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/design/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QClipboard>
#include <QLabel>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
using Phase = AppModel::CleanupPhase;

namespace {

std::optional<QUrl> noDocker() { return std::nullopt; }

// The screen over a model, shown at the window size the screens are drawn for.
struct CleanupScreen {
  FakeModel fake;
  std::unique_ptr<CleanupView> view;

  AppModel& model() { return *fake.model; }
  FakeUrlOpener& opener() { return static_cast<FakeUrlOpener&>(*model().desktop().urlOpener); }
  CleanupView& make(CleanupList::DockerFinder findDocker = noDocker) {
    fake.make();
    view = std::make_unique<CleanupView>(model(), nullptr, std::move(findDocker));
    view->resize(980, 660);
    view->show();
    settle();
    return *view;
  }
  void settle() { QCoreApplication::processEvents(); QCoreApplication::processEvents(); }
  void run(std::chrono::milliseconds time) {
    fake.scheduler.advance(time);
    QTRY_VERIFY(true);
    settle();
  }
  template <class T> T* find(const QString& name) const { return view->findChild<T*>(name); }
  QString footer() const { return find<QLabel>("footerText")->text(); }
  CategorySection* section(CleanupCategory category) const {
    return static_cast<CategorySection*>(view->list()->sections()->row(QString::fromUtf8(rawValue(category).data())));
  }
  CleanupRow* row(CleanupCategory category, const std::string& id) const {
    return static_cast<CleanupRow*>(section(category)->rows()->row(RowKeys::of(id)));
  }
  CleanConfirmation* sheet() const { return static_cast<CleanConfirmation*>(find<QDialog>("cleanConfirmation")); }
};

}  // namespace

class CleanupViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Theme::apply(Theme::Scheme::light); }
  void cleanup() { Demo::decide(false); }

  // The whole road on the demo data: scan on appearing, untick, confirm, cancel, clean, dismiss.
  void demoCleanFromAppearingToDismiss() {
    Demo::decide(true);
    CleanupScreen screen;
    screen.make();
    QCOMPARE(screen.model().cleanupPhase(), Phase::scanning);
    QVERIFY(screen.find<QWidget>("cleanupLooking")->isVisible());
    screen.run(600ms + 50ms * 40);
    QCOMPARE(screen.model().cleanupPhase(), Phase::ready);
    QVERIFY(screen.view->list()->isVisible());
    renderIfAsked(*screen.view, "cleanup");

    const auto before = screen.model().selectedItems();
    QVERIFY(before.size() > 1);
    QCOMPARE(screen.footer(), SelectionTexts::count(int(before.size())));
    const auto first = before.front();
    screen.row(first.category, first.id)->checkBox()->click();
    screen.settle();
    QVERIFY(!screen.model().selection().contains(first.id));
    QCOMPARE(screen.footer(), SelectionTexts::count(int(before.size()) - 1));
    const auto total = CleanupTexts::totalBytes(screen.model().selectedItems(), screen.model().sizes());
    QCOMPARE(screen.find<QLabel>("footerBytes")->text(), *CleanupTexts::selectionTotal(total));

    screen.find<Button>("clean")->click();
    screen.settle();
    QVERIFY(screen.sheet());
    QCOMPARE(screen.sheet()->windowTitle(), CleanupTexts::confirmationTitle(CleanupTexts::destinations(
                                                 screen.model().selectedItems(), screen.model().sizes())));
    QTest::keyClick(screen.sheet(), Qt::Key_Escape);
    screen.settle();
    QVERIFY(!screen.model().isConfirmingClean());
    QCOMPARE(screen.model().cleanupPhase(), Phase::ready);
    QTRY_VERIFY(!screen.sheet());

    screen.find<Button>("clean")->click();
    screen.settle();
    renderIfAsked(*screen.sheet(), "cleanup-confirmation");
    screen.sheet()->actionButton()->click();
    screen.settle();
    QCOMPARE(screen.model().cleanupPhase(), Phase::cleaning);
    QCOMPARE(screen.footer(), CleanupTexts::footerStatus(Phase::cleaning, 0, 0, 0, screen.model().cleaningTitle()));
    QVERIFY(!screen.find<Button>("clean")->isEnabled());
    QVERIFY(!screen.find<Button>("rescan")->isEnabled());
    screen.run(300ms * 40);
    QCOMPARE(screen.model().cleanupPhase(), Phase::ready);
    auto* banner = screen.find<SummaryBanner>("summaryBanner");
    QVERIFY(banner && banner->isVisible());
    renderIfAsked(*screen.view, "cleanup-banner");
    screen.find<Button>("dismissSummary")->click();
    screen.settle();
    QVERIFY(!screen.model().cleanSummary());
    QVERIFY(!screen.find<SummaryBanner>("summaryBanner"));
  }

  // Coming back to a screen after a scan does not scan again.
  void aScannedModelIsNotScannedAgain() {
    Demo::decide(true);
    CleanupScreen screen;
    screen.make();
    screen.run(600ms + 50ms * 40);
    screen.view.reset();
    CleanupView again(screen.model(), nullptr, noDocker);
    again.show();
    screen.settle();
    QCOMPARE(screen.model().cleanupPhase(), Phase::ready);
  }

  void emptyScanSaysNothingToClean() {
    CleanupScreen screen;
    screen.make();
    screen.run(1s);
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.settle();
    QVERIFY(screen.find<QWidget>("nothingToClean")->isVisible());
    QCOMPARE(screen.footer(), "0 items selected");
  }

  // Admin rows have no checkbox; "Select All" touches its own category's selectable items only.
  void adminRowsAndSelectAll() {
    CleanupScreen screen;
    const auto allowed = *AdminCleanup::allowedPaths().begin();
    auto byPassword = fakeItem("yarn");
    byPassword.action = CleanupAction::Delete{{allowed}};
    byPassword.requiresAdmin = true;
    auto byHand = fakeItem("system");
    byHand.requiresAdmin = true;
    screen.fake.offer({{fakeItem("a"), 10}, {fakeItem("b"), 20}, {byPassword, 30}, {byHand, 40},
                       {fakeItem("other", CleanupCategory::apps), 50}});
    screen.fake.disk->bytes[allowed] = 30;
    screen.make();
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.settle();
    const auto tools = CleanupCategory::developerTools;
    QVERIFY(!screen.row(tools, "system")->checkBox()->isVisible());
    QVERIFY(screen.row(tools, "a")->checkBox()->isVisible());
    QCOMPARE(screen.row(tools, "yarn")->adminButton()->text(), "Clean with Password…");
    QCOMPARE(screen.row(tools, "system")->adminButton()->text(), "Copy Command");

    screen.model().setSelection({"other"});
    screen.settle();
    auto* selectAll = screen.section(tools)->selectAllButton();
    QCOMPARE(selectAll->text(), "Select All");
    selectAll->click();
    screen.settle();
    QCOMPARE(screen.model().selection(), (std::set<std::string>{"a", "b", "other"}));
    QCOMPARE(selectAll->text(), "Deselect All");
    selectAll->click();
    screen.settle();
    QCOMPARE(screen.model().selection(), (std::set<std::string>{"other"}));

    screen.row(tools, "system")->adminButton()->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), CleanupTexts::adminCommand({fakePath("system")}));
  }

  void noticesShowWhatTheScanCannotSee() {
    CleanupScreen screen;
    screen.fake.offer({{fakeItem("a"), 10}});
    screen.fake.disk->fullDiskAccess = false;
    screen.fake.disk->docker = DockerStatus{DockerStatus::NotRunning{}};
    const QUrl docker = QUrl::fromLocalFile("/usr/share/applications/docker-desktop.desktop");
    screen.make([docker] { return std::optional(docker); });
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.settle();
    auto* list = screen.view->list();
    QVERIFY(list->fullDiskAccessNotice()->isVisible());
    QVERIFY(list->dockerNotice()->isVisible());
    list->openDockerButton()->click();
    QCOMPARE(screen.opener().opened, QList<QUrl>{docker});
  }

  void dockerNoticeOnlyWhenDockerIsStopped() {
    CleanupScreen screen;
    screen.fake.offer({{fakeItem("a"), 10}});
    screen.make();
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.settle();
    QVERIFY(!screen.view->list()->fullDiskAccessNotice()->isVisible());
    QVERIFY(!screen.view->list()->dockerNotice()->isVisible());
  }

  void failuresListStartsCollapsed() {
    CleanupScreen screen;
    screen.fake.offer({{fakeItem("a"), 10}});
    screen.fake.disk->failing.insert(fakePath("a"));
    screen.make();
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.model().setSelection({"a"});
    screen.model().clean();
    QTRY_VERIFY(screen.model().cleanSummary().has_value());
    screen.settle();
    auto* banner = screen.find<SummaryBanner>("summaryBanner");
    QVERIFY(banner);
    QCOMPARE(banner->failuresToggle()->text(), CleanupTexts::failureCount(1));
    QVERIFY(!banner->failuresList()->isVisible());
    banner->failuresToggle()->click();
    QVERIFY(banner->failuresList()->isVisible());
  }

  // Two installers whose names are not UTF-8 and read alike once decoded: each has its own
  // row, an untick takes out exactly its item, and cleaning moves only the one still ticked.
  void itemsNamedInOtherEncodingsTickAndCleanOnTheirOwn() {
    CleanupScreen screen;
    const std::string kept = "/home/fake/Downloads/setup\xff.deb", moved = "/home/fake/Downloads/setup\xfe.deb";
    auto installer = [](const std::string& path) {
      const auto name = path.substr(path.rfind('/') + 1);
      return CleanupItem{"download." + name, name,  CleanupCategory::downloads, "Consequence", Safety::review,
                         CleanupAction::Trash{{path}}, false, 1, std::nullopt};
    };
    const auto keptItem = installer(kept), movedItem = installer(moved);
    screen.fake.offer({{keptItem, 10}, {movedItem, 20}});
    screen.make();
    QTRY_COMPARE(screen.model().cleanupPhase(), Phase::ready);
    screen.model().setSelection({keptItem.id, movedItem.id});
    screen.settle();
    const auto downloads = CleanupCategory::downloads;
    QCOMPARE(screen.section(downloads)->rows()->keys().size(), 2);
    for (const auto& item : {keptItem, movedItem}) QVERIFY(screen.row(downloads, item.id)->checkBox()->isChecked());
    screen.row(downloads, keptItem.id)->checkBox()->click();
    QCOMPARE(screen.model().selection(), std::set<std::string>{movedItem.id});
    screen.settle();
    QVERIFY(!screen.row(downloads, keptItem.id)->checkBox()->isChecked());
    QVERIFY(screen.row(downloads, movedItem.id)->checkBox()->isChecked());

    screen.find<Button>("clean")->click();
    screen.settle();
    QVERIFY(screen.sheet());
    screen.sheet()->actionButton()->click();
    QTRY_VERIFY(screen.model().cleanSummary().has_value());
    QCOMPARE(screen.fake.disk->performed, std::vector<std::string>{moved});
  }
};

TIDRA_TEST_MAIN(CleanupViewTest)
#include "CleanupViewTest.moc"
