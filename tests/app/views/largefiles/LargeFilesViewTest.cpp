#include "support/TestMain.h"
#include "views/largefiles/LargeFilesView.h"

#include "Demo.h"
#include "models/AppModelFakes.h"
#include "support/FakeFileRevealer.h"
#include "support/ScreenRender.h"
#include "support/TempHome.h"
#include "views/applications/RowTable.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/SegmentedControl.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"
#include "views/largefiles/LargeFilesTexts.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

constexpr auto fakeHome = "/home/fake";

// The demo search on screen, run to its end in virtual time.
struct LargeFilesScreen {
  LargeFilesScreen() : model(fake.make(fakeHome)), view(model, revealer, fakeHome) {
    view.resize(980, 660);
    view.show();
    for (int step = 0; step < 100 && model.largeFilePhase() != AppModel::SearchPhase::ready; ++step) {
      fake.scheduler.advance(100ms);
      QCoreApplication::processEvents();
    }
    settle();
  }

  void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
  }
  template <class T>
  T* find(const QString& name) const {
    return view.findChild<T*>(name);
  }
  RowTable* table() const { return find<RowTable>("fileTable"); }
  ConfirmationDialog* dialog() const { return find<ConfirmationDialog>("trashConfirmation"); }
  void chooseMinimum(int index) {
    find<SegmentedControl>("minimumSize")->setCurrentIndex(index);
    settle();
  }
  std::vector<LargeFile> listed() const { return LargeFilesTexts::listed(model.largeFiles(), model.largeFileThreshold()); }

  test::FakeModel fake;
  FakeFileRevealer revealer;
  AppModel& model;
  LargeFilesView view;
};

// The screen over a search that finds `found` and a Trash that records the paths of each move.
struct LiveLargeFilesScreen {
  explicit LiveLargeFilesScreen(std::vector<LargeFile> found) {
    auto files = test::quietFiles();
    files.findLargeFiles = [found](const std::string&, std::int64_t, std::int64_t, const std::set<std::string>&,
                                   const LargeFileFinder::Progress&, const LargeFileFinder::Unreadable&) { return found; };
    files.trashFiles = [moves = moves](const PathGuard&, const std::vector<std::string>& paths) {
      moves->record(paths);
      return TrashOutcome{paths, {}, {}};
    };
    files.bytesNow = [](const std::string&) { return std::int64_t{1}; };
    AppServices services;
    services.cleanup = test::fakeCleanup(fake.disk);
    services.projects = test::quietProjects();
    services.applications = test::quietApplications();
    services.files = files;
    fake.model = std::make_unique<AppModel>(test::quietEnvironment(fakeHome), services, test::fakeDesktop(), fake.scheduler);
    view = std::make_unique<LargeFilesView>(*fake.model, revealer, fakeHome);
    view->show();
  }

  struct Moves {
    std::mutex mutex;
    std::vector<std::vector<std::string>> calls;
    void record(const std::vector<std::string>& paths) {
      std::lock_guard lock(mutex);
      calls.push_back(paths);
    }
    std::vector<std::vector<std::string>> taken() {
      std::lock_guard lock(mutex);
      return calls;
    }
  };

  QTreeWidgetItem* item(const std::string& path) const {
    auto* table = view->findChild<RowTable*>("fileTable");
    for (int index = 0; index < table->topLevelItemCount(); ++index)
      if (table->idOf(*table->topLevelItem(index)) == path) return table->topLevelItem(index);
    return nullptr;
  }

  std::shared_ptr<Moves> moves = std::make_shared<Moves>();
  test::FakeModel fake;
  FakeFileRevealer revealer;
  std::unique_ptr<LargeFilesView> view;
};

}  // namespace

class LargeFilesViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Demo::decide(true); }
  void cleanup() { Demo::decide(true); }

  void firstShowingSearchesOnceAndCountsAsItGoes() {
    test::FakeModel fake;
    auto& model = fake.make(fakeHome);
    FakeFileRevealer revealer;
    LargeFilesView view(model, revealer, fakeHome);
    view.show();
    QCOMPARE(model.largeFilePhase(), AppModel::SearchPhase::searching);
    QCoreApplication::processEvents();
    auto* progress = view.findChild<StyledLabel*>("searchProgress");
    QCOMPARE(progress->text(), LargeFilesTexts::progress(model.filesExamined()));
    const int first = model.filesExamined();
    fake.scheduler.advance(100ms);
    QTRY_COMPARE(progress->text(), LargeFilesTexts::progress(model.filesExamined()));
    QVERIFY(model.filesExamined() > first);
    QVERIFY(!view.findChild<QPushButton*>("searchAgain")->isEnabled());
  }

  void listsAtTheMinimumAndFiltersWithoutSearching() {
    LargeFilesScreen screen;
    QCOMPARE(screen.model.largeFilePhase(), AppModel::SearchPhase::ready);
    QCOMPARE(screen.table()->topLevelItemCount(), static_cast<int>(screen.listed().size()));
    QCOMPARE(screen.find<StyledLabel>("listSummary")->text(), LargeFilesTexts::listSummary(screen.listed()));
    QSignalSpy searches(&screen.model, &AppModel::largeFilePhaseChanged);
    screen.view.hide();
    screen.view.show();
    screen.chooseMinimum(0);
    QCOMPARE(screen.model.largeFileThreshold(), 100'000'000);
    QCOMPARE(screen.table()->topLevelItemCount(), static_cast<int>(screen.model.largeFiles().size()));
    screen.chooseMinimum(2);
    QCOMPARE(screen.table()->topLevelItemCount(),
             static_cast<int>(LargeFilesTexts::listed(screen.model.largeFiles(), 1'000'000'000).size()));
    QCOMPARE(searches.count(), 0);
  }

  void hiddenFilesLeaveTheCountButStayChosen() {
    LargeFilesScreen screen;
    screen.chooseMinimum(0);
    const auto& files = screen.model.largeFiles();
    const auto small = std::find_if(files.begin(), files.end(), [](const LargeFile& f) { return f.bytes < 500'000'000; });
    QVERIFY(small != files.end());
    screen.view.setSelection({files.front().path, small->path});
    screen.settle();
    QCOMPARE(screen.find<StyledLabel>("selectionSummary")->text(),
             *LargeFilesTexts::selectionSummary({files.front(), *small}));
    screen.chooseMinimum(1);
    QCOMPARE(screen.find<StyledLabel>("selectionSummary")->text(), *LargeFilesTexts::selectionSummary({files.front()}));
    // Picking in the table keeps the hidden choice.
    screen.table()->topLevelItem(1)->setSelected(true);
    QVERIFY(screen.view.selection().contains(small->path));
    screen.chooseMinimum(0);
    QCOMPARE(screen.view.selection().size(), std::size_t(3));
  }

  void contextMenuReplacesTheSelectionAndConfirmingEmptiesIt() {
    LargeFilesScreen screen;
    const auto listed = screen.listed();
    screen.view.setSelection({listed[0].path});
    screen.view.menuFor({listed[1].path})->findChild<QAction*>("trashRows")->trigger();
    QCOMPARE(screen.view.selection(), (std::set<std::string>{listed[1].path}));
    QVERIFY(screen.dialog() != nullptr);
    QCOMPARE(screen.dialog()->windowTitle(), LargeFilesTexts::trashQuestion({listed[1]}));
    screen.dialog()->actionButton()->click();
    QVERIFY(screen.view.selection().empty());
    QTRY_VERIFY(std::none_of(screen.model.largeFiles().begin(), screen.model.largeFiles().end(),
                             [&](const LargeFile& f) { return f.path == listed[1].path; }));
    QCOMPARE(screen.model.records().front().source, "Large Files");
  }

  // A right click opens the menu on the clicked row without touching the selection: the menu
  // acts on that row alone, and only its "Move to Trash" makes the row the selection.
  void rightClickLeavesTheSelectionToTheMenu() {
    LargeFilesScreen screen;
    const auto listed = screen.listed();
    screen.view.setSelection({listed[0].path});
    screen.settle();
    auto* table = screen.table();
    const QPoint onSecond = table->visualItemRect(table->topLevelItem(1)).center();
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, onSecond);
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, onSecond);
    QContextMenuEvent opening(QContextMenuEvent::Mouse, onSecond, table->viewport()->mapToGlobal(onSecond));
    QCoreApplication::sendEvent(table->viewport(), &opening);
    screen.settle();
    QCOMPARE(screen.view.selection(), (std::set<std::string>{listed[0].path}));
    QCOMPARE(table->selectedIds(), (std::set<std::string>{listed[0].path}));
    auto* menu = screen.view.findChild<QMenu*>("fileMenu");
    QVERIFY(menu != nullptr);
    menu->findChild<QAction*>("showInFolder")->trigger();
    QCOMPARE(screen.revealer.revealed, std::vector<std::string>{listed[1].path});
    QCOMPARE(screen.view.selection(), (std::set<std::string>{listed[0].path}));
    menu->close();
    // Left clicks still choose rows.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, onSecond);
    QCOMPARE(screen.view.selection(), (std::set<std::string>{listed[1].path}));
  }

  // Without failures the card starts where the other screens' cards do: 16 under the toolbar.
  void emptyFailureSlotKeepsNoMargin() {
    LargeFilesScreen screen;
    const auto cardTop = [&screen] {
      const QWidget* card = screen.table()->parentWidget();
      const QWidget* page = card->parentWidget()->parentWidget();
      return card->mapTo(page, QPoint(0, 0)).y();
    };
    QCOMPARE(cardTop(), 16);
    screen.model.setTrashFailures({{"/home/fake/Movies/a.mov", "is in use"}});
    screen.settle();
    QVERIFY(cardTop() > 16 + 12);
    screen.model.setTrashFailures({});
    screen.settle();
    QCOMPARE(cardTop(), 16);
  }

  // A screen built in one appearance shows its rows in the next one's text colour.
  void rowsFollowTheAppearance() {
    LargeFilesScreen screen;
    Theme::apply(Theme::Scheme::dark);
    QCoreApplication::processEvents();
    const QColor text = screen.table()->palette().color(QPalette::Text);
    const QColor title = screen.table()->header()->palette().color(QPalette::ButtonText);
    Theme::apply(Theme::Scheme::light);
    QCOMPARE(text, Theme::palette(Theme::Scheme::dark).color(QPalette::Text));
    QCOMPARE(title, Theme::palette(Theme::Scheme::dark).color(QPalette::ButtonText));
  }

  void folderColumnWidth_data() {
    QTest::addColumn<int>("shared");
    QTest::addColumn<int>("needed");
    QTest::addColumn<int>("width");
    QTest::newRow("short folders") << 400 << 100 << 100;
    QTest::newRow("long folders") << 400 << 300 << 160;
    QTest::newRow("no room") << 0 << 50 << 0;
  }
  void folderColumnWidth() {
    QFETCH(int, shared);
    QFETCH(int, needed);
    QFETCH(int, width);
    QCOMPARE(LargeFilesView::folderColumnWidth(shared, needed), width);
  }

  // At the smallest window and the usual one the Folder column is no wider than its longest
  // folder, and the names take the rest: at the usual size the demo's longest name is whole.
  void namesGetTheRoom_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("namesWhole");
    QTest::newRow("smallest") << 669 << false;
    QTest::newRow("usual") << 789 << true;
  }
  void namesGetTheRoom() {
    QFETCH(int, width);
    QFETCH(bool, namesWhole);
    LargeFilesScreen screen;
    screen.chooseMinimum(0);
    screen.view.resize(width, 560);
    screen.settle();
    auto* table = screen.table();
    const auto* header = table->header();
    const int folderNeeds = table->columnNeeds(3);
    QVERIFY2(header->sectionSize(3) <= folderNeeds, qPrintable(QStringLiteral("%1 > %2").arg(header->sectionSize(3)).arg(folderNeeds)));
    QVERIFY(header->sectionSize(0) > header->sectionSize(3));
    QCOMPARE(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2) + header->sectionSize(3),
             table->viewport()->width());
    if (namesWhole) QVERIFY(header->sectionSize(0) >= table->columnNeeds(0));
  }

  void cancellingKeepsTheSelection() {
    LargeFilesScreen screen;
    const auto first = screen.listed().front().path;
    screen.view.setSelection({first});
    screen.settle();
    screen.find<QPushButton>("trash")->click();
    QVERIFY(screen.dialog() != nullptr);
    screen.dialog()->cancelButton()->click();
    QCOMPARE(screen.view.selection(), (std::set<std::string>{first}));
    QCOMPARE(screen.listed().front().path, first);
  }

  void nothingChosenOpensNoQuestion() {
    LargeFilesScreen screen;
    const auto records = screen.model.records().size();
    auto* menu = screen.view.menuFor({});
    for (const auto* name : {"showInFolder", "trashRows"}) QVERIFY(!menu->findChild<QAction*>(name)->isEnabled());
    menu->findChild<QAction*>("trashRows")->trigger();
    QVERIFY(screen.dialog() == nullptr);
    QVERIFY(!screen.find<QPushButton>("trash")->isEnabled());
    QVERIFY(!screen.find<QPushButton>("trashTool")->isEnabled());
    // A choice hidden by the minimum is no choice either.
    screen.view.setSelection({"/home/fake/not-listed"});
    screen.settle();
    QVERIFY(!screen.find<QPushButton>("trash")->isEnabled());
    QCOMPARE(screen.model.records().size(), records);
  }

  void failureBannerShowsOnlyTheFirst() {
    LargeFilesScreen screen;
    const std::vector<CleanReport::Failure> failures{{"/home/fake/Movies/a.mov", "is in use"}, {"/home/fake/b", "gone"}};
    screen.model.setTrashFailures(failures);
    screen.settle();
    auto* banner = screen.find<QWidget>("trashFailures");
    QVERIFY(banner != nullptr);
    QStringList texts;
    for (const auto* label : banner->findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains(LargeFilesTexts::failureTitle(failures)));
    QVERIFY(texts.contains("~/Movies/a.mov: is in use"));
    QVERIFY(!texts.join(' ').contains("/b"));
    screen.find<QPushButton>("dismissFailures")->click();
    QVERIFY(screen.model.trashFailures().empty());
  }

  void rowsRevealTheirFiles() {
    LargeFilesScreen screen;
    const auto first = screen.listed().front().path;
    screen.view.menuFor({first})->findChild<QAction*>("showInFolder")->trigger();
    QCOMPARE(screen.revealer.revealed, std::vector<std::string>{first});
  }

  // Two files whose names are not UTF-8 and read alike once decoded: each row is its own, an
  // untick takes out exactly its file, the move takes only the file still chosen, and each
  // reveals itself byte for byte.
  void namesInOtherEncodingsTickAndMoveOnTheirOwn() {
    Demo::decide(false);
    const std::string kept = std::string(fakeHome) + "/Movies/clip\xff.mov", moved = std::string(fakeHome) + "/Movies/clip\xfe.mov";
    LiveLargeFilesScreen screen({{kept, 2'000'000'000, {}}, {moved, 2'000'000'000, {}}});
    QTRY_COMPARE(screen.fake.model->largeFilePhase(), AppModel::SearchPhase::ready);
    QCoreApplication::processEvents();
    QVERIFY(screen.item(kept) && screen.item(moved));
    for (const auto& path : {kept, moved}) screen.item(path)->setSelected(true);
    QCOMPARE(screen.view->selection(), (std::set<std::string>{kept, moved}));
    screen.item(kept)->setSelected(false);
    QCOMPARE(screen.view->selection(), std::set<std::string>{moved});

    screen.view->menuFor({kept})->findChild<QAction*>("showInFolder")->trigger();
    screen.view->menuFor({moved})->findChild<QAction*>("showInFolder")->trigger();
    QCOMPARE(screen.revealer.revealed, (std::vector<std::string>{kept, moved}));

    QCoreApplication::processEvents();
    screen.view->findChild<QPushButton*>("trash")->click();
    auto* dialog = screen.view->findChild<ConfirmationDialog*>("trashConfirmation");
    QVERIFY(dialog);
    dialog->actionButton()->click();
    QTRY_COMPARE(screen.moves->taken().size(), std::size_t{1});
    QCOMPARE(screen.moves->taken().front(), std::vector<std::string>{moved});
  }

  // A file whose data another name outside the search keeps says so on its size, and what the
  // selection frees leaves it out.
  void fileWithOtherLinksSaysItFreesNothing() {
    Demo::decide(false);
    test::TempHome home, outside;
    home.file("Movies/lone.mkv", 101'000'000);
    const auto linked = home.file("Movies/linked.mkv", 101'000'000);
    QCOMPARE(::link(linked.c_str(), outside.path("elsewhere.mkv").c_str()), 0);
    LiveLargeFilesScreen screen(LargeFileFinder::find(home.root(), 1, 1000));
    screen.fake.model->setLargeFileThreshold(100'000'000);
    QTRY_COMPARE(screen.fake.model->largeFilePhase(), AppModel::SearchPhase::ready);
    QCoreApplication::processEvents();
    auto* linkedRow = screen.item(linked);
    QVERIFY(linkedRow && screen.item(home.path("Movies/lone.mkv")));
    QCOMPARE(linkedRow->toolTip(1), "other links keep its data");
    QVERIFY(screen.item(home.path("Movies/lone.mkv"))->toolTip(1).isEmpty());
    screen.view->setSelection({linked, home.path("Movies/lone.mkv")});
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(screen.view->findChild<StyledLabel*>("selectionSummary")->text(), "2 selected, 101 MB");
    screen.view->resize(980, 400);
    QVERIFY(test::drewSomething(*screen.view, QStringLiteral("largefiles-links")));
  }

  // The list with a selection and a failure, and the trash confirmation, draw in both appearances
  // (saved for a person to look at when TIDRA_RENDER_DIR names a folder).
  void listAndConfirmationDrawInBothAppearances() {
    for (auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      Theme::apply(scheme);
      const auto suffix = scheme == Theme::Scheme::dark ? QStringLiteral("dark") : QStringLiteral("light");
      LargeFilesScreen screen;
      screen.chooseMinimum(0);
      screen.view.setSelection({screen.listed()[0].path, screen.listed()[2].path});
      screen.model.setTrashFailures({{"/home/fake/Movies/a.mov", "is in use"}});
      screen.settle();
      QVERIFY(test::drewSomething(screen.view, QStringLiteral("largefiles-") + suffix));
      screen.find<QPushButton>("trash")->click();
      QCoreApplication::processEvents();
      QVERIFY(screen.dialog());
      QVERIFY(test::drewSomething(*screen.dialog(), QStringLiteral("trash-") + suffix));
    }
  }
};

TIDRA_TEST_MAIN(LargeFilesViewTest)
#include "LargeFilesViewTest.moc"
