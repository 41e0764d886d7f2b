#include "support/TestMain.h"
#include "views/applications/ApplicationsView.h"

#include "Demo.h"
#include "models/AppModelFakes.h"
#include "support/TestScheduler.h"
#include "support/FakeFileRevealer.h"
#include "support/FakeRunningApps.h"
#include "support/FakeThumbnailer.h"
#include "support/ScreenRender.h"
#include "support/TempHome.h"
#include "views/Formats.h"
#include "views/applications/ApplicationsTexts.h"
#include "views/applications/PartRow.h"
#include "views/applications/RowTable.h"
#include "views/applications/UninstallConfirmation.h"
#include "views/design/SegmentedControl.h"
#include "views/design/StyledLabel.h"
#include "views/design/Theme.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace tidra;
using namespace tidra::applications;
using namespace std::chrono_literals;

namespace {

// The demo apps on screen, scanned and measured.
struct ApplicationsScreen {
  ApplicationsScreen()
      : model(ApplicationServices{}, std::make_shared<test::FakeRunningApps>(), std::make_shared<test::FakeThumbnailer>(),
              scheduler, "/home/demo"),
        view(model, app.make(), scheduler, revealer, [this] { ++cleanupOpened; }) {
    view.resize(980, 660);
    view.show();
    runUntil(ApplicationsModel::Phase::ready);
  }

  void runUntil(ApplicationsModel::Phase phase) {
    for (int step = 0; step < 400 && model.phase() != phase; ++step) {
      scheduler.advance(50ms);
      QCoreApplication::processEvents();
    }
    QCOMPARE(model.phase(), phase);
    QCoreApplication::processEvents();
  }

  template <class T>
  T* find(const QString& name) const {
    return view.findChild<T*>(name);
  }
  // The footer's "Uninstall…", once the screen has caught up with the selection.
  void pressUninstall() {
    auto* button = find<QPushButton>("uninstall");
    QTRY_VERIFY(button->isEnabled());
    button->click();
  }
  UninstallConfirmation* sheet() const { return view.findChild<UninstallConfirmation*>(); }
  QAction* menuAction(const std::set<std::string>& rows, const QString& name) {
    return view.menuFor(rows)->findChild<QAction*>(name);
  }

  TestScheduler scheduler;
  FakeFileRevealer revealer;
  ApplicationsModel model;
  test::FakeModel app;  // whose history the screen reports on
  int cleanupOpened = 0;
  ApplicationsView view;
};

std::string largest(const ApplicationsModel& model) { return model.sortedApps().front().path; }

}  // namespace

class ApplicationsViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Demo::decide(true); }

  void showingStartsOneScanAndReadyFooterCounts() {
    ApplicationsScreen screen;
    QVERIFY(!screen.model.apps().empty());
    std::int64_t total = 0;
    for (const auto& app : screen.model.apps()) total += screen.model.bytes(app).value_or(0);
    QCOMPARE(screen.find<StyledLabel>("footerStatus")->text(),
             ApplicationsTexts::readyStatus(static_cast<int>(screen.model.apps().size()), total));
    QVERIFY(screen.find<QPushButton>("cleanupLink")->isVisible());
    QVERIFY(!screen.find<QPushButton>("uninstall")->isEnabled());
    QVERIFY(!screen.find<QWidget>("selectedBytes")->isVisible());
    // Coming back to a ready screen starts nothing.
    screen.view.hide();
    screen.view.show();
    QCOMPARE(screen.model.phase(), ApplicationsModel::Phase::ready);
    QCOMPARE(screen.find<RowTable>("appTable")->topLevelItemCount(), static_cast<int>(screen.model.apps().size()));

    screen.find<QPushButton>("cleanupLink")->click();
    QCOMPARE(screen.cleanupOpened, 1);

    screen.find<SegmentedControl>("sortBy")->setCurrentIndex(2);
    QCOMPARE(screen.model.order(), ApplicationsModel::Order::name);
    screen.find<QPushButton>("rescan")->click();
    QCOMPARE(screen.model.phase(), ApplicationsModel::Phase::scanning);
    QTRY_COMPARE(screen.find<StyledLabel>("footerStatus")->text(), ApplicationsTexts::scanningStatus(0, 0));
  }

  void tableSelectionIsTheModels() {
    ApplicationsScreen screen;
    auto* table = screen.find<RowTable>("appTable");
    table->topLevelItem(0)->setSelected(true);
    QCOMPARE(screen.model.selection(), (std::set<std::string>{largest(screen.model)}));
    QTRY_VERIFY(screen.find<QPushButton>("uninstall")->isEnabled());
    QCOMPARE(screen.find<StyledLabel>("selectedBytes")->text(), Formats::bytes(screen.model.selectedBytes()));
  }

  // A right click leaves the selection alone; the menu acts on the clicked row, and only its
  // "Uninstall…" makes that row the selection.
  void rightClickLeavesTheSelectionToTheMenu() {
    ApplicationsScreen screen;
    auto* table = screen.find<RowTable>("appTable");
    const auto first = table->idOf(*table->topLevelItem(0));
    const auto second = table->idOf(*table->topLevelItem(1));
    screen.model.setSelection({first});
    QCoreApplication::processEvents();
    const QPoint onSecond = table->visualItemRect(table->topLevelItem(1)).center();
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, onSecond);
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, onSecond);
    QContextMenuEvent opening(QContextMenuEvent::Mouse, onSecond, table->viewport()->mapToGlobal(onSecond));
    QCoreApplication::sendEvent(table->viewport(), &opening);
    QCoreApplication::processEvents();
    QCOMPARE(screen.model.selection(), (std::set<std::string>{first}));
    QCOMPARE(table->selectedIds(), (std::set<std::string>{first}));
    auto* menu = screen.view.findChild<QMenu*>("appMenu");
    QVERIFY(menu != nullptr);
    menu->findChild<QAction*>("uninstallRows")->trigger();
    QCOMPARE(screen.model.selection(), (std::set<std::string>{second}));
    QVERIFY(screen.model.isConfirming());
  }

  // On the blue selection a row's name turns to the selection's text colour, in both appearances.
  void selectedRowsTakeTheSelectionsTextColour() {
    for (const auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      Theme::apply(scheme);
      ApplicationsScreen screen;
      auto* table = screen.find<RowTable>("appTable");
      StyledLabel* name = nullptr;
      for (auto* label : table->itemWidget(table->topLevelItem(0), 0)->findChildren<QLabel*>())
        if (!name) name = dynamic_cast<StyledLabel*>(label);
      QVERIFY(name);
      const QColor plain = name->palette().color(QPalette::WindowText);
      QCOMPARE(plain, Theme::color(Theme::Role::label, scheme));
      table->topLevelItem(0)->setSelected(true);
      QCOMPARE(name->palette().color(QPalette::WindowText), table->palette().color(QPalette::HighlightedText));
      QVERIFY(name->palette().color(QPalette::WindowText) != plain || scheme == Theme::Scheme::dark);
      screen.model.setSelection({});
      QCoreApplication::processEvents();
      QCOMPARE(name->palette().color(QPalette::WindowText), plain);
    }
    Theme::apply(Theme::Scheme::light);
  }

  void contextUninstallSelectsTheRowAndOpensTheSheet() {
    ApplicationsScreen screen;
    const auto apps = screen.model.sortedApps();
    screen.model.setSelection({apps[1].path, apps[2].path});
    screen.model.setKeptParts({"/somewhere"});
    screen.menuAction({apps[0].path}, "uninstallRows")->trigger();
    QCOMPARE(screen.model.selection(), (std::set<std::string>{apps[0].path}));
    QVERIFY(screen.model.keptParts().empty());
    QTRY_VERIFY(screen.sheet() != nullptr);
    QCOMPARE(screen.sheet()->findChild<StyledLabel*>("uninstallTitle")->text(),
             ApplicationsTexts::confirmationTitle({apps[0]}));
  }

  void menuOverNoRowOffersNothing() {
    ApplicationsScreen screen;
    for (const auto* name : {"showInFolder", "uninstallRows"}) QVERIFY(!screen.menuAction({}, name)->isEnabled());
    QVERIFY(screen.menuAction({largest(screen.model)}, "uninstallRows")->isEnabled());
  }

  void uncheckingAPartLowersTheTotalAndUninstallCallsTheModel() {
    ApplicationsScreen screen;
    // The first app with something besides its bundle.
    std::string chosen;
    for (const auto& app : screen.model.sortedApps())
      if (screen.model.parts().at(app.path).size() > 1) chosen = app.path;
    QVERIFY(!chosen.empty());
    screen.model.setSelection({chosen});
    screen.pressUninstall();
    QTRY_VERIFY(screen.sheet() != nullptr);
    auto* sheet = screen.sheet();
    const auto parts = screen.model.parts().at(chosen);
    auto rows = sheet->findChildren<PartRow*>();
    QCOMPARE(rows.size(), static_cast<qsizetype>(parts.size()));
    auto* bundle = rows[0]->findChild<QCheckBox*>();
    QVERIFY(bundle->isChecked() && !bundle->isEnabled());
    QCOMPARE(bundle->toolTip(), "The app itself");

    const auto before = screen.model.selectedBytes();
    rows[1]->findChild<QCheckBox*>()->click();
    QCOMPARE(screen.model.keptParts(), (std::set<std::string>{parts[1].path}));
    QCOMPARE(screen.model.selectedBytes(), before - parts[1].bytes);
    QCOMPARE(sheet->findChild<StyledLabel*>("uninstallMessage")->text(),
             ApplicationsTexts::confirmationMessage(1, before - parts[1].bytes));

    // Return must not remove apps by accident.
    QTest::keyClick(sheet, Qt::Key_Return);
    QVERIFY(screen.model.isConfirming());
    QCOMPARE(screen.model.phase(), ApplicationsModel::Phase::ready);

    sheet->findChild<QPushButton*>("confirmUninstall")->click();
    QCOMPARE(screen.model.phase(), ApplicationsModel::Phase::removing);
    QVERIFY(!screen.model.isConfirming());
    QTRY_COMPARE(screen.find<StyledLabel>("footerStatus")->text(),
                 ApplicationsTexts::removingStatus(screen.model.removingName()));
    QVERIFY(!screen.find<QPushButton>("rescan")->isEnabled());
    QVERIFY(!screen.find<QPushButton>("uninstall")->isEnabled());
    screen.runUntil(ApplicationsModel::Phase::ready);
    QVERIFY(screen.model.summary().has_value());
    QTRY_VERIFY(screen.find<QWidget>("uninstallBanner") != nullptr);
    screen.find<QPushButton>("dismissUninstallBanner")->click();
    QVERIFY(!screen.model.summary().has_value());
  }

  void cancelKeepsSelectionAndTicks() {
    ApplicationsScreen screen;
    const auto path = largest(screen.model);
    screen.model.setSelection({path});
    screen.pressUninstall();
    QTRY_VERIFY(screen.sheet() != nullptr);
    screen.model.setKeptParts({"/kept"});
    QTest::keyClick(screen.sheet(), Qt::Key_Escape);
    QVERIFY(!screen.model.isConfirming());
    QCOMPARE(screen.model.phase(), ApplicationsModel::Phase::ready);
    QCOMPARE(screen.model.selection(), (std::set<std::string>{path}));
    QCOMPARE(screen.model.keptParts(), (std::set<std::string>{"/kept"}));
  }

  void menuRows() {
    const RowTable::Ids selection{"a", "b"};
    QCOMPARE(RowTable::menuRows(std::string("a"), selection), selection);
    QCOMPARE(RowTable::menuRows(std::string("c"), selection), RowTable::Ids{"c"});
    QCOMPARE(RowTable::menuRows(std::nullopt, selection), RowTable::Ids{});
  }

  void revealSkipsVanishedPaths() {
    ApplicationsScreen screen;
    test::TempHome home;
    const auto there = home.dir("There.app");
    screen.view.menuFor({there, "/nowhere/Gone.app"})->findChild<QAction*>("showInFolder")->trigger();
    QCOMPARE(screen.revealer.revealed, std::vector<std::string>{there});
  }

  // The list, the uninstall sheet and the banner of what stayed draw in both appearances (saved
  // for a person to look at when TIDRA_RENDER_DIR names a folder).
  void listSheetAndBannerDrawInBothAppearances() {
    for (auto scheme : {Theme::Scheme::light, Theme::Scheme::dark}) {
      Theme::apply(scheme);
      ApplicationsScreen screen;
      screen.model.setSelection({largest(screen.model)});
      QCoreApplication::processEvents();
      const auto suffix = scheme == Theme::Scheme::dark ? QStringLiteral("dark") : QStringLiteral("light");
      QVERIFY(test::drewSomething(screen.view, QStringLiteral("applications-") + suffix));
      screen.pressUninstall();
      QTRY_VERIFY(screen.sheet() != nullptr);
      QCoreApplication::processEvents();
      QVERIFY(test::drewSomething(*screen.sheet(), QStringLiteral("sheet-") + suffix));
      screen.sheet()->findChild<QPushButton*>("confirmUninstall")->click();
      screen.runUntil(ApplicationsModel::Phase::ready);
      screen.model.setSummary(UninstallSummary{{"Xcode"}, 13'300'000'000, {{"/home/demo/Library/Caches/x", "is in use"}}});
      QCoreApplication::processEvents();
      screen.find<QPushButton>("stayedDisclosure")->click();
      QCoreApplication::processEvents();
      QVERIFY(test::drewSomething(screen.view, QStringLiteral("banner-") + suffix));
    }
  }
};

TIDRA_TEST_MAIN(ApplicationsViewTest)
#include "ApplicationsViewTest.moc"
