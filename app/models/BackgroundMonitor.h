#pragma once

#include "models/AlertRules.h"
#include "models/IdleServerTracker.h"
#include "models/WaitList.h"
#include "runtime/Flow.h"
#include "services/PerformanceServices.h"

#include "cleanup/CleanupItem.h"
#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "system/DiskUsage.h"
#include "system/MemorySnapshot.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tidra {

class AppModel;
class Notifications;
class Preferences;

// Watches the machine while the application runs, also with no window open: keeps fresh
// readings of memory, disk, the apps using the most memory, idle build daemons and running dev
// servers for the menu-bar panel, and on a clock raises notifications: memory under pressure,
// disk nearly full, idle dev servers and the weekly check.
//
// Lives on the GUI thread, as long as the model, the preferences and the notifications it is
// given. Each property has a getter and one ...Changed() signal; equal values notify nobody,
// except for `topApps`, which notifies on every write. Settings are read at the moment of use. In demo mode (Demo::isOn) it only refreshes its readings, every 3 s, from the demo data.
class BackgroundMonitor final : public QObject {
  Q_OBJECT

public:
  using TimePoint = std::chrono::system_clock::time_point;

  BackgroundMonitor(AppModel& model, Preferences& preferences, Notifications& notifications,
                    QObject* parent = nullptr);
  ~BackgroundMonitor() override;

  // Starts the loop once; later calls do nothing. Readies the notifications first when an
  // alert setting is on (never in demo mode). The first tick runs at once; each next one 30 s
  // after the previous one ended, so ticks never overlap.
  void start();

  // Asks for one reading of every figure. A call while a reading runs does not start a second
  // one beside it: one more reading follows the running one, for all such calls together, so
  // one sampler is never sampled twice at once and figures are never replaced by older ones.
  void refresh();

  // --- Idle servers and daemons (the menu-bar panel and the notification buttons)

  // Stops every idle build daemon as listed now; the list empties at once.
  void stopIdleDaemons();
  // Stops the server; it leaves `devServers` at once.
  void stopIdleServer(const DeveloperTool& server);
  // The "stop" button: stops the listed server with this id only when it is the same run the
  // notification was about (equal start time, or both unknown). Anything else is left alone.
  void stopIdleServer(const std::string& id, const std::optional<double>& startedSeconds);
  // The "keep" button: the server is not reported again while this run lasts.
  void keepRunning(const std::string& id);

  // --- The weekly check

  // When the last weekly check started; none before the first.
  std::optional<TimePoint> lastWeeklyCheck() const;
  // Measures the safe part of the cleanup catalog and reports it, or cleans it when the user
  // allowed that. False, and nothing happens, while a check runs.
  bool weeklyCheck();

  // --- Properties

  const std::optional<MemorySnapshot>& memory() const { return memory_; }
  const std::optional<DiskUsage>& disk() const { return disk_; }
  // At most 3 groups using the most memory, system services left out; notifies on every write.
  const std::vector<ProcessGroup>& topApps() const { return topApps_; }
  // Build daemons below 1 % CPU.
  const std::vector<DeveloperTool>& idleDaemons() const { return idleDaemons_; }
  bool isCheckingWeekly() const { return isCheckingWeekly_; }
  const std::vector<DeveloperTool>& devServers() const { return devServers_; }
  // Idle seconds per dev-server id, for servers whose idle time is known.
  const std::map<std::string, double>& idleTimes() const { return idleTimes_; }

signals:
  void memoryChanged();
  void diskChanged();
  void topAppsChanged();
  void idleDaemonsChanged();
  void isCheckingWeeklyChanged();
  void devServersChanged();
  void idleTimesChanged();
  // A reading has been assigned (for the panel and the screenshot run).
  void refreshed();

private:
  // A safe catalog item and what it measured.
  struct Candidate {
    CleanupItem item;
    std::int64_t bytes = 0;
  };

  template <class T>
  void assign(T& field, T value, void (BackgroundMonitor::*changed)()) {
    if (field == value) return;
    field = std::move(value);
    emit(this->*changed)();
  }

  Flow loop();
  // Readings one after another until no one asked for another meanwhile.
  Flow refreshRounds();
  void readDemo();
  void setTopApps(const std::vector<ProcessGroup>& groups);

  void checkAlerts();
  // A time kept in the settings (it outlives the run); nothing when absent.
  std::optional<TimePoint> storedTime(const QString& key) const;
  void storeTime(const QString& key, TimePoint time);
  void checkIdleServers();
  void trackIdleServers(std::vector<DeveloperTool> servers);
  // Stops a tool through the model (off the GUI thread; in demo mode on the demo machine).
  void stopTool(const DeveloperTool& tool);
  void removeDevServer(const std::string& id);

  // Starts a weekly check when one is due; true when the loop is to wait for it.
  bool weeklyCheckIfDue();
  Flow weeklyFlow();
  // The automatic clean of the measured safe items, its record and its notification.
  Flow weeklyClean(std::vector<Candidate> safe);
  Flow weeklyDemo();
  void finishWeekly();
  bool wantsNotifications() const;

  AppModel& model;
  Preferences& preferences;
  Notifications& notifications;
  const PerformanceServices services;
  // The monitor's own sampler, apart from the model's.
  const PerformanceServices::Sample sample;
  IdleServerTracker idleServers;

  bool started = false;
  bool refreshing = false;
  bool refreshAgain = false;
  WaitList refreshWaiters;
  WaitList weeklyWaiters;
  AlertRules::MemoryWatch memoryWatch;

  std::optional<MemorySnapshot> memory_;
  std::optional<DiskUsage> disk_;
  std::vector<ProcessGroup> topApps_;
  std::vector<DeveloperTool> idleDaemons_;
  bool isCheckingWeekly_ = false;
  std::vector<DeveloperTool> devServers_;
  std::map<std::string, double> idleTimes_;
};

}  // namespace tidra
