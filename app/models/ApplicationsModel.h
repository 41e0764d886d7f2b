#pragma once

#include "apps/InstalledApps.h"
#include "cleanup/CleanReport.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/PathGuard.h"
#include "platform/RunningApps.h"
#include "platform/Thumbnailer.h"
#include "runtime/Flow.h"
#include "runtime/Scheduler.h"
#include "services/ApplicationServices.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra {

// One measured piece of an app's footprint: the app itself (bundle, file or folder), or one
// path it keeps elsewhere; for a system app, its package.
struct AppPart {
  std::string path;
  // Allocated bytes of this path measured on its own.
  std::int64_t bytes = 0;

  const std::string& id() const { return path; }
  bool operator==(const AppPart&) const = default;
};

// The result of one uninstall run.
struct UninstallSummary {
  // Names of the removed apps, in removal order.
  std::vector<std::string> apps;
  // Bytes of the removed apps' parts that went to the Trash.
  std::int64_t trashed = 0;
  // Every path that stayed, with why.
  std::vector<CleanReport::Failure> failures;
  // How the moved bundles and leftovers lie in the Trash.
  std::vector<TrashedFile> trashedFiles{};

  bool operator==(const UninstallSummary&) const = default;
};

// The app uninstaller: lists the installed apps, measures each one's footprint (the bundle
// first, then what it keeps in the Library), sorts them, holds the selection and the parts
// the user keeps, and uninstalls through the Trash. Lives on the GUI thread.
class ApplicationsModel final : public QObject {
  Q_OBJECT

public:
  enum class Phase { idle, scanning, ready, removing };
  enum class Order { size, lastOpened, name };
  // "Size", "Last Opened", "Name"; any other text names no order.
  static QString rawValue(Order order);
  static std::optional<Order> orderFrom(const QString& rawValue);

  // The real home lists the system Applications folder and its own; any other home only its own.
  ApplicationsModel(ApplicationServices services, std::shared_ptr<RunningApps> runningApps,
                    std::shared_ptr<Thumbnailer> thumbnailer, Scheduler& scheduler, std::string home,
                    QObject* parent = nullptr);

  // Receives one record per uninstall that removed at least one app.
  std::function<void(const CleanupRecord&)> onRemoved;

  Phase phase() const { return phase_; }
  const std::vector<InstalledApp>& apps() const { return apps_; }
  // Footprint per app path, the app's main path first; no entry until the app is measured.
  const std::map<std::string, std::vector<AppPart>>& parts() const { return parts_; }
  // Icon per app path; kept across scans.
  const std::map<std::string, QImage>& icons() const { return icons_; }
  // False when the last scan could not look into app containers.
  bool hasFullDiskAccess() const { return hasFullDiskAccess_; }
  Order order() const { return order_; }
  void setOrder(Order order);
  const std::set<std::string>& selection() const { return selection_; }
  void setSelection(std::set<std::string> selection);
  // Part paths the user unticked; an uninstall leaves them on disk. A scan starts them with
  // the settings that only an app's name found.
  const std::set<std::string>& keptParts() const { return keptParts_; }
  void setKeptParts(std::set<std::string> kept);
  // Back to what a scan starts with, for the parts still listed.
  void resetKeptParts();
  bool isConfirming() const { return isConfirming_; }
  void setConfirming(bool confirming);
  const std::optional<UninstallSummary>& summary() const { return summary_; }
  void setSummary(std::optional<UninstallSummary> summary);
  const std::optional<QString>& removingName() const { return removingName_; }
  const std::string& home() const { return home_; }
  const PathGuard& guardian() const { return guardian_; }
  const std::vector<std::string>& folders() const { return folders_; }

  // Starts a scan; ignored while scanning or removing.
  void scan();
  // Starts uninstalling the selected apps; ignored unless ready with a selection.
  void uninstall();

  // The sum of the app's parts; nothing until it is measured, nor for a system app whose
  // package manager gave no size.
  std::optional<std::int64_t> bytes(const InstalledApp& app) const;
  // `apps` in the chosen order; stable, so ties keep list order.
  std::vector<InstalledApp> sortedApps() const;
  std::vector<InstalledApp> selectedApps() const;
  // What the confirmation offers to remove: every part of the selected apps but the kept ones.
  // The bundle always counts, since it goes even when listed as kept.
  std::int64_t selectedBytes() const;

signals:
  void phaseChanged();
  void appsChanged();
  void partsChanged();
  void iconsChanged();
  void hasFullDiskAccessChanged();
  void orderChanged();
  void selectionChanged();
  void keptPartsChanged();
  void isConfirmingChanged();
  void summaryChanged();
  void removingNameChanged();

private:
  Flow scanFlow();
  Flow scanDemo();
  Flow uninstallFlow(std::vector<InstalledApp> apps, std::set<std::string> kept);
  Flow uninstallDemo(std::vector<InstalledApp> apps, std::set<std::string> kept);
  void finish(UninstallSummary summary);
  void prepareIcons(const std::vector<InstalledApp>& apps);
  // The parts that leave with the app: its main path always, the others unless kept.
  std::vector<AppPart> leaving(const InstalledApp& app, const std::set<std::string>& kept) const;
  void forgetApp(const InstalledApp& app);

  void setPhase(Phase phase);
  void setApps(std::vector<InstalledApp> apps);
  void setParts(std::map<std::string, std::vector<AppPart>> parts);
  void setHasFullDiskAccess(bool has);
  void setRemovingName(std::optional<QString> name);

  ApplicationServices services;
  std::shared_ptr<RunningApps> runningApps;
  std::shared_ptr<Thumbnailer> thumbnailer;
  Scheduler& scheduler;

  Phase phase_ = Phase::idle;
  std::vector<InstalledApp> apps_;
  std::map<std::string, std::vector<AppPart>> parts_;
  std::map<std::string, QImage> icons_;
  bool hasFullDiskAccess_ = true;
  Order order_ = Order::size;
  std::set<std::string> selection_;
  std::set<std::string> keptParts_;
  std::set<std::string> defaultKept_;
  bool isConfirming_ = false;
  std::optional<UninstallSummary> summary_;
  std::optional<QString> removingName_;
  std::string home_;
  PathGuard guardian_;
  std::vector<std::string> folders_;
};

}  // namespace tidra
