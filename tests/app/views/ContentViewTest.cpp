#include "support/TestMain.h"
#include "models/PerformanceFakes.h"

#include "models/BackgroundMonitor.h"
#include "support/InMemoryPreferences.h"
#include "settings/Preference.h"
#include "support/RecordingNotifications.h"

#include "views/ContentView.h"
#include "views/Sidebar.h"
#include "views/design/Badge.h"
#include "views/design/Symbols.h"
#include "views/design/Theme.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QSplitter>
#include <QTest>

using namespace tidra;
using namespace tidra::test;

namespace {

QStringList labelTexts(const QWidget* widget) {
  QStringList texts;
  for (const QLabel* label : widget->findChildren<QLabel*>()) texts << label->text();
  return texts;
}

void clickRow(Sidebar& sidebar, int row) {
  const QRect rect = sidebar.visualItemRect(sidebar.item(row));
  QTest::mouseClick(sidebar.viewport(), Qt::LeftButton, {}, rect.center());
}

// The model and the monitor of the application over one fake machine.
struct Machine {
  PerformanceModel fake;
  InMemoryPreferences preferences;
  RecordingNotifications notifications;
  AppModel& model = fake.make();
  BackgroundMonitor monitor{model, preferences, notifications};
  int readings = 0;

  Machine() {
    Preference::registerDefaults(preferences);
    QObject::connect(&monitor, &BackgroundMonitor::refreshed, [this] { ++readings; });
  }
  // One reading of the monitor, taken at once.
  bool read() {
    const int next = readings + 1;
    monitor.refresh();
    return QTest::qWaitFor([&] { return readings == next; }, 10'000);
  }
};

DeveloperTool devServer(const std::string& id, int clients) {
  auto server = someTool(id, DeveloperTool::Kind::devServer, 0);
  server.clients = clients;
  return server;
}

}  // namespace

class ContentViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Theme::apply(Theme::Scheme::light); }

  void sidebarListsTheSevenSectionsInOrder() {
    const QList<std::pair<QString, QString>> expected{
        {"Overview", "gauge.with.dots.needle.50percent"}, {"Cleanup", "sparkles"},
        {"Projects", "folder.badge.gearshape"},         {"Large Files", "doc.viewfinder"},
        {"Duplicates", "doc.on.doc"},                  {"Applications", "square.grid.2x2"},
        {"Performance", "memorychip"}};
    const auto& rows = Sidebar::rows();
    QCOMPARE(rows.size(), std::size_t(expected.size()));
    for (std::size_t index = 0; index < rows.size(); ++index) {
      QCOMPARE(rows[index].section, allSections()[index]);
      QCOMPARE(rows[index].title, expected[int(index)].first);
      QCOMPARE(rows[index].symbol, expected[int(index)].second);
      QVERIFY2(Symbols::isKnown(rows[index].symbol), qPrintable(rows[index].symbol));
    }
  }

  // Each click writes the section and builds that section's screen afresh; the old one goes.
  void clickingARowSwitchesTheScreen() {
    Machine machine;
    AppModel& model = machine.model;
    ContentView view(model, machine.monitor);
    view.resize(980, 660);
    view.show();
    QVERIFY(labelTexts(view.screen()).contains("Overview"));
    for (int row = 1; row < 7; ++row) {
      QPointer<QWidget> before = view.screen();
      clickRow(*view.sidebar(), row);
      QCOMPARE(model.section(), allSections()[std::size_t(row)]);
      QCOMPARE(view.sidebar()->highlighted(), model.section());
      QVERIFY(view.screen() != before);
      // The section's own screen, which names itself after the section.
      QCOMPARE(view.screen()->objectName(), rawValue(model.section().value()) + QStringLiteral("View"));
      QTRY_VERIFY(before.isNull());
    }
  }

  void arrowKeysMoveBetweenSections() {
    Machine machine;
    AppModel& model = machine.model;
    ContentView view(model, machine.monitor);
    view.show();
    QTest::keyClick(view.sidebar(), Qt::Key_Down);
    QCOMPARE(model.section(), std::optional(Section::cleanup));
    QVERIFY(labelTexts(view.screen()).contains("Cleanup"));
  }

  // Going back to a section makes a new screen, so its own state starts over.
  void reselectingASectionBuildsANewScreen() {
    Machine machine;
    AppModel& model = machine.model;
    ContentView view(model, machine.monitor);
    QPointer<QWidget> first = view.screen();
    model.setSection(Section::cleanup);
    model.setSection(Section::overview);
    QVERIFY(view.screen() != first);
    QTRY_VERIFY(first.isNull());
  }

  void noSectionShowsTheOverviewWithNoRowHighlighted() {
    Machine machine;
    AppModel& model = machine.model;
    ContentView view(model, machine.monitor);
    model.setSection(Section::performance);
    QCOMPARE(view.sidebar()->highlighted(), std::optional(Section::performance));
    model.setSection(std::nullopt);
    QCOMPARE(view.sidebar()->highlighted(), std::nullopt);
    QVERIFY(view.sidebar()->selectedItems().isEmpty());
    QVERIFY(labelTexts(view.screen()).contains("Overview"));
    // Deselecting the row by hand is the same as no section.
    model.setSection(Section::duplicates);
    view.sidebar()->clearSelection();
    QCOMPARE(model.section(), std::nullopt);
  }

  // The dev servers' badges on the Performance screen come from the monitor's idle tracking.
  void performanceScreenShowsTheMonitorsIdleTimes() {
    using namespace std::chrono_literals;
    Machine machine;
    machine.fake.machine->tools = {devServer("tree-1", 0), devServer("tree-2", 1)};
    machine.model.setPerformanceTab(AppModel::PerformanceTab::developerTools);
    machine.model.setSection(Section::performance);
    ContentView view(machine.model, machine.monitor);
    view.resize(980, 660);
    view.show();
    QVERIFY(machine.read());
    machine.fake.scheduler.advance(30min);
    QVERIFY(machine.read());
    const auto badges = [&view] {
      QStringList texts;
      for (const Badge* badge : view.screen()->findChildren<Badge*>("toolBadge")) texts << badge->text();
      texts.sort();
      return texts;
    };
    QTRY_COMPARE(badges(), (QStringList{"Idle 30 minutes", "In use"}));
  }

  // Tab reads the overview card by card: the memory card on the left through, then the projects
  // card beside it, although the projects button sits higher on screen.
  void tabReadsTheOverviewCardByCard() {
    Machine machine;
    ContentView view(machine.model, machine.monitor);
    view.resize(980, 660);
    view.show();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    view.sidebar()->setFocus();
    QStringList names;
    for (int press = 0; press < 8; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      names << QApplication::focusWidget()->objectName();
    }
    const auto at = [&names](const char* name) { return names.indexOf(QLatin1String(name)); };
    QVERIFY2(at("whyIsItSlow") >= 0 && at("projectsButton") >= 0, qPrintable(names.join(' ')));
    QVERIFY2(at("whyIsItSlow") < at("whatsUsingMemory") && at("whatsUsingMemory") < at("projectsButton"),
             qPrintable(names.join(' ')));
  }

  // A screen asking for more room than the smallest window leaves does not take it from the
  // sidebar, which keeps its width in every section.
  void sidebarKeepsItsWidthWhateverTheScreenAsks() {
    Machine machine;
    machine.model.setSection(Section::performance);
    ContentView view(machine.model, machine.monitor);
    view.resize(ContentView::leastWidth, ContentView::leastHeight);
    view.show();
    auto* greedy = new QWidget;
    greedy->setMinimumWidth(ContentView::leastWidth);
    view.screen()->layout()->addWidget(greedy);
    // Layout requests travel up one level per turn of the event loop.
    for (int turn = 0; turn < 5; ++turn) QCoreApplication::processEvents();
    QCOMPARE(view.sidebar()->width(), Sidebar::ideal);
  }

  void sizesHoldTheirLimits() {
    Machine machine;
    ContentView view(machine.model, machine.monitor);
    view.resize(200, 100);
    QCOMPARE(view.minimumSize(), QSize(860, 560));
    QCOMPARE(view.sidebar()->minimumWidth(), 170);
    QCOMPARE(view.sidebar()->maximumWidth(), 240);
    view.resize(980, 660);
    view.show();
    QCOMPARE(view.sidebar()->width(), 190);
    view.splitter()->setSizes({600, 380});
    QCOMPARE(view.sidebar()->width(), 240);
    view.splitter()->setSizes({20, 960});
    QCOMPARE(view.sidebar()->width(), 170);
  }

  void screenshotSidebarColours_data() {
    QTest::addColumn<Theme::Scheme>("scheme");
    QTest::addColumn<double>("text");
    QTest::addColumn<double>("symbol");
    QTest::newRow("light") << Theme::Scheme::light << 0.1 << 0.35;
    QTest::newRow("dark") << Theme::Scheme::dark << 0.92 << 0.8;
  }
  void screenshotSidebarColours() {
    QFETCH(Theme::Scheme, scheme);
    QFETCH(double, text);
    QFETCH(double, symbol);
    const auto colors = Sidebar::snapshotColors(scheme);
    QCOMPARE(colors.text, QColor::fromRgbF(float(text), float(text), float(text)));
    QCOMPARE(colors.symbol, QColor::fromRgbF(float(symbol), float(symbol), float(symbol)));
  }

  // The diagnosis binds its flag to the sheet slot: true opens, false closes, and the person
  // closing the sheet reports back once.
  void diagnosisSheetFollowsItsFlag() {
    Machine machine;
    ContentView view(machine.model, machine.monitor);
    view.show();
    int made = 0;
    int dismissed = 0;
    view.makeDiagnosisSheet = [&made](QWidget* parent) {
      ++made;
      return new QDialog(parent);
    };
    view.diagnosisDismissed = [&dismissed] { ++dismissed; };

    view.setDiagnosisPresented(true);
    view.setDiagnosisPresented(true);
    QCOMPARE(made, 1);
    QVERIFY(view.diagnosisSheet()->isVisible());
    QCOMPARE(view.diagnosisSheet()->windowModality(), Qt::WindowModal);
    view.diagnosisSheet()->reject();
    QCOMPARE(dismissed, 1);
    QCOMPARE(view.diagnosisSheet(), nullptr);

    view.setDiagnosisPresented(true);
    QPointer<QDialog> sheet = view.diagnosisSheet();
    view.setDiagnosisPresented(false);
    QCOMPARE(dismissed, 1);
    QCOMPARE(view.diagnosisSheet(), nullptr);
    QTRY_VERIFY(sheet.isNull());
  }
};

TIDRA_TEST_MAIN(ContentViewTest)
#include "ContentViewTest.moc"
