#include "snapshot/Snapshot.h"

#include "models/AppModel.h"
#include "models/ApplicationsModel.h"
#include "models/BackgroundMonitor.h"
#include "models/Diagnosis.h"
#include "models/DuplicatesModel.h"
#include "models/ProjectsModel.h"
#include "models/SimilarPhotosModel.h"

#include <QFile>
#include <QWidget>

#include <cstdio>
#include <filesystem>

namespace tidra::Snapshot {

using namespace std::chrono_literals;

namespace {

constexpr auto poll = 250ms;

QString quoted(QString text) {
  text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
  return QLatin1Char('"') + text + QLatin1Char('"');
}

// The windows as a list of quoted strings: "title(visible)".
QString describe(const QList<QWidget*>& all) {
  QStringList items;
  for (const QWidget* widget : all)
    items << quoted(widget->windowTitle() + (widget->isVisible() ? QStringLiteral("(true)") : QStringLiteral("(false)")));
  return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString describeForSection(const QList<QWidget*>& all) {
  const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
  QStringList items;
  for (const QWidget* widget : all) {
    const bool sheet = widget->windowModality() == Qt::WindowModal && widget->parentWidget() != nullptr;
    items << widget->windowTitle() + QStringLiteral("(visible ") + flag(widget->isVisible()) + QStringLiteral(", sheet ") +
                 flag(sheet) + QLatin1Char(')');
  }
  return items.join(QStringLiteral(", "));
}

bool wants(const std::vector<Section>& sections, Section section) {
  return std::find(sections.begin(), sections.end(), section) != sections.end();
}

// One section's shots; the steps and pauses are the run's script for that section.
class Photographer {
public:
  explicit Photographer(CaptureParts& parts) : parts(parts), model(parts.model), scheduler(parts.scheduler) {}

  void shot(const QString& name) { keep(save(mainWindow(), parts.folder + name)); }
  void sheetShot(const QString& name) { keep(save(attachedSheet(mainWindow()), parts.folder + name)); }
  // Says what went wrong at once and remembers that the run failed.
  void keep(const std::optional<QString>& problem) {
    if (!problem) return;
    failed = true;
    std::fprintf(stderr, "snapshot: %s\n", qPrintable(*problem));
  }
  bool cleaning() const { return cleans(parts.arguments); }
  WaitUntil until(std::chrono::milliseconds deadline, std::function<bool()> condition) const {
    return waitUntil(scheduler, deadline, poll, std::move(condition));
  }
  SleepFor pause(std::chrono::milliseconds time) const { return settle(scheduler, time); }

  CaptureParts& parts;
  AppModel& model;
  Scheduler& scheduler;
  bool failed = false;
};

// A screen starts its own search when it is shown idle; should it not have, the run starts it,
// so a missed start costs a moment instead of the whole deadline.
template <class Phase>
void startIfIdle(Phase phase, Phase idle, const std::function<void()>& start) {
  if (phase == idle) start();
}

Flow overview(Photographer& p) {
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/overview.png"));
}

Flow cleanup(Photographer& p) {
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/cleanup.png"));
  p.model.setConfirmingClean(true);
  co_await p.pause(1500ms);
  p.sheetShot(QStringLiteral("/cleanup-confirm.png"));
  p.model.setConfirmingClean(false);
  co_await p.pause(1000ms);
  if (!p.cleaning()) co_return;
  p.model.clean();
  co_await p.until(120s, [&m = p.model] {
    return m.cleanupPhase() == AppModel::CleanupPhase::ready && m.cleanSummary().has_value();
  });
  co_await p.pause(1000ms);
  p.shot(QStringLiteral("/cleanup-done.png"));
}

Flow projects(Photographer& p) {
  ProjectsModel& projects = p.model.projects();
  projects.scanProjects();
  co_await p.until(600s, [&projects] { return projects.phase().isReady(); });
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/projects.png"));
  if (projects.selectedWorktreeRows().empty() && projects.selectedArtifactRows().empty()) co_return;
  projects.setConfirming(true);
  co_await p.pause(1500ms);
  p.sheetShot(QStringLiteral("/projects-confirm.png"));
  projects.setConfirming(false);
  co_await p.pause(1000ms);
  if (!p.cleaning()) co_return;
  projects.clean();
  co_await p.until(300s, [&projects] { return projects.phase().isReady() && projects.summary().has_value(); });
  co_await p.pause(1000ms);
  p.shot(QStringLiteral("/projects-done.png"));
}

Flow largeFiles(Photographer& p) {
  co_await p.pause(500ms);
  startIfIdle(p.model.largeFilePhase(), AppModel::SearchPhase::idle, [&p] { p.model.findLargeFiles(); });
  co_await p.until(180s, [&m = p.model] { return m.largeFilePhase() == AppModel::SearchPhase::ready; });
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/largeFiles.png"));
}

Flow duplicates(Photographer& p) {
  DuplicatesModel& identical = p.model.duplicates();
  SimilarPhotosModel& similar = p.model.similarPhotos();
  co_await p.pause(500ms);
  startIfIdle(identical.phase(), FileSetsModel::Phase::idle, [&identical] { identical.find(); });
  co_await p.until(300s, [&identical] { return identical.phase() == FileSetsModel::Phase::ready; });
  identical.selectExtraCopies();
  co_await p.pause(2000ms);
  p.shot(QStringLiteral("/duplicates.png"));
  identical.setSelection({});
  identical.setMode(DuplicatesModel::Mode::similar);
  co_await p.pause(500ms);
  startIfIdle(similar.phase(), FileSetsModel::Phase::idle, [&similar] { similar.find(); });
  co_await p.until(300s, [&similar] { return similar.phase() == FileSetsModel::Phase::ready; });
  similar.selectAllButTheBest();
  co_await p.pause(2000ms);
  p.shot(QStringLiteral("/duplicates-similar.png"));
  similar.setSelection({});
  identical.setMode(DuplicatesModel::Mode::identical);
}

Flow applications(Photographer& p) {
  ApplicationsModel& apps = p.model.applications();
  co_await p.pause(500ms);
  startIfIdle(apps.phase(), ApplicationsModel::Phase::idle, [&apps] { apps.scan(); });
  co_await p.until(300s, [&apps] { return apps.phase() == ApplicationsModel::Phase::ready; });
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/applications.png"));
  apps.setOrder(ApplicationsModel::Order::lastOpened);
  std::set<std::string> chosen;
  for (const auto& app : apps.sortedApps())
    if (chosen.size() < 2) chosen.insert(app.path);
  apps.setSelection(chosen);
  apps.setOrder(ApplicationsModel::Order::size);
  if (chosen.empty()) co_return;
  apps.resetKeptParts();
  apps.setConfirming(true);
  co_await p.pause(1500ms);
  p.sheetShot(QStringLiteral("/applications-confirm.png"));
  apps.setConfirming(false);
  apps.setSelection({});
  co_await p.pause(1000ms);
}

Flow performance(Photographer& p) {
  co_await p.pause(5000ms);
  p.shot(QStringLiteral("/performance.png"));
  p.model.setPerformanceTab(AppModel::PerformanceTab::developerTools);
  co_await p.pause(2000ms);
  p.shot(QStringLiteral("/performance-developer.png"));
  p.model.setPerformanceTab(AppModel::PerformanceTab::startup);
  co_await p.pause(1500ms);
  p.shot(QStringLiteral("/performance-startup.png"));
  p.model.setPerformanceTab(AppModel::PerformanceTab::apps);
}

// Asks the monitor for fresh figures and waits for them, so the shots show a full reading.
Flow freshReadings(Photographer& p) {
  bool refreshed = false;
  const auto connection =
      QObject::connect(&p.parts.monitor, &BackgroundMonitor::refreshed, [&refreshed] { refreshed = true; });
  p.parts.monitor.refresh();
  co_await p.until(30s, [&refreshed] { return refreshed; });
  QObject::disconnect(connection);
}

// A window of its own for a panel or the settings, shot at its fitting size and closed.
Flow hosted(Photographer& p, QWidget* window, QString name) {
  if (window == nullptr) co_return;
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setAttribute(Qt::WA_ShowWithoutActivating);
  window->adjustSize();
  window->show();
  co_await p.pause(1500ms);
  p.keep(save(window, p.parts.folder + name));
  window->close();
}

Flow extras(Photographer& p) {
  Diagnosis& diagnosis = p.model.diagnosis();
  const auto checked = [&diagnosis] { return diagnosis.phase().kind != Diagnosis::Phase::Kind::checking; };
  auto readings = freshReadings(p);
  co_await std::move(readings);
  auto panel = hosted(p, p.parts.makePanel(false), QStringLiteral("/menubar.png"));
  co_await std::move(panel);
  auto settings = hosted(p, p.parts.makeSettings(), QStringLiteral("/settings.png"));
  co_await std::move(settings);
  diagnosis.run(p.model, [&monitor = p.parts.monitor] { return monitor.idleTimes(); });
  co_await p.until(20s, checked);
  auto checking = hosted(p, p.parts.makePanel(true), QStringLiteral("/menubar-check.png"));
  co_await std::move(checking);
  diagnosis.setPresented(true);
  co_await p.pause(1000ms);
  co_await p.until(20s, checked);
  co_await p.pause(1500ms);
  p.sheetShot(QStringLiteral("/diagnosis.png"));
  diagnosis.setPresented(false);
  co_await p.pause(800ms);
}

}  // namespace

std::optional<QString> save(QWidget* window, const QString& path) {
  if (window == nullptr) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
  if (!window->grab().save(&file, "PNG")) return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
  return std::nullopt;
}

QWidget* attachedSheet(QWidget* window) {
  if (window == nullptr) return nullptr;
  for (auto* candidate : window->findChildren<QWidget*>())
    if (candidate->isWindow() && candidate->isVisible() && candidate->windowModality() == Qt::WindowModal)
      return candidate;
  return nullptr;
}

Flow capture(CaptureParts parts) {
  Photographer p(parts);
  std::error_code error;
  std::filesystem::create_directories(QFile::encodeName(parts.folder).toStdString(), error);
  if (error)
    p.keep(QStringLiteral("cannot make the folder %1: %2").arg(parts.folder, QString::fromStdString(error.message())));
  const auto sections = requestedSections(parts.arguments);
  auto readings = freshReadings(p);
  co_await std::move(readings);
  log(QStringLiteral("started; windows: ") + describe(windows()));

  if (wants(sections, Section::overview) || wants(sections, Section::cleanup)) {
    const bool ready =
        co_await p.until(180s, [&m = parts.model] { return m.cleanupPhase() == AppModel::CleanupPhase::ready; });
    log(QStringLiteral("cleanup scan ") + (ready ? QStringLiteral("ready") : QStringLiteral("not ready")));
  }
  for (const Section section : sections) {
    co_await p.until(10s, [] { return mainWindow() != nullptr; });
    if (mainWindow() == nullptr)
      if (QWidget* window = firstTitledWindow()) {
        window->show();
        window->raise();
        co_await p.pause(1000ms);
      }
    log(QStringLiteral("section ") + rawValue(section) + QStringLiteral(", main window: ") +
        (mainWindow() ? QStringLiteral("true") : QStringLiteral("false")) + QStringLiteral(", windows: ") +
        describeForSection(windows()));
    parts.model.setSection(section);
    auto script = [&]() -> Flow {
      switch (section) {
        case Section::overview: return overview(p);
        case Section::cleanup: return cleanup(p);
        case Section::projects: return projects(p);
        case Section::largeFiles: return largeFiles(p);
        case Section::duplicates: return duplicates(p);
        case Section::applications: return applications(p);
        case Section::performance: return performance(p);
      }
      return overview(p);
    }();
    co_await std::move(script);
  }
  if (parts.arguments.contains(QStringLiteral("--snapshot-extras"))) {
    log(QStringLiteral("extras"));
    auto more = extras(p);
    co_await std::move(more);
  }
  log(QStringLiteral("done"));
  parts.quit(p.failed ? 1 : 0);
}

}  // namespace tidra::Snapshot
