#include "support/TestMain.h"
#include "models/PerformanceFakes.h"
#include "support/ScreenRender.h"

#include "Demo.h"
#include "models/BackgroundMonitor.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "runtime/WorkPools.h"
#include "support/InMemoryPreferences.h"
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

// A machine whose names and figures run as long as real ones do: long cache and app names,
// three-digit memory figures, deep program paths.
void makeLong(PerformanceModel& fake) {
  constexpr std::int64_t GiB = 1'073'741'824;
  const auto item = [](const std::string& id, const std::string& title) {
    auto made = fakeItem(id);
    made.title = title;
    return made;
  };
  const std::pair<CleanupItem, std::int64_t> items[] = {
      {item("playwright", "Playwright browser downloads"), 128'400'000'000},
      {item("gradle", "Gradle caches and downloaded distributions"), 99'100'000'000},
      {item("derived", "Build data (DerivedData) of every project"), 87'900'000'000}};
  for (const auto& [made, bytes] : items) {
    fake.disk->catalog.push_back(made);
    for (const auto& path : made.action.paths()) fake.disk->bytes[path] = bytes;
  }
  auto& machine = *fake.machine;
  machine.memory.total = 128 * GiB;
  machine.memory.app = 99 * GiB + GiB / 2;
  machine.memory.wired = 12 * GiB + GiB / 3;
  machine.memory.compressed = 10 * GiB + GiB / 7;
  machine.memory.cached = 5 * GiB + GiB / 9;
  machine.memory.swapUsed = 20 * GiB + GiB / 5;
  machine.memory.pressure = MemorySnapshot::Pressure::normal;
  for (const auto& name : {"Visual Studio Code – Insiders Helper (Renderer)", "Google Chrome Helper (Renderer)",
                           "JetBrains Toolbox and IntelliJ IDEA Ultimate"}) {
    auto group = someGroup(name, {100 + static_cast<pid_t>(machine.sample.groups.size())});
    group.memoryBytes = 12 * GiB + GiB / 4;
    group.cpuPercent = 100.5;
    machine.sample.groups.push_back(group);
  }
  auto tool = someTool("gradle", DeveloperTool::Kind::buildDaemon, 0.5);
  tool.title = "Gradle daemon of android-application-with-a-long-name";
  tool.memoryBytes = 12 * GiB;
  machine.tools = {tool};
  StartupItem agent;
  agent.label = "org.freedesktop.a-very-long-agent-name-that-someone-wrote.service";
  agent.program = "/home/fake/.local/share/applications/some-vendor/with/a/deep/folder/bin/the-agent-program";
  agent.programMissing = true;
  agent.plistPath = "/home/fake/.config/systemd/user/agent.service";
  machine.startupItems = {agent};
}

// The demo machine, or the long one, in the main window; every search and scan finished in
// virtual time.
struct DemoWindow {
  explicit DemoWindow(bool longValues = false) {
    Preference::registerDefaults(preferences);
    if (longValues) makeLong(fake);
  }
  PerformanceModel fake;
  InMemoryPreferences preferences;
  RecordingNotifications notifications;
  AppModel& model = fake.make();
  BackgroundMonitor monitor{model, preferences, notifications};
  ContentView window{model, monitor};

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
    for (auto pool : {Pool::user, Pool::utility}) threadPool(pool).waitForDone(5000);
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
    // Across only: a scroll area's content runs on below its viewport by design.
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

  void everyScreenFits_data() { views(false); }
  void everyScreenFits() { fits(false); }

  // The screens that show names and memory figures, over a machine of long ones.
  void longestValuesFit_data() { views(true); }
  void longestValuesFit() {
    Demo::decide(false);
    fits(true);
    Demo::decide(true);
  }

private:
  static void views(bool longValues) {
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
      const bool named = view.section == Section::overview || view.section == Section::cleanup ||
                         view.section == Section::performance;
      if (longValues && !named) continue;
      QTest::addRow("%s, smallest", name) << view << smallest;
      QTest::addRow("%s, usual", name) << view << usual;
    }
  }
  static void fits(bool longValues) {
    QFETCH(View, view);
    QFETCH(QSize, size);
    DemoWindow demo(longValues);
    demo.model.refreshDisk();
    demo.model.scan();
    if (!longValues) demo.model.projects().scanProjects();
    demo.show(view, size);
    QWidget* screen = demo.window.screen();
    const QStringList found = faults(screen);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("\n"))));
    QCOMPARE(demo.window.sidebar()->width(), Sidebar::ideal);
    renderIfAsked(demo.window, QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char('-') +
                                   QString::fromLatin1(QTest::currentDataTag()).replace(QStringLiteral(", "), QStringLiteral("-")));
  }
};

TIDRA_TEST_MAIN(ScreenFitTest)
#include "ScreenFitTest.moc"
