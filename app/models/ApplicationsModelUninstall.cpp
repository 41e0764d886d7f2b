#include "models/ApplicationsModel.h"

#include "Demo.h"
#include "cleanup/TrashedFiles.h"

#include <algorithm>
#include <map>

namespace tidra {

namespace {

using namespace std::chrono_literals;

// A quit request is given 40 looks, 0.25 s apart: 10 s in all.
constexpr int quitLooks = 40;
constexpr auto quitPause = 250ms;
constexpr auto demoPause = 400ms;

}  // namespace

void ApplicationsModel::uninstall() {
  auto apps = selectedApps();
  if (phase_ != Phase::ready || apps.empty()) return;
  setPhase(Phase::removing);
  setSummary(std::nullopt);
  // Later edits of the kept parts do not reach a run already under way.
  auto kept = keptParts_;
  (Demo::isOn() ? uninstallDemo(std::move(apps), std::move(kept)) : uninstallFlow(std::move(apps), std::move(kept)))
      .start(this);
}

Flow ApplicationsModel::uninstallFlow(std::vector<InstalledApp> apps, std::set<std::string> kept) {
  std::vector<CleanReport::Failure> failures;
  std::vector<InstalledApp> removal;
  for (const auto& app : apps) {
    setRemovingName(QString::fromStdString(app.name));
    auto looking = [running = runningApps, app] { return running->instances(app); };
    auto instances = co_await runOn(Pool::user, looking);
    for (const auto& instance : instances) runningApps->requestQuit(instance);
    const auto allGone = [&] {
      return std::all_of(instances.begin(), instances.end(),
                         [&](const RunningInstance& instance) { return runningApps->isTerminated(instance); });
    };
    bool gone = allGone();
    for (int look = 0; look < quitLooks && !gone; ++look) {
      co_await sleepFor(scheduler, quitPause);
      gone = allGone();
    }
    if (gone)
      removal.push_back(app);
    else
      failures.push_back({app.path, app.name + " is still open. Quit it, then try again."});
  }
  if (removal.empty()) {
    finish({{}, 0, std::move(failures)});
    co_return;
  }

  setRemovingName(removal.size() == 1 ? QString::fromStdString(removal.front().name)
                                      : QString::number(removal.size()) + " apps");
  // Each bundle's identity is read before its move, which keeps it.
  auto removing = [remove = services.removeApps, guardian = guardian_, removal] {
    std::map<std::string, TrashedFile> identities;
    for (const auto& app : removal)
      if (const auto identity = TrashedFiles::of(app.path)) identities[app.path] = *identity;
    return std::pair{remove(guardian, removal), identities};
  };
  const auto [report, identities] = co_await runOn(Pool::user, removing);
  failures.insert(failures.end(), report.failures.begin(), report.failures.end());
  std::erase_if(removal, [&](const InstalledApp& app) {
    return std::any_of(report.failures.begin(), report.failures.end(),
                       [&](const CleanReport::Failure& failure) { return failure.path == app.path; });
  });

  UninstallSummary summary;
  for (const auto& app : removal) {
    setRemovingName(QString::fromStdString(app.name));
    const auto going = leaving(app, kept);
    std::vector<std::string> leftovers;
    for (const auto& part : going)
      if (part.path != app.mainPath()) leftovers.push_back(part.path);
    auto trashing = [trash = services.trashLeftovers, guardian = guardian_, leftovers] {
      return trash(guardian, leftovers);
    };
    const auto outcome = co_await runOn(Pool::user, trashing);
    failures.insert(failures.end(), outcome.failures.begin(), outcome.failures.end());
    // Only what really went counts: the bundle, and leftovers the move found and moved.
    for (const auto& part : going) {
      const bool moved = std::find(outcome.moved.begin(), outcome.moved.end(), part.path) != outcome.moved.end();
      if (part.path == app.mainPath() || moved) summary.trashed += part.bytes;
    }
    if (const auto bundle = identities.find(app.path); bundle != identities.end())
      summary.trashedFiles.push_back(bundle->second);
    summary.trashedFiles.insert(summary.trashedFiles.end(), outcome.movedFiles.begin(), outcome.movedFiles.end());
    summary.apps.push_back(app.name);
    forgetApp(app);
  }
  summary.failures = std::move(failures);
  finish(std::move(summary));
}

Flow ApplicationsModel::uninstallDemo(std::vector<InstalledApp> apps, std::set<std::string> kept) {
  UninstallSummary summary;
  for (const auto& app : apps) {
    setRemovingName(QString::fromStdString(app.name));
    co_await sleepFor(scheduler, demoPause);
    for (const auto& part : leaving(app, kept)) summary.trashed += part.bytes;
    summary.apps.push_back(app.name);
    forgetApp(app);
  }
  finish(std::move(summary));
}

void ApplicationsModel::finish(UninstallSummary summary) {
  setRemovingName(std::nullopt);
  resetKeptParts();
  const bool removedAny = !summary.apps.empty();
  auto record = CleanupRecord{scheduler.now(), "Applications", summary.trashed, summary.apps,
                              static_cast<std::int64_t>(summary.failures.size())};
  record.trashedBytes = summary.trashed;
  record.trashedFiles = summary.trashedFiles;
  setSummary(std::move(summary));
  setPhase(Phase::ready);
  if (removedAny && onRemoved) onRemoved(record);
}

}  // namespace tidra
