// The performance figures of the central model: the refresh loop, icons, startup items and
// stopping developer tools and apps.
#include "models/AppModel.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "platform/Thumbnailer.h"

#include "files/FileExtension.h"
#include "performance/SlownessCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QPixmap>

namespace tidra {

namespace {

using namespace std::chrono_literals;

constexpr auto refreshInterval = 3s;
const QSize toolIconPixels{64, 64};

QIcon iconOf(const QImage& image) { return QIcon(QPixmap::fromImage(image)); }

bool exists(const std::string& path) {
  return QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(path)));
}

// A signal stop of the group's processes, so the engine's checks decide what may be signalled.
DeveloperTool signalStop(const ProcessGroup& group, const std::map<pid_t, std::chrono::system_clock::time_point>& started,
                         bool force) {
  DeveloperTool::Stop::Signal stop;
  stop.force = force;
  for (const pid_t pid : group.pids) {
    const auto found = started.find(pid);
    stop.processes.push_back({pid, found == started.end() ? std::nullopt : std::optional(found->second)});
  }
  DeveloperTool tool;
  tool.id = group.id;
  tool.pids = group.pids;
  tool.stop = std::move(stop);
  return tool;
}

}  // namespace

AppModel::RefreshToken& AppModel::RefreshToken::operator=(RefreshToken&& other) noexcept {
  if (this != &other) {
    release();
    model = std::exchange(other.model, {});
  }
  return *this;
}

void AppModel::RefreshToken::release() {
  if (const auto held = std::exchange(model, {})) held->releaseRefresh();
}

AppModel::RefreshToken AppModel::keepPerformanceFresh() {
  holdRefresh();
  return RefreshToken(this);
}

void AppModel::holdRefresh() {
  if (refreshHolders_++ > 0) return;
  refreshRunning_ = std::make_shared<bool>(true);
  refreshContext_ = new QObject(this);
  refreshLoop(refreshRunning_).start(refreshContext_);
}

// The loop may be inside a pass that called out to a screen which released its token: the
// flag stops it at its next step, and the context goes once control is back in the event loop.
void AppModel::releaseRefresh() {
  if (refreshHolders_ == 0 || --refreshHolders_ > 0) return;
  *refreshRunning_ = false;
  if (refreshContext_) refreshContext_->deleteLater();
}

Flow AppModel::refreshLoop(std::shared_ptr<bool> running) {
  while (*running) {
    if (Demo::isOn()) {
      showDemoProcesses();
    } else {
      setMemory(services_.performance.memory());
      if (!sample_) sample_ = services_.performance.newSampler();
      auto take = [sample = sample_] { return sample(); };
      ProcessSample sample = co_await runOn(Pool::user, take);
      if (!*running) co_return;
      prepareIcons(sample.groups);
      processStarts_.clear();
      for (const auto& process : sample.processes)
        if (process.started) processStarts_[process.pid] = *process.started;
      setProcesses(sample.groups);
      // Tools are matched against the owner's real home, also when the model works on another.
      auto find = [find = services_.performance.developerTools, sample = std::move(sample),
                   home = services_.performance.ownerHome()] { return find(sample, home); };
      auto tools = co_await runOn(Pool::utility, find);
      if (!*running) co_return;
      setDeveloperTools(std::move(tools));
    }
    co_await sleepFor(scheduler_, refreshInterval);
  }
}

void AppModel::showDemoProcesses() {
  const auto& home = environment_.home;
  const auto now = scheduler_.now();
  setMemory(DemoMac::memory(DemoMac::memory(demoGone_, home)));
  const auto sample = DemoMac::sample(home, demoGone_, now);
  prepareIcons(sample.groups);
  setProcesses(sample.groups);
  setDeveloperTools(DemoMac::developerTools(home, demoGone_, now));
}

void AppModel::prepareIcons(const std::vector<ProcessGroup>& groups) {
  const auto missing = [this](const ProcessGroup& group) {
    return group.bundlePath && !icons_.contains(QString::fromStdString(group.id));
  };
  if (std::none_of(groups.begin(), groups.end(), missing)) return;
  auto icons = icons_;
  for (const auto& group : groups) {
    const auto key = QString::fromStdString(group.id);
    if (!group.bundlePath || icons.contains(key)) continue;
    // An app that is gone from disk still gets a picture: the generic program's.
    const std::string name = exists(*group.bundlePath) ? QString::fromStdString(group.name).toLower().toStdString() : "";
    icons.insert(key, iconOf(desktop_.thumbnailer->appIcon(name, toolIconPixels)));
  }
  setIcons(std::move(icons));
}

void AppModel::prepareIcons(const std::vector<LargeFile>& files) {
  auto icons = icons_;
  for (const auto& file : files) {
    const auto key = QStringLiteral("type:") + QString::fromStdString(FileExtension::lowered(file.path));
    if (icons.contains(key)) continue;
    icons.insert(key, iconOf(desktop_.thumbnailer->typeIcon(file.path, toolIconPixels)));
  }
  setIcons(std::move(icons));
}

// Reading the startup files and running systemctl can take seconds: both run on a worker.
void AppModel::loadStartupItems() {
  const auto& home = environment_.home;
  if (Demo::isOn()) {
    auto items = DemoMac::startupItems(home);
    std::erase_if(items, [&](const StartupItem& item) { return demoRemovedStartupItems_.contains(item.plistPath); });
    setStartupItems(std::move(items));
    return;
  }
  runThen(Pool::user, this, [list = services_.performance.startupItems, home] { return list(home); },
          [this](std::vector<StartupItem> items) { setStartupItems(std::move(items)); });
}

void AppModel::removeLeftover(const StartupItem& item, std::function<void(std::optional<std::string>)> done) {
  if (Demo::isOn()) {
    demoRemovedStartupItems_.insert(item.plistPath);
    loadStartupItems();
    if (done) done(std::nullopt);
    return;
  }
  removeLeftoverFlow(item, std::move(done)).start(this);
}

Flow AppModel::removeLeftoverFlow(StartupItem item, std::function<void(std::optional<std::string>)> done) {
  auto remove = [remove = services_.performance.removeLeftover, item, home = environment_.home] {
    return remove(item, home);
  };
  ++startupRemovals_;
  const auto failure = co_await runOn(Pool::user, remove);
  --startupRemovals_;
  auto list = [list = services_.performance.startupItems, home = environment_.home] { return list(home); };
  auto items = co_await runOn(Pool::user, list);
  setStartupItems(std::move(items));
  if (done) done(failure);
}

void AppModel::stop(const DeveloperTool& tool) {
  auto tools = developerTools_;
  std::erase_if(tools, [&](const DeveloperTool& listed) { return listed.id == tool.id; });
  setDeveloperTools(std::move(tools));
  if (Demo::isOn()) {
    auto gone = demoGone_;
    gone.insert(tool.pids.begin(), tool.pids.end());
    setDemoGone(std::move(gone));
    showDemoProcesses();
    return;
  }
  // Every kind on a worker: a quit runs systemctl, which may take up to its time limit.
  runThen(Pool::user, this, [stopTool = services_.performance.stopTool, tool] { stopTool(tool); }, [] {});
}

void AppModel::stopIdleBuildDaemons() {
  std::vector<DeveloperTool> idle;
  std::copy_if(developerTools_.begin(), developerTools_.end(), std::back_inserter(idle),
               [](const DeveloperTool& tool) { return tool.isIdleDaemon(); });
  for (const auto& tool : idle) stop(tool);
}

void AppModel::quit(const ProcessGroup& group, const std::map<pid_t, std::chrono::system_clock::time_point>& started,
                    QuitMode mode) {
  if (!Demo::isOn()) {
    quitLive(group, started, mode);
    return;
  }
  auto gone = demoGone_;
  gone.insert(group.pids.begin(), group.pids.end());
  setDemoGone(std::move(gone));
  showDemoProcesses();
}

// This desktop has no application registry to ask: a polite quit is SIGTERM, a forced one
// SIGKILL, each sent only after the engine checked each pid's start time, and never to the
// session's own processes.
void AppModel::quitLive(const ProcessGroup& group,
                        const std::map<pid_t, std::chrono::system_clock::time_point>& started, QuitMode mode) {
  if (SlownessCheck::isProtected(group)) return;
  auto tool = signalStop(group, started, mode == QuitMode::force);
  runThen(Pool::user, this, [stopTool = services_.performance.stopTool, tool = std::move(tool)] { stopTool(tool); },
          [] {});
}

}  // namespace tidra
