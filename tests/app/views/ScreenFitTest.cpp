#include "support/TestMain.h"
#include "models/PerformanceFakes.h"
#include "support/ScreenRender.h"

#include "Demo.h"
#include "models/BackgroundMonitor.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "runtime/WorkPools.h"
#include "settings/InMemoryPreferences.h"
#include "settings/Preference.h"
#include "support/RecordingNotifications.h"
#include "views/ContentView.h"
#include "views/Sidebar.h"
#include "views/design/ElidedLabel.h"
#include "views/design/Theme.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

namespace {

using Tab = AppModel::PerformanceTab;

// One screen as the person sees it: a section, and for the screens with tabs or modes, which.
struct View {
  Section section;
  std::optional<Tab> tab;
  DuplicatesModel::Mode mode = DuplicatesModel::Mode::identical;
};

}  // namespace

Q_DECLARE_METATYPE(View)

namespace {

// The demo machine in the main window, every search and scan finished in virtual time.
struct DemoWindow {
  PerformanceModel fake;
  InMemoryPreferences preferences;
  RecordingNotifications notifications;
  AppModel& model = fake.make();
  BackgroundMonitor monitor{model, preferences, notifications};
  ContentView window{model, monitor};

  DemoWindow() { Preference::registerDefaults(preferences); }
  void run(std::chrono::milliseconds time) {
    for (auto step = 0ms; step < time; step += 250ms) {
      fake.scheduler.advance(250ms);
      QCoreApplication::processEvents();
    }
  }
  void show(const View& view, QSize size) {
    model.setSection(view.section);
    if (view.tab) model.setPerformanceTab(*view.tab);
    model.duplicates().setMode(view.mode);
    window.resize(size);
    window.show();
    run(20s);
    for (auto pool : {Pool::user, Pool::utility}) threadPool(pool).waitForDone();
    run(2s);
  }
};

QString describe(const QWidget* widget) {
  const auto* label = qobject_cast<const QLabel*>(widget);
  const auto* button = qobject_cast<const QAbstractButton*>(widget);
  const QString text = label ? label->text() : button ? button->text() : QString();
  return QStringLiteral("%1 \"%2\" (%3)").arg(widget->objectName(), text, widget->metaObject()->className());
}

// Where `widget` is cut: its own box narrower than its text needs, or sticking out of a parent
// that clips it. An elided text shows an ellipsis where it was shortened, so it counts as whole.
std::optional<QString> cut(const QWidget* widget, const QWidget* screen) {
  const auto* label = qobject_cast<const QLabel*>(widget);
  const auto* button = qobject_cast<const QAbstractButton*>(widget);
  if (label == nullptr && button == nullptr) return std::nullopt;
  if (label && label->text().isEmpty()) return std::nullopt;
  int needed = widget->sizeHint().width();
  if (dynamic_cast<const ElidedLabel*>(widget) != nullptr) needed = widget->minimumSizeHint().width();
  if (label && label->wordWrap()) needed = 0;
  if (widget->width() < needed)
    return QStringLiteral("%1 gets %2 of the %3 it needs").arg(describe(widget)).arg(widget->width()).arg(needed);
  if (label && label->wordWrap() && label->height() < label->heightForWidth(label->width()))
    return QStringLiteral("%1 gets %2 of the %3 lines' height it needs")
        .arg(describe(widget)).arg(label->height()).arg(label->heightForWidth(label->width()));
  // Every parent up to the screen must hold the widget's whole width.
  for (const QWidget* inner = widget; inner != screen && inner->parentWidget() != nullptr; inner = inner->parentWidget()) {
    const QWidget* parent = inner->parentWidget();
    if (qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) && parent->objectName() == "qt_scrollarea_viewport")
      continue;  // content of a scroll area is cut by the viewport only across its width, checked below
    const QRect box = QRect(widget->mapTo(parent, QPoint(0, 0)), widget->size());
    if (box.left() < 0 || box.right() > parent->width() - 1)
      return QStringLiteral("%1 reaches from %2 to %3 in %4, %5 wide")
          .arg(describe(widget)).arg(box.left()).arg(box.right()).arg(describe(parent)).arg(parent->width());
  }
  return std::nullopt;
}

QStringList faults(const QWidget* screen) {
  QStringList found;
  for (const QWidget* widget : screen->findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(screen) || widget->isWindow()) continue;
    if (auto problem = cut(widget, screen)) found << *problem;
    if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget); area && area->horizontalScrollBar()->isVisible())
      found << QStringLiteral("%1 scrolls sideways").arg(describe(area));
  }
  return found;
}

const QSize smallest{ContentView::leastWidth, ContentView::leastHeight};
const QSize usual{980, 660};

}  // namespace

// Every screen at the smallest window and at the usual one, over the demo machine's longest
// names and figures: no text is cut without an ellipsis, nothing scrolls sideways, and the
// sidebar keeps its width whatever the screen.
class ScreenFitTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Demo::decide(true); }
  void cleanupTestCase() { Demo::decide(false); }

  void everyScreenFits_data() {
    QTest::addColumn<View>("view");
    QTest::addColumn<QSize>("size");
    const std::vector<std::pair<const char*, View>> views{
        {"overview", {Section::overview, {}}},
        {"cleanup", {Section::cleanup, {}}},
        {"projects", {Section::projects, {}}},
        {"large files", {Section::largeFiles, {}}},
        {"identical files", {Section::duplicates, {}}},
        {"similar photos", {Section::duplicates, {}, DuplicatesModel::Mode::similar}},
        {"applications", {Section::applications, {}}},
        {"apps tab", {Section::performance, Tab::apps}},
        {"developer tools tab", {Section::performance, Tab::developerTools}},
        {"startup items tab", {Section::performance, Tab::startup}},
    };
    for (const auto& [name, view] : views) {
      QTest::addRow("%s, smallest", name) << view << smallest;
      QTest::addRow("%s, usual", name) << view << usual;
    }
  }
  void everyScreenFits() {
    QFETCH(View, view);
    QFETCH(QSize, size);
    DemoWindow demo;
    demo.model.refreshDisk();
    demo.model.scan();
    demo.model.projects().scanProjects();
    demo.show(view, size);
    QWidget* screen = demo.window.screen();
    const QStringList found = faults(screen);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("\n"))));
    QCOMPARE(demo.window.sidebar()->width(), Sidebar::ideal);
    renderIfAsked(demo.window, QString::fromLatin1(QTest::currentDataTag()).replace(QStringLiteral(", "), QStringLiteral("-")));
  }
};

TIDRA_TEST_MAIN(ScreenFitTest)
#include "ScreenFitTest.moc"
