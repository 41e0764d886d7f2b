#include "models/ApplicationsModel.h"

#include "Demo.h"
#include "apps/AppFootprint.h"
#include "apps/NaturalOrder.h"
#include "demo/DemoMac.h"
#include "platform/HomeFolder.h"

#include <algorithm>

namespace tidra {

namespace {

constexpr QSize iconPixels{64, 64};
// Footprints measured side by side.
constexpr int footprintLimit = 4;
constexpr std::chrono::milliseconds demoListing{500};
constexpr std::chrono::milliseconds demoFootprint{40};

bool isRealHome(const std::string& home) { return home == sys::homeFolder(); }

struct Footprint {
  std::string appPath;
  std::vector<AppPart> parts;
  // Parts offered unticked: settings that only the app's name found.
  std::set<std::string> unticked;
};

// The system's apps are never removed here: only their package's size is shown, or none.
bool isLocked(const InstalledApp& app) { return app.needsPassword && app.kind != AppKind::bundle; }

Footprint lockedFootprint(const ApplicationServices& services, const InstalledApp& app) {
  Footprint footprint{app.path, {}, {}};
  if (const auto bytes = services.installedSize(app)) footprint.parts.push_back({app.path, *bytes});
  return footprint;
}

// The app's main path first (its folder, bundle or file), then what leaves with it.
Footprint footprintOf(const ApplicationServices& services, const InstalledApp& app,
                      const std::vector<InstalledApp>& listed, const std::string& home, bool fullDiskAccess) {
  Footprint footprint{app.path, {{app.mainPath(), services.measure(app.mainPath())}}, {}};
  for (auto& path : services.footprint(app, listed, home, fullDiskAccess)) {
    if (AppFootprint::isSettingsFoundByName(path, app.bundleID, home)) footprint.unticked.insert(path);
    const auto bytes = services.measure(path);
    footprint.parts.push_back({std::move(path), bytes});
  }
  return footprint;
}

}  // namespace

QString ApplicationsModel::rawValue(Order order) {
  switch (order) {
    case Order::size: return QStringLiteral("Size");
    case Order::lastOpened: return QStringLiteral("Last Opened");
    case Order::name: return QStringLiteral("Name");
  }
  return {};
}

std::optional<ApplicationsModel::Order> ApplicationsModel::orderFrom(const QString& rawValue) {
  for (Order order : {Order::size, Order::lastOpened, Order::name})
    if (ApplicationsModel::rawValue(order) == rawValue) return order;
  return std::nullopt;
}

ApplicationsModel::ApplicationsModel(ApplicationServices services, std::shared_ptr<RunningApps> runningApps,
                                     std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler, std::string home,
                                     QObject* parent)
    : QObject(parent),
      services(std::move(services)),
      runningApps(std::move(runningApps)),
      thumbnailer(std::move(thumbnailer)),
      scheduler(scheduler),
      home_(std::move(home)),
      guardian_(home_, isRealHome(home_) ? "/Applications" : home_ + "/Applications"),
      folders_(isRealHome(home_) ? std::vector<std::string>{"/Applications", home_ + "/Applications"}
                                 : std::vector<std::string>{home_ + "/Applications"}) {}

void ApplicationsModel::setPhase(Phase phase) {
  if (phase == phase_) return;
  phase_ = phase;
  emit phaseChanged();
}

void ApplicationsModel::setApps(std::vector<InstalledApp> apps) {
  if (apps == apps_) return;
  apps_ = std::move(apps);
  emit appsChanged();
}

void ApplicationsModel::setParts(std::map<std::string, std::vector<AppPart>> parts) {
  if (parts == parts_) return;
  parts_ = std::move(parts);
  emit partsChanged();
}

void ApplicationsModel::setHasFullDiskAccess(bool has) {
  if (has == hasFullDiskAccess_) return;
  hasFullDiskAccess_ = has;
  emit hasFullDiskAccessChanged();
}

void ApplicationsModel::setOrder(Order order) {
  if (order == order_) return;
  order_ = order;
  emit orderChanged();
}

void ApplicationsModel::setSelection(std::set<std::string> selection) {
  if (selection == selection_) return;
  selection_ = std::move(selection);
  emit selectionChanged();
}

void ApplicationsModel::setKeptParts(std::set<std::string> kept) {
  if (kept == keptParts_) return;
  keptParts_ = std::move(kept);
  emit keptPartsChanged();
}

void ApplicationsModel::setConfirming(bool confirming) {
  if (confirming == isConfirming_) return;
  isConfirming_ = confirming;
  emit isConfirmingChanged();
}

void ApplicationsModel::resetKeptParts() {
  std::set<std::string> kept;
  for (const auto& [app, parts] : parts_)
    for (const auto& part : parts)
      if (defaultKept_.contains(part.path)) kept.insert(part.path);
  setKeptParts(std::move(kept));
}

void ApplicationsModel::setSummary(std::optional<UninstallSummary> summary) {
  if (summary == summary_) return;
  summary_ = std::move(summary);
  emit summaryChanged();
}

void ApplicationsModel::setRemovingName(std::optional<QString> name) {
  if (name == removingName_) return;
  removingName_ = std::move(name);
  emit removingNameChanged();
}

std::optional<std::int64_t> ApplicationsModel::bytes(const InstalledApp& app) const {
  const auto found = parts_.find(app.path);
  if (found == parts_.end()) return std::nullopt;
  // A system app whose package manager gave no size has no parts: no figure at all.
  if (found->second.empty()) return std::nullopt;
  std::int64_t total = 0;
  for (const auto& part : found->second) total += part.bytes;
  return total;
}

std::vector<InstalledApp> ApplicationsModel::sortedApps() const {
  auto sorted = apps_;
  if (order_ == Order::size) {
    // Unmeasured apps count as -1, after every measured one.
    std::stable_sort(sorted.begin(), sorted.end(), [this](const InstalledApp& a, const InstalledApp& b) {
      return bytes(a).value_or(-1) > bytes(b).value_or(-1);
    });
  } else if (order_ == Order::lastOpened) {
    // Never opened counts as the distant past, so those lead.
    const auto opened = [](const InstalledApp& app) {
      return app.lastOpened.value_or(std::chrono::system_clock::time_point::min());
    };
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const InstalledApp& a, const InstalledApp& b) { return opened(a) < opened(b); });
  }
  return sorted;
}

std::vector<InstalledApp> ApplicationsModel::selectedApps() const {
  std::vector<InstalledApp> selected;
  for (auto& app : sortedApps())
    if (selection_.contains(app.path)) selected.push_back(std::move(app));
  return selected;
}

std::vector<AppPart> ApplicationsModel::leaving(const InstalledApp& app, const std::set<std::string>& kept) const {
  std::vector<AppPart> going;
  const auto found = parts_.find(app.path);
  if (found == parts_.end()) return going;
  for (const auto& part : found->second)
    if (part.path == app.mainPath() || !kept.contains(part.path)) going.push_back(part);
  return going;
}

std::int64_t ApplicationsModel::selectedBytes() const {
  std::int64_t total = 0;
  for (const auto& app : selectedApps())
    for (const auto& part : leaving(app, keptParts_)) total += part.bytes;
  return total;
}

void ApplicationsModel::scan() {
  if (phase_ == Phase::scanning || phase_ == Phase::removing) return;
  setPhase(Phase::scanning);
  setApps({});
  setParts({});
  setSelection({});
  defaultKept_.clear();
  (Demo::isOn() ? scanDemo() : scanFlow()).start(this);
}

Flow ApplicationsModel::scanFlow() {
  const bool fullDiskAccess = services.hasFullDiskAccess(home_);
  setHasFullDiskAccess(fullDiskAccess);
  std::set<std::string> excluding;
  if (auto own = services.ownBundleID()) excluding.insert(std::move(*own));

  auto listing = [list = services.listApps, home = home_, folders = folders_, excluding] {
    return list(home, folders, excluding);
  };
  auto apps = co_await runOn(Pool::user, listing);
  setApps(apps);
  prepareIcons(apps);

  BoundedGroup<Footprint> measuring(Pool::user, footprintLimit, this, [this](Footprint footprint) {
    auto parts = parts_;
    parts[footprint.appPath] = std::move(footprint.parts);
    setParts(std::move(parts));
    defaultKept_.insert(footprint.unticked.begin(), footprint.unticked.end());
    auto kept = keptParts_;
    kept.insert(footprint.unticked.begin(), footprint.unticked.end());
    setKeptParts(std::move(kept));
  });
  for (const auto& app : apps)
    measuring.add([services = services, app, apps, home = home_, fullDiskAccess] {
      return isLocked(app) ? lockedFootprint(services, app) : footprintOf(services, app, apps, home, fullDiskAccess);
    });
  auto measured = measuring.finished();
  co_await measured;
  setPhase(Phase::ready);
}

Flow ApplicationsModel::scanDemo() {
  const auto demo = DemoMac::installedApps(home_, scheduler.now());
  co_await sleepFor(scheduler, demoListing);
  std::vector<InstalledApp> apps;
  for (const auto& entry : demo) apps.push_back(entry.app);
  std::stable_sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
    return NaturalOrder::compare(a.name, b.name) < 0;
  });
  setApps(apps);
  prepareIcons(apps);
  setHasFullDiskAccess(true);
  for (const auto& entry : demo) {
    co_await sleepFor(scheduler, demoFootprint);
    std::vector<AppPart> measured;
    for (const auto& part : entry.parts) measured.push_back({part.path, part.bytes});
    auto parts = parts_;
    parts[entry.app.path] = std::move(measured);
    setParts(std::move(parts));
  }
  setPhase(Phase::ready);
}

void ApplicationsModel::prepareIcons(const std::vector<InstalledApp>& apps) {
  bool added = false;
  for (const auto& app : apps) {
    if (icons_.contains(app.path)) continue;
    icons_[app.path] = thumbnailer->appIcon(app.icon.empty() ? app.bundleID : app.icon, iconPixels);
    added = true;
  }
  if (added) emit iconsChanged();
}

void ApplicationsModel::forgetApp(const InstalledApp& app) {
  auto apps = apps_;
  std::erase_if(apps, [&](const InstalledApp& listed) { return listed.path == app.path; });
  setApps(std::move(apps));
  auto parts = parts_;
  parts.erase(app.path);
  setParts(std::move(parts));
  auto selection = selection_;
  selection.erase(app.path);
  setSelection(std::move(selection));
}

}  // namespace tidra
