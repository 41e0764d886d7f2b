#include "support/TestMain.h"
#include "views/duplicates/DuplicatesView.h"

#include "Demo.h"
#include "models/AppModelFakes.h"
#include "models/DuplicatesModel.h"
#include "models/SimilarPhotosModel.h"
#include "support/TestScheduler.h"
#include "support/FakeFileRevealer.h"
#include "support/FakeThumbnailer.h"
#include "support/FileSetsFixture.h"
#include "support/ScreenRender.h"
#include "support/TempHome.h"
#include "views/Formats.h"
#include "views/design/Button.h"
#include "views/design/ConfirmationDialog.h"
#include "views/design/EmptyState.h"
#include "views/design/SegmentedControl.h"
#include "views/design/Theme.h"
#include "views/duplicates/DuplicateRow.h"
#include "views/duplicates/DuplicateSetSection.h"
#include "views/duplicates/DuplicatesTexts.h"
#include "views/duplicates/IdenticalPane.h"
#include "views/duplicates/LazyColumn.h"
#include "views/duplicates/PhotoCell.h"
#include "views/duplicates/PhotoTile.h"
#include "views/duplicates/PreviewWindow.h"
#include "views/duplicates/SimilarPane.h"
#include "views/duplicates/SimilarSetCard.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

#include <unistd.h>

using namespace tidra;
using namespace tidra::duplicates;
using namespace std::chrono_literals;
using SetsPhase = FileSetsModel::Phase;

namespace {

const std::string someoneHome = "/home/someone";

// Counts decodes by the thread that asked, so a test sees whether the GUI thread ever decoded.
class ThreadCountingThumbnailer final : public Thumbnailer {
public:
  std::optional<QImage> thumbnail(const std::string&, QSize pixels) const override {
    (QThread::currentThread() == qApp->thread() ? onGui : onWorkers)++;
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
  }
  QImage fileIcon(const std::string&, QSize pixels) const override { return blank(pixels); }
  QImage typeIcon(const std::string&, QSize pixels) const override { return blank(pixels); }
  QImage appIcon(const std::string&, QSize pixels) const override { return blank(pixels); }

  mutable std::atomic<int> onGui = 0;
  mutable std::atomic<int> onWorkers = 0;

private:
  static QImage blank(QSize pixels) {
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
  }
};

DuplicateGroup set(const std::string& hash, std::int64_t size, const std::vector<std::string>& paths) {
  auto group = test::identical(size, paths);
  group.hash = hash;
  return group;
}

struct DuplicatesScreen {
  DuplicatesScreen(bool demo, std::vector<DuplicateGroup> duplicateGroups = {}, std::vector<SimilarPhotoGroup> photoGroups = {},
         std::shared_ptr<Thumbnailer> pictures = std::make_shared<test::FakeThumbnailer>())
      : trash((Demo::decide(demo), std::make_shared<test::FakeTrash>())),
        thumbnailer(std::move(pictures)),
        services(test::fakeFileServices(std::move(duplicateGroups), std::move(photoGroups), trash)),
        duplicates(services, thumbnailer, scheduler, someoneHome),
        photos(services, thumbnailer, scheduler, someoneHome),
        view(duplicates, photos, app.make(), revealer, thumbnailer) {
    view.resize(980, 660);
    view.show();
  }

  // Runs the demo timings, or waits for the fake search's worker.
  void finish(FileSetsModel& model) {
    for (int step = 0; step < 100 && model.phase() != SetsPhase::ready; ++step) {
      scheduler.advance(100ms);
      QCoreApplication::processEvents();
    }
    QTRY_VERIFY(model.phase() == SetsPhase::ready);
    settle();
  }

  void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  template <class T>
  T* find(const char* name) const {
    return view.findChild<T*>(QString::fromLatin1(name));
  }
  QWidget* footer(const char* name) const { return view.findChild<QWidget*>(QString::fromLatin1(name)); }
  Button* footerButton(const char* footerName, const char* button) const {
    return view.findChild<QWidget*>(QString::fromLatin1(footerName))->findChild<Button*>(QString::fromLatin1(button));
  }
  QString footerText(const char* footerName, const char* label) const {
    return view.findChild<QWidget*>(QString::fromLatin1(footerName))->findChild<QLabel*>(QString::fromLatin1(label))->text();
  }
  // Clicks the footer's "Move to Trash…" and gives the question it raised, if any.
  ConfirmationDialog* askToMove(const char* footerName, const char* dialogName) {
    QTest::mouseClick(footerButton(footerName, "moveToTrash"), Qt::LeftButton);
    settle();
    return find<ConfirmationDialog>(dialogName);
  }
  void chooseMode(int index) {
    find<SegmentedControl>("modePicker")->setCurrentIndex(index);
    settle();
  }

  std::shared_ptr<test::FakeTrash> trash;
  std::shared_ptr<Thumbnailer> thumbnailer;
  FileServices services;
  TestScheduler scheduler;
  FakeFileRevealer revealer;
  test::FakeModel app;  // whose history the screen reports on
  DuplicatesModel duplicates;
  SimilarPhotosModel photos;
  DuplicatesView view;
};

std::vector<DuplicateGroup> twoSets() {
  return {set("big", 10'000'000, {someoneHome + "/Documents/a.mov", someoneHome + "/Downloads/a.mov", someoneHome + "/Desktop/a copy.mov"}),
          set("small", 2'000'000, {someoneHome + "/Music/s.mp3", someoneHome + "/Downloads/s.mp3"})};
}

QStringList shownKeys(const DuplicatesScreen& screen) { return screen.view.identicalPane()->list()->madeKeys(); }

bool dialogShows(const QDialog* dialog, const QString& text) {
  for (const auto* label : dialog->findChildren<QLabel*>())
    if (label->text() == text) return true;
  return false;
}

}  // namespace

class DuplicatesViewTest : public QObject {
  Q_OBJECT

private slots:
  void cleanup() { Demo::decide(false); }

  // The first visit to each mode searches; coming back to a mode that searched does not, and
  // "Search Again" follows only the current mode's search.
  void eachModeSearchesOnce() {
    DuplicatesScreen screen(true);
    QCOMPARE(screen.duplicates.phase(), SetsPhase::searching);
    QVERIFY(screen.find<QWidget>("minimumSize")->isVisible());
    screen.finish(screen.duplicates);
    QCOMPARE(screen.photos.phase(), SetsPhase::idle);

    screen.chooseMode(1);
    QCOMPARE(screen.duplicates.mode(), DuplicatesModel::Mode::similar);
    QCOMPARE(screen.photos.phase(), SetsPhase::searching);
    QVERIFY(!screen.find<QWidget>("minimumSize")->isVisible());
    QVERIFY(!screen.find<Button>("searchAgain")->isEnabled());

    QSignalSpy duplicateSearches(&screen.duplicates, &FileSetsModel::phaseChanged);
    screen.chooseMode(0);
    QCOMPARE(duplicateSearches.count(), 0);
    QCOMPARE(screen.duplicates.phase(), SetsPhase::ready);
    QVERIFY(screen.find<Button>("searchAgain")->isEnabled());
    QVERIFY(screen.find<QWidget>("identicalPane")->isVisible());

    // The similar search ran on while its pane was away; its results wait there.
    screen.finish(screen.photos);
    QSignalSpy photoSearches(&screen.photos, &FileSetsModel::phaseChanged);
    screen.chooseMode(1);
    QCOMPARE(photoSearches.count(), 0);
    QVERIFY(screen.find<QWidget>("similarPane")->isVisible());

    // A link back to identical files is a mode change like any other.
    QTest::mouseClick(screen.find<Button>("identicalLink"), Qt::LeftButton);
    screen.settle();
    QCOMPARE(screen.duplicates.mode(), DuplicatesModel::Mode::identical);
    QCOMPARE(duplicateSearches.count(), 0);
  }

  // The minimum size only filters: sets leave and come back without a search, their ticks
  // survive, and with nothing shown the footer goes.
  void minimumSizeHidesSetsAndFooter() {
    DuplicatesScreen screen(false, twoSets());
    screen.finish(screen.duplicates);
    QCOMPARE(shownKeys(screen), (QStringList{"big", "small"}));
    QTest::mouseClick(screen.footerButton("identicalFooter", "selectDefault"), Qt::LeftButton);
    screen.settle();
    QCOMPARE(screen.footerText("identicalFooter", "footerSelection"), QStringLiteral("3 selected, 22 MB"));

    QSignalSpy searches(&screen.duplicates, &FileSetsModel::phaseChanged);
    auto* thresholds = screen.find<SegmentedControl>("minimumSize");
    thresholds->setCurrentIndex(1);
    screen.settle();
    QCOMPARE(screen.duplicates.threshold(), std::int64_t{10'000'000});
    QCOMPARE(shownKeys(screen), QStringList{"big"});
    QCOMPARE(screen.footerText("identicalFooter", "footerSummary"), QStringLiteral("1 set, 20 MB in extra copies"));
    QCOMPARE(screen.footerText("identicalFooter", "footerSelection"), QStringLiteral("2 selected, 20 MB"));

    thresholds->setCurrentIndex(2);
    screen.settle();
    QVERIFY(screen.find<EmptyState>("noDuplicates")->isVisible());
    QVERIFY(!screen.footer("identicalFooter")->isVisible());
    QCOMPARE(screen.duplicates.selection().size(), std::size_t{3});

    thresholds->setCurrentIndex(0);
    screen.settle();
    QCOMPARE(shownKeys(screen), (QStringList{"big", "small"}));
    QVERIFY(screen.footer("identicalFooter")->isVisible());
    QCOMPARE(searches.count(), 0);
  }

  // A selection the minimum size hides moves nothing: no button, no question about 0 files.
  void hiddenSelectionCannotBeMoved() {
    DuplicatesScreen screen(false, twoSets());
    screen.finish(screen.duplicates);
    screen.duplicates.setSelection({someoneHome + "/Downloads/s.mp3"});
    screen.find<SegmentedControl>("minimumSize")->setCurrentIndex(1);
    screen.settle();
    QCOMPARE(screen.footerText("identicalFooter", "footerSelection"), QStringLiteral("0 selected, 0 bytes"));
    QVERIFY(!screen.footerButton("identicalFooter", "moveToTrash")->isEnabled());
    screen.duplicates.setConfirming(true);
    screen.settle();
    QVERIFY(!screen.find<QDialog>("identicalConfirmation"));
    QVERIFY(!screen.duplicates.isConfirming());
  }

  void confirmationMatchesSelection_data() {
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    const QString frees = QStringLiteral("%1 is freed when you empty the Trash, and you can put them back until then.");
    QTest::newRow("one file") << QStringList{"/Downloads/a.mov"} << "Move \"a.mov\" to the Trash?"
                              << "10 MB is freed when you empty the Trash, and you can put it back until then.";
    QTest::newRow("two files") << QStringList{"/Downloads/a.mov", "/Downloads/s.mp3"}
                               << "Move 2 files to the Trash?" << frees.arg("12 MB");
    QTest::newRow("every copy of one set")
        << QStringList{"/Music/s.mp3", "/Downloads/s.mp3"} << "Move 2 files to the Trash?"
        << frees.arg("4 MB") + " Every copy of one file is selected, so none would stay outside the Trash.";
  }

  void confirmationMatchesSelection() {
    QFETCH(QStringList, selected);
    QFETCH(QString, title);
    QFETCH(QString, message);
    DuplicatesScreen screen(false, twoSets());
    screen.finish(screen.duplicates);
    std::set<std::string> paths;
    for (const auto& path : selected) paths.insert(someoneHome + path.toStdString());
    screen.duplicates.setSelection(paths);
    screen.settle();
    auto* dialog = screen.askToMove("identicalFooter", "identicalConfirmation");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), title);
    QVERIFY2(dialogShows(dialog, message), qPrintable(message));
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    QTRY_COMPARE(screen.trash->callCount(), static_cast<std::size_t>(selected.size()));
    QVERIFY(!screen.duplicates.isConfirming());
  }

  // Cancel moves nothing; a move that fails shows the notice until it is dismissed.
  void cancelAndFailures() {
    DuplicatesScreen screen(false, twoSets());
    screen.finish(screen.duplicates);
    screen.trash->refused = {someoneHome + "/Downloads/a.mov", someoneHome + "/Desktop/a copy.mov"};
    screen.duplicates.selectExtraCopies();
    screen.duplicates.setConfirming(true);
    screen.settle();
    QTest::mouseClick(screen.find<ConfirmationDialog>("identicalConfirmation")->cancelButton(), Qt::LeftButton);
    screen.settle();
    QCOMPARE(screen.trash->callCount(), std::size_t{0});
    QVERIFY(!screen.duplicates.isConfirming());

    screen.duplicates.setConfirming(true);
    screen.settle();
    QTest::mouseClick(screen.find<ConfirmationDialog>("identicalConfirmation")->actionButton(), Qt::LeftButton);
    QTRY_COMPARE(screen.duplicates.failures().size(), std::size_t{2});
    screen.settle();
    auto* banner = screen.find<QWidget>("failureBanner");
    QVERIFY(banner && banner->isVisible());
    QVERIFY(dialogShows(reinterpret_cast<QDialog*>(banner), DuplicatesTexts::failureTitle(2)));
    QVERIFY(dialogShows(reinterpret_cast<QDialog*>(banner), QStringLiteral("~/Downloads/a.mov: refused")));
    QTest::mouseClick(banner->findChild<Button*>("dismissFailures"), Qt::LeftButton);
    screen.settle();
    QVERIFY(screen.duplicates.failures().empty());
    QTRY_VERIFY(!screen.find<QWidget>("failureBanner"));
  }

  // Ticks write the selection and nothing else; the row reveals its file.
  void rowTicksAndReveals() {
    DuplicatesScreen screen(false, twoSets());
    screen.finish(screen.duplicates);
    auto* row = screen.view.identicalPane()->section("small")->row(someoneHome + "/Music/s.mp3");
    QVERIFY(row);
    row->checkBox()->setChecked(true);
    screen.view.identicalPane()->section("small")->row(someoneHome + "/Downloads/s.mp3")->checkBox()->setChecked(true);
    QCOMPARE(screen.duplicates.selection(), (std::set<std::string>{someoneHome + "/Music/s.mp3", someoneHome + "/Downloads/s.mp3"}));
    row->checkBox()->setChecked(false);
    QCOMPARE(screen.duplicates.selection(), std::set<std::string>{someoneHome + "/Downloads/s.mp3"});
    QCOMPARE(row->findChild<QLabel*>("rowFolder")->text(), QStringLiteral("~/Music"));
    QCOMPARE(row->findChild<QLabel*>("rowFolder")->toolTip(), QString::fromStdString(someoneHome + "/Music"));
    row->makeMenu()->actions().first()->trigger();
    QCOMPARE(screen.revealer.revealed, std::vector<std::string>{someoneHome + "/Music/s.mp3"});
  }

  // Found by a real search over a fixture: a copy whose data a link outside the search keeps
  // says so in its row, and the footer's figures leave it out.
  void copyWithOtherLinksSaysItFreesNothing() {
    test::TempHome home, outside;
    home.text("Documents/notes.txt", std::string(5'000'000, 'n'));
    home.text("Downloads/notes.txt", std::string(5'000'000, 'n'));
    const auto linked = home.text("Desktop/notes.txt", std::string(5'000'000, 'n'));
    QCOMPARE(::link(linked.c_str(), outside.path("elsewhere.txt").c_str()), 0);
    auto found = DuplicateFinder::find({home.root()}, 1, home.root());
    QCOMPARE(found.size(), std::size_t{1});
    found.front().hash = "notes";
    DuplicatesScreen screen(false, found);
    screen.finish(screen.duplicates);
    auto* section = screen.view.identicalPane()->section("notes");
    QVERIFY(section && section->row(linked));
    const auto* note = section->row(linked)->findChild<QLabel*>("rowLinks");
    QVERIFY(note);
    QCOMPARE(note->text(), "other links keep its data");
    for (const auto& file : found.front().files)
      if (file.path != linked) QVERIFY(!section->row(file.path)->findChild<QLabel*>("rowLinks"));
    section->row(linked)->checkBox()->setChecked(true);
    section->row(home.path("Downloads/notes.txt"))->checkBox()->setChecked(true);
    screen.settle();
    QCOMPARE(screen.footerText("identicalFooter", "footerSelection"), QStringLiteral("2 selected, 5 MB"));
    QVERIFY(test::drewSomething(screen.view, QStringLiteral("duplicates-links")));
  }

  void namesInOtherEncodings_data() {
    QTest::addColumn<bool>("photos");
    QTest::newRow("identical files") << false;
    QTest::newRow("similar photos") << true;
  }

  // Two files whose names are not UTF-8 and read alike once decoded: each tick is its own, an
  // untick takes out exactly its file, the move takes only the file still ticked, and each
  // reveals itself byte for byte.
  void namesInOtherEncodings() {
    QFETCH(bool, photos);
    const std::string best = someoneHome + "/Pictures/IMG.jpg", kept = someoneHome + "/Pictures/IMG\xff.jpg",
                      moved = someoneHome + "/Pictures/IMG\xfe.jpg";
    std::vector<DuplicateGroup> sets;
    std::vector<SimilarPhotoGroup> photoSets;
    if (photos) photoSets.push_back(test::similar({best, kept, moved}));
    else sets.push_back(set("same", 2'000'000, {best, kept, moved}));
    DuplicatesScreen screen(false, sets, photoSets);
    FileSetsModel& model = photos ? static_cast<FileSetsModel&>(screen.photos) : screen.duplicates;
    if (photos) screen.chooseMode(1);
    screen.finish(model);
    // The tick and the "Show in Folder" of each file's row or cell.
    auto tickOf = [&](const std::string& path) -> QCheckBox* {
      if (!photos) return screen.view.identicalPane()->section("same")->row(path)->checkBox();
      for (auto* cell : screen.view.similarPane()->card(best)->cells())
        if (cell->photo().path == path) return cell->checkBox();
      return nullptr;
    };
    auto revealOf = [&](const std::string& path) -> QAction* {
      if (!photos) return screen.view.identicalPane()->section("same")->row(path)->makeMenu()->actions().last();
      for (auto* cell : screen.view.similarPane()->card(best)->cells())
        if (cell->photo().path == path) return cell->makeMenu()->actions().last();
      return nullptr;
    };

    for (const auto& path : {kept, moved}) {
      QVERIFY(tickOf(path));
      tickOf(path)->setChecked(true);
    }
    QCOMPARE(model.selection(), (std::set<std::string>{kept, moved}));
    tickOf(kept)->setChecked(false);
    QCOMPARE(model.selection(), std::set<std::string>{moved});
    screen.settle();
    QVERIFY(!tickOf(kept)->isChecked());
    QVERIFY(tickOf(moved)->isChecked());
    for (const auto& path : {kept, moved}) revealOf(path)->trigger();
    QCOMPARE(screen.revealer.revealed, (std::vector<std::string>{kept, moved}));

    auto* dialog = photos ? screen.askToMove("similarFooter", "similarConfirmation")
                          : screen.askToMove("identicalFooter", "identicalConfirmation");
    QVERIFY(dialog);
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    QTRY_COMPARE(screen.trash->callCount(), std::size_t{1});
    QCOMPARE(screen.trash->calls.front(), std::vector<std::string>{moved});
  }

  // No photo library of the kind the note speaks of exists on this desktop, the demo's
  // included, so neither pane shows it.
  void noPhotoLibraryNoticeInEitherPane() {
    DuplicatesScreen screen(true);
    screen.finish(screen.duplicates);
    QVERIFY(!screen.view.identicalPane()->findChild<QWidget*>("photosLibraryBanner")->isVisible());
    screen.chooseMode(1);
    screen.finish(screen.photos);
    QVERIFY(!screen.view.similarPane()->findChild<QWidget*>("photosLibraryBanner")->isVisible());
  }

  // The default selection leaves each set's best, and every cell shows it at once.
  void selectAllButTheBestKeepsEachBest() {
    DuplicatesScreen screen(true);
    screen.chooseMode(1);
    screen.finish(screen.photos);
    QVERIFY(screen.footer("similarFooter")->isVisible());
    QTest::mouseClick(screen.footerButton("similarFooter", "selectDefault"), Qt::LeftButton);
    screen.settle();
    QVERIFY(!screen.photos.groups().empty());
    for (const auto& group : screen.photos.groups()) {
      QVERIFY(!screen.photos.selection().contains(group.photos.front().path));
      for (std::size_t i = 1; i < group.photos.size(); ++i)
        QVERIFY(screen.photos.selection().contains(group.photos[i].path));
      auto* card = screen.view.similarPane()->card(group.id());
      QVERIFY(card);
      QCOMPARE(card->findChild<QLabel*>("setTitle")->toolTip(), DuplicatesTexts::setTitle(group));
      for (auto* cell : card->cells()) {
        QCOMPARE(cell->checkBox()->isChecked(), !cell->isBest());
        QCOMPARE(cell->findChild<PhotoTile*>()->selected(), !cell->isBest());
        QCOMPARE(cell->findChild<QLabel*>("bestMark") != nullptr, cell->isBest());
      }
    }
    QVERIFY(screen.footerButton("similarFooter", "moveToTrash")->isEnabled());

    // Unticking a cell takes it out of the selection and its ring goes at the same redraw.
    const auto& first = screen.photos.groups().front();
    auto* cell = screen.view.similarPane()->card(first.id())->cells()[1];
    cell->checkBox()->setChecked(false);
    QVERIFY(!screen.photos.selection().contains(first.photos[1].path));
    screen.settle();
    QVERIFY(!cell->findChild<PhotoTile*>()->selected());
  }

  // The photo question counts the selection; after the move each remaining set keeps a best.
  void similarConfirmationAndMove() {
    DuplicatesScreen screen(true);
    screen.chooseMode(1);
    screen.finish(screen.photos);
    const auto sets = screen.photos.groups().size();
    const auto& first = screen.photos.groups().front();
    std::set<std::string> everyPhoto;
    for (const auto& photo : first.photos) everyPhoto.insert(photo.path);
    screen.photos.setSelection(everyPhoto);
    screen.settle();
    auto* dialog = screen.askToMove("similarFooter", "similarConfirmation");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Move %1 photos to the Trash?").arg(everyPhoto.size()));
    QVERIFY(dialogShows(dialog, DuplicatesTexts::trashMessage(first.freed(everyPhoto), 1, "set", everyPhoto.size())));
    QTest::mouseClick(dialog->actionButton(), Qt::LeftButton);
    screen.settle();
    QCOMPARE(screen.photos.groups().size(), sets - 1);
    for (const auto& group : screen.photos.groups()) {
      auto* card = screen.view.similarPane()->card(group.id());
      QVERIFY(card && card->cells().front()->isBest());
    }
  }

  void emptySimilarSearchLinksBack() {
    DuplicatesScreen screen(false);
    screen.chooseMode(1);
    screen.finish(screen.photos);
    QVERIFY(screen.find<EmptyState>("noSimilarPhotos")->isVisible());
    QVERIFY(!screen.footer("similarFooter")->isVisible());
    QTest::mouseClick(screen.find<Button>("showIdentical"), Qt::LeftButton);
    QCOMPARE(screen.duplicates.mode(), DuplicatesModel::Mode::identical);
  }

  // With the demo's sets the list scrolls; every card ends clear of the scroll bar, its corners
  // and shadow in view, at the usual window and after narrowing it to the smallest.
  void setCardsEndClearOfTheScrollBar() {
    DuplicatesScreen screen(true);
    screen.view.resize(789, 560);
    screen.chooseMode(1);
    screen.finish(screen.photos);
    auto* list = screen.view.similarPane()->list();
    for (int width : {789, 669}) {
      screen.view.resize(width, 560);
      screen.settle();
      QVERIFY(list->verticalScrollBar()->isVisible());
      const auto cards = list->widget()->findChildren<QWidget*>(QStringLiteral("similarSetCard"));
      QVERIFY(!cards.isEmpty());
      for (const auto* card : cards) {
        const int right = card->mapTo(list->viewport(), QPoint(card->width(), 0)).x();
        QVERIFY2(right + SimilarPane::cardGutter <= list->viewport()->width(),
                 qPrintable(QStringLiteral("at %1: %2 + %3 > %4")
                                .arg(width).arg(right).arg(SimilarPane::cardGutter).arg(list->viewport()->width())));
      }
    }
  }

  void gridColumns_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::newRow("narrow") << 311 << 1;
    QTest::newRow("two fit") << 312 << 2;
    QTest::newRow("wide") << 900 << 5;
  }

  void gridColumns() {
    QFETCH(int, width);
    QFETCH(int, columns);
    QCOMPARE(SimilarSetCard::columnsFor(width), columns);
  }

  // Preview opens only a file that is still there; closing the preview forgets it.
  void previewOpensExistingPhotos() {
    QTemporaryDir folder;
    const std::string kept = folder.filePath("kept.jpg").toStdString();
    QFile(QString::fromStdString(kept)).open(QIODevice::WriteOnly);
    const std::string gone = folder.filePath("gone.jpg").toStdString();
    DuplicatesScreen screen(false, {}, {test::similar({kept, gone})});
    screen.chooseMode(1);
    screen.finish(screen.photos);
    auto* card = screen.view.similarPane()->card(kept);
    QVERIFY(card);
    QTest::mouseDClick(card->cells()[1], Qt::LeftButton);
    QVERIFY(!screen.view.preview());
    card->cells()[0]->makeMenu()->actions().first()->trigger();
    QCOMPARE(screen.view.preview(), std::optional<std::string>(kept));
    auto* window = screen.find<PreviewWindow>("previewWindow");
    QVERIFY(window);
    QTRY_VERIFY(!window->picture().isNull());
    window->reject();
    QVERIFY(!screen.view.preview());
    card->cells()[1]->makeMenu()->actions().last()->trigger();
    QCOMPARE(screen.revealer.revealed, std::vector<std::string>{gone});
  }

  // A photo whose name is not UTF-8 still opens, and the title writes out a control that
  // reorders text, as every list does, so the name cannot pass for another.
  void previewShowsNamesAsTheListsDo() {
    // QTemporaryDir cannot remove a name that is not UTF-8; the fixture home removes anything.
    test::TempHome folder;
    const std::string name = "IMG\xff\u202Egpj.exe", path = folder.text(name, "not a picture");
    DuplicatesScreen screen(false, {}, {test::similar({path, folder.path("other.jpg")})});
    screen.chooseMode(1);
    screen.finish(screen.photos);
    screen.view.similarPane()->card(path)->cells()[0]->makeMenu()->actions().first()->trigger();
    QCOMPARE(screen.view.preview(), std::optional<std::string>(path));
    auto* window = screen.find<PreviewWindow>("previewWindow");
    QVERIFY(window);
    QCOMPARE(window->findChild<QLabel*>("previewTitle")->text(), Formats::fileName(name));
    window->reject();
  }

  // Thousands of sets make widgets a batch at a time and decode pictures only on workers.
  void longListDecodesOffTheGuiThread() {
    QTemporaryDir folder;
    std::vector<DuplicateGroup> groups;
    for (int i = 0; i < 2000; ++i) {
      std::vector<std::string> paths;
      for (const char* copy : {"a", "b"}) {
        paths.push_back(folder.filePath(QStringLiteral("%1-%2.bin").arg(i).arg(QLatin1String(copy))).toStdString());
        QFile(QString::fromStdString(paths.back())).open(QIODevice::WriteOnly);
      }
      groups.push_back(set(std::to_string(i), 2'000'000, paths));
    }
    auto pictures = std::make_shared<ThreadCountingThumbnailer>();
    DuplicatesScreen screen(false, groups, {}, pictures);
    screen.finish(screen.duplicates);
    auto* list = screen.view.identicalPane()->list();
    const auto madeAtFirst = list->madeKeys().size();
    QVERIFY(madeAtFirst < 200);
    for (int step = 0; step < 5; ++step) {
      list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
      QCoreApplication::processEvents();
    }
    QVERIFY(list->madeKeys().size() > madeAtFirst);
    QTRY_VERIFY(pictures->onWorkers > 0);
    QTRY_COMPARE(static_cast<int>(screen.duplicates.thumbnails().size()), pictures->onWorkers.load());
    QCOMPARE(pictures->onGui.load(), 0);
  }

  // Progress, the empty state and both panes with their pictures draw in both appearances (saved
  // for a person to look at when TIDRA_RENDER_DIR names a folder).
  void everyStateDrawsInBothAppearances() {
    for (auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      Theme::apply(scheme);
      const QString suffix = scheme == Theme::Scheme::dark ? "dark" : "light";
      {
        DuplicatesScreen searching(true);
        searching.scheduler.advance(300ms);
        searching.settle();
        QVERIFY(test::drewSomething(searching.view, QStringLiteral("progress-") + suffix));
      }
      {
        DuplicatesScreen nothing(false);
        nothing.chooseMode(1);
        nothing.finish(nothing.photos);
        QVERIFY(test::drewSomething(nothing.view, QStringLiteral("empty-") + suffix));
      }
      DuplicatesScreen screen(true);
      screen.finish(screen.duplicates);
      screen.duplicates.selectExtraCopies();
      screen.settle();
      QTRY_VERIFY(!screen.duplicates.thumbnails().empty());
      screen.settle();
      QVERIFY(test::drewSomething(screen.view, QStringLiteral("identical-") + suffix));
      screen.chooseMode(1);
      screen.finish(screen.photos);
      screen.photos.selectAllButTheBest();
      screen.settle();
      QTRY_VERIFY(!screen.photos.thumbnails().empty());
      screen.settle();
      QVERIFY(test::drewSomething(screen.view, QStringLiteral("similar-") + suffix));
    }
  }
};

TIDRA_TEST_MAIN(DuplicatesViewTest)
#include "DuplicatesViewTest.moc"
