#include "support/TestMain.h"
#include "models/AppModelFakes.h"
#include "models/PerformanceFakes.h"
#include "support/PaintRecorder.h"
#include "support/ScreenRender.h"

#include "Demo.h"
#include "models/ProjectsModel.h"
#include "models/Diagnosis.h"
#include "views/PressureLabel.h"
#include "views/design/BigNumber.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/design/Theme.h"
#include "views/overview/MemoryCard.h"
#include "views/overview/MeterRow.h"
#include "views/overview/OverviewTexts.h"
#include "views/overview/OverviewView.h"
#include "views/overview/StorageCard.h"
#include "views/ContentView.h"
#include "views/Formats.h"
#include "views/RowKeys.h"
#include "views/Sidebar.h"

#include <QBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

// The overview over a model and a projects model sharing one virtual clock.
struct OverviewScreen {
  PerformanceModel fake;
  std::unique_ptr<OverviewView> view;

  AppModel& model() { return *fake.model; }
  ProjectsModel& projects() { return model().projects(); }
  OverviewView& make() {
    fake.make();
    view = std::make_unique<OverviewView>(model());
    view->resize(980, 660);
    view->show();
    settle();
    return *view;
  }
  void settle() { QCoreApplication::processEvents(); QCoreApplication::processEvents(); }
  void run(std::chrono::milliseconds time) {
    fake.scheduler.advance(time);
    settle();
  }
  template <class T> T* find(const QString& name) const { return view->findChild<T*>(name); }
  bool shown(const QString& name) const { return find<QWidget>(name)->isVisibleTo(view.get()); }
};

}  // namespace

class OverviewViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Theme::apply(Theme::Scheme::light); }
  void cleanup() { Demo::decide(false); }

  void withoutADiskReadingOnlyTheUnavailableText() {
    OverviewScreen screen;
    screen.make();
    QVERIFY(!screen.model().disk());
    QVERIFY(screen.shown("diskUnavailable"));
    QVERIFY(!screen.shown("availableOf"));
    QVERIFY(!screen.shown("reviewAndClean"));
    QVERIFY(!screen.shown("candidates"));
  }

  // The demo machine from launch to a finished scan: progress, then the three largest safe wins.
  void demoStorageAndCleanup() {
    Demo::decide(true);
    OverviewScreen screen;
    screen.make();
    screen.model().refreshDisk();
    screen.model().scan();
    screen.settle();
    QCOMPARE(screen.find<QLabel>("cleanupProgress")->text(), "Looking for things to clean…");
    QVERIFY(!screen.find<Button>("reviewAndClean")->isEnabled());
    screen.run(600ms + 50ms * 40);
    QVERIFY(!screen.shown("cleanupProgress"));
    const auto figures = OverviewTexts::storage(*screen.model().disk(), screen.model().safeBytes());
    QCOMPARE(screen.find<QLabel>("availableOf")->text(), OverviewTexts::availableOf(figures));
    QCOMPARE(screen.find<KeyedRowList>("candidates")->keys().size(), 3);
    auto* review = screen.find<Button>("reviewAndClean");
    QCOMPARE(review->text(), OverviewTexts::reviewTitle(screen.model().safeBytes()));
    QVERIFY(review->isEnabled());
    review->click();
    QCOMPARE(screen.model().section(), Section::cleanup);
    QVERIFY(screen.shown("nothingCleaned") != !screen.model().records().empty());

    screen.projects().scanProjects();
    screen.run(10s);
    renderIfAsked(*screen.view, "overview");
  }

  // "Scan Projects" goes to the Projects screen and scans once; with a result it only goes there.
  void projectsButtonScansOnlyTheFirstTime() {
    Demo::decide(true);
    OverviewScreen screen;
    screen.make();
    auto* button = screen.find<Button>("projectsButton");
    QCOMPARE(button->text(), "Scan Projects");
    button->click();
    screen.settle();
    QCOMPARE(screen.model().section(), Section::projects);
    QVERIFY(screen.projects().phase().isScanning());
    QVERIFY(!button->isEnabled());
    screen.run(10s);
    QVERIFY(screen.projects().scan().has_value());
    QCOMPARE(button->text(), "Review Projects");
    screen.model().setSection(Section::overview);
    button->click();
    screen.settle();
    QCOMPARE(screen.model().section(), Section::projects);
    QVERIFY(!screen.projects().phase().isScanning());
  }

  // Showing the page starts the refresh loop, so the card has a reading to show.
  void whyIsItSlowOpensTheCheckAndMemoryFollowsTheReading() {
    OverviewScreen screen;
    screen.make();
    QTRY_VERIFY(screen.model().memory().has_value());
    screen.settle();
    QVERIFY(!screen.shown("memoryWaiting"));
    QCOMPARE(screen.find<PressureLabel>("pressureLabel")->text(), PressureLabel::text(screen.model().memory()->pressure));
    QCOMPARE(screen.find<QLabel>("memoryInUse")->text(), OverviewTexts::memoryInUse(*screen.model().memory()));
    screen.find<Button>("whyIsItSlow")->click();
    QVERIFY(screen.model().diagnosis().isPresented());
    screen.model().setPerformanceTab(AppModel::PerformanceTab::startup);
    screen.find<Button>("whatsUsingMemory")->click();
    QCOMPARE(screen.model().section(), Section::performance);
    QCOMPARE(screen.model().performanceTab(), AppModel::PerformanceTab::startup);
  }

  // Figures that move every few seconds redraw the memory card, not the cards beside it.
  void newProcessFiguresRedrawOnlyTheMemoryCard() {
    OverviewScreen screen;
    auto editor = someGroup("Editor", {40});
    editor.memoryBytes = 800'000'000;
    screen.fake.machine->sample.groups = {editor};
    screen.make();
    QTRY_COMPARE(screen.model().processes().size(), std::size_t{1});
    // The first readings of the disk and the cleanup come in meanwhile.
    for (int pass = 0; pass < 3; ++pass) screen.run(3s);
    PaintRecorder recorder(screen.view.get());
    recorder.settleAndReset();
    {
      std::lock_guard lock(screen.fake.machine->mutex);
      screen.fake.machine->sample.groups[0].memoryBytes = 900'000'000;
    }
    QTRY_VERIFY((screen.run(3s), screen.model().processes().front().memoryBytes == 900'000'000));
    PaintRecorder::settle();
    QVERIFY(recorder.paintsWithin(screen.find<QWidget>("memoryCard")) > 0);
    QCOMPARE(recorder.paintsWithin(screen.find<QWidget>("storageCard")), 0);
    QCOMPARE(recorder.paintsWithin(screen.find<QWidget>("historyCard")), 0);
  }

  // "When" keeps counting while the overview sits open and nothing else changes.
  void aCleanupAgesWhileTheOverviewSitsOpen() {
    OverviewScreen screen;
    screen.make();
    const auto cleaned = screen.fake.scheduler.now();
    screen.model().record(CleanupRecord{cleaned, "Cleanup", 1, {"Caches"}, 0}, true);
    screen.settle();
    auto* when = screen.find<QLabel>("when");
    QTRY_COMPARE(when->text(), Formats::relativeDate(cleaned, cleaned));
    screen.run(5s);
    QCOMPARE(when->text(), Formats::relativeDate(cleaned, cleaned + 5s));
    screen.run(2min);
    QCOMPARE(when->text(), Formats::relativeDate(cleaned, screen.fake.scheduler.now()));
  }

  void developerToolsLinkOpensTheirTab() {
    Demo::decide(true);
    OverviewScreen screen;
    screen.make();
    QTRY_VERIFY(!screen.model().developerTools().empty());
    screen.settle();
    auto* link = screen.find<Button>("developerToolsLink");
    QCOMPARE(link->text(), *OverviewTexts::developerToolsLink(screen.model().developerTools()));
    link->click();
    QCOMPARE(screen.model().performanceTab(), AppModel::PerformanceTab::developerTools);
    QCOMPARE(screen.model().section(), Section::performance);
  }

  // The narrowest window leaves the page the least width beside the widest sidebar; the demo's
  // figures must fit it without a sideways scroll.
  void demoPageFitsTheNarrowestWindow() {
    Demo::decide(true);
    OverviewScreen screen;
    screen.make();
    screen.model().refreshDisk();
    screen.model().scan();
    screen.run(600ms + 50ms * 40);
    auto* storage = static_cast<StorageCard*>(screen.find<QWidget>("storageCard"));
    for (const auto& [width, beside] : {std::pair{ContentView::leastWidth - Sidebar::widest, false}, {1200, true}}) {
      screen.view->resize(width, 660);
      screen.settle();
      QCOMPARE(screen.view->horizontalScrollBar()->maximum(), 0);
      QCOMPARE(storage->cleanupBeside(), beside);
      renderIfAsked(*screen.view, QStringLiteral("overview-%1").arg(width));
    }
  }

  // The widest figures a disk gives, on the narrowest page: the free space stays inside the ring
  // and the heading keeps every word, also when a clean makes the figures wider.
  void storageFiguresAreNeverCut_data() {
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QList<qint64>>("available");
    constexpr qint64 GB = 1'000'000'000;
    QTest::newRow("31 GB free") << 494'380'000'000LL << QList<qint64>{31 * GB};
    QTest::newRow("a clean frees past 100 GB") << 494'380'000'000LL << QList<qint64>{31 * GB, 125'370'000'000LL};
    QTest::newRow("999.99 GB of a terabyte") << 1'000 * GB << QList<qint64>{999'990'000'000LL};
    QTest::newRow("16 TB") << 16'000 * GB << QList<qint64>{888'880'000'000LL, 15'999 * GB};
  }

  void storageFiguresAreNeverCut() {
    QFETCH(qint64, total);
    QFETCH(QList<qint64>, available);
    OverviewScreen screen;
    screen.make();
    screen.view->resize(ContentView::leastWidth - Sidebar::widest, 660);
    for (const qint64 free : available) {
      screen.fake.disk->disk = DiskUsage{total, free};
      screen.model().refreshDisk();
      screen.run(1s);
      auto* heading = screen.find<QLabel>("availableOf");
      QVERIFY2(heading->width() >= heading->sizeHint().width(), qPrintable(heading->text()));
      auto* figure = screen.find<BigNumber>("freeSpace");
      auto* ring = figure->parentWidget();
      const QRect box(figure->mapTo(ring, QPoint()), figure->size());
      // The figure's line box sits inside the ring's inner circle, corners included.
      const QPointF centre = QRectF(ring->rect()).center();
      const qreal inside = ring->width() / 2.0 - 18;
      for (const QPointF corner : {QPointF(box.topLeft()), QPointF(box.topRight()) + QPointF(1, 0),
                                   QPointF(box.bottomLeft()) + QPointF(0, 1), QPointF(box.bottomRight()) + QPointF(1, 1)})
        QVERIFY2(QLineF(centre, corner).length() <= inside, qPrintable(figure->text()));
      QVERIFY(figure->width() >= figure->sizeHint().width());
      renderIfAsked(*screen.view, QStringLiteral("overview-figures-%1").arg(figure->text()));
    }
  }

  // The page's scroll bar shows only when the page is taller than the window.
  void scrollBarOnlyWhenThePageOverflows() {
    OverviewScreen screen;
    screen.make();
    screen.view->resize(1200, 2000);
    screen.settle();
    QVERIFY(!screen.view->verticalScrollBar()->isVisible());
    screen.view->resize(1200, 300);
    screen.settle();
    QVERIFY(screen.view->verticalScrollBar()->isVisible());
  }

  // After a clean the heading grows ("125.37 GB available of 494.38 GB"): on a page just wide
  // enough for the cleanup summary beside the old heading, the summary moves under the new one.
  void aWiderHeadingAfterACleanKeepsItsLastWord() {
    OverviewScreen screen;
    screen.fake.disk->disk = DiskUsage{494'380'000'000, 1'000'000'000};
    screen.make();
    screen.model().refreshDisk();
    screen.settle();
    auto* storage = static_cast<StorageCard*>(screen.find<QWidget>("storageCard"));
    int width = 600;
    while (width < 2000 && !storage->cleanupBeside()) {
      width += 4;
      screen.view->resize(width, 660);
      screen.settle();
    }
    QVERIFY(storage->cleanupBeside());
    screen.fake.disk->disk = DiskUsage{494'380'000'000, 125'370'000'000};
    screen.model().refreshDisk();
    screen.settle();
    auto* heading = screen.find<QLabel>("availableOf");
    QVERIFY2(heading->width() >= heading->sizeHint().width(), qPrintable(heading->text()));
  }

  // Installers whose names differ only in bytes that are not UTF-8 are two candidates, and a
  // control that turns text around shows as written instead of reversing the name.
  void candidatesKeepNamesInOtherEncodingsApart() {
    FakeModel fake;
    auto installer = [](const std::string& name) {
      return CleanupItem{"download." + name, name, CleanupCategory::downloads, "Consequence", Safety::safe,
                         CleanupAction::Trash{{"/home/fake/Downloads/" + name}}, false, 1, std::nullopt};
    };
    const auto first = installer("setup\xff.deb"), second = installer("setup\xfe.deb"),
               spoofed = installer("photo\u202Egpj.exe");
    fake.offer({{first, 30'000'000}, {second, 20'000'000}, {spoofed, 10'000'000}});
    fake.make();
    StorageCard card(*fake.model);
    card.show();
    fake.model->scan();
    fake.model->refreshDisk();
    QTRY_COMPARE(fake.model->cleanupPhase(), AppModel::CleanupPhase::ready);
    QTRY_VERIFY(fake.model->disk().has_value());
    card.refresh();
    const auto* rows = card.findChild<KeyedRowList*>(QStringLiteral("candidates"));
    QCOMPARE(rows->keys(), (QStringList{RowKeys::of(first.id), RowKeys::of(second.id), RowKeys::of(spoofed.id)}));
    const auto* shown = static_cast<MeterRow*>(rows->row(RowKeys::of(spoofed.id)));
    QVERIFY(shown->name().contains(QStringLiteral("\\u202E")));
  }

  void memoryButtonsStackWhenTheCardIsNarrow() {
    OverviewScreen screen;
    screen.make();
    auto* card = static_cast<MemoryCard*>(screen.find<QWidget>("memoryCard"));
    QCOMPARE(card->buttonsLayout()->direction(), QBoxLayout::LeftToRight);
    screen.view->resize(640, 660);
    screen.settle();
    QCOMPARE(card->buttonsLayout()->direction(), QBoxLayout::TopToBottom);
  }
};

TIDRA_TEST_MAIN(OverviewViewTest)
#include "OverviewViewTest.moc"
