#pragma once

// A machine for the background monitor's tests: fake process samples, developer tools,
// memory and disk readings behind the performance services, fake cleanup services for the
// weekly check, preferences in memory and notifications that are only recorded.

#include "models/AppModel.h"
#include "models/AppModelFakes.h"
#include "models/BackgroundMonitor.h"
#include "support/TestScheduler.h"
#include "support/InMemoryPreferences.h"
#include "settings/Preference.h"
#include "support/RecordingNotifications.h"

#include <QTest>

#include <atomic>
#include <memory>
#include <mutex>

namespace tidra::test {

// What the fake performance services read; the test changes it between ticks.
struct FakeProcesses {
  std::mutex mutex;
  MemorySnapshot memory;
  std::optional<DiskUsage> disk = DiskUsage{500'000'000'000, 200'000'000'000};
  std::vector<ProcessGroup> groups;
  std::vector<DeveloperTool> tools;
  std::vector<std::string> stopped;  // ids, in order
  std::atomic<int> samples{0};
  std::atomic<int> sampling{0};
  std::atomic<int> mostSampling{0};
  std::shared_ptr<Latch> sampleLatch;
  std::atomic<int> samplersMade{0};
  FolderActivity* folderActivity = nullptr;

  void setTools(std::vector<DeveloperTool> list) {
    std::lock_guard lock(mutex);
    tools = std::move(list);
  }
  void setGroups(std::vector<ProcessGroup> list) {
    std::lock_guard lock(mutex);
    groups = std::move(list);
  }
  std::vector<std::string> stoppedIds() {
    std::lock_guard lock(mutex);
    return stopped;
  }
};

inline PerformanceServices fakePerformance(const std::shared_ptr<FakeProcesses>& machine) {
  PerformanceServices services;
  services.newSampler = [machine] {
    ++machine->samplersMade;
    return PerformanceServices::Sample([machine] {
      const int now = ++machine->sampling;
      int seen = machine->mostSampling.load();
      while (now > seen && !machine->mostSampling.compare_exchange_weak(seen, now)) {}
      std::vector<ProcessGroup> groups;
      {
        std::lock_guard lock(machine->mutex);
        groups = machine->groups;
      }
      if (machine->sampleLatch) machine->sampleLatch->wait();
      --machine->sampling;
      ++machine->samples;
      ProcessSample sample;
      sample.groups = groups;
      return sample;
    });
  };
  services.developerTools = [machine](const ProcessSample&, const std::string&) {
    std::lock_guard lock(machine->mutex);
    return machine->tools;
  };
  services.ownerHome = [] { return std::string("/home/owner"); };
  services.memory = [machine] {
    std::lock_guard lock(machine->mutex);
    return machine->memory;
  };
  services.disk = [machine](const std::string&) {
    std::lock_guard lock(machine->mutex);
    return machine->disk;
  };
  services.stopTool = [machine](const DeveloperTool& tool) {
    std::lock_guard lock(machine->mutex);
    machine->stopped.push_back(tool.id);
    return true;
  };
  // Every settings panel exists and opens.
  services.hasSettingsPanel = [](const std::string&) { return true; };
  services.openSettingsPanel = [](const std::string&) { return true; };
  services.newFolderActivity = [machine] {
    auto activity = std::make_unique<FolderActivity>(std::chrono::milliseconds(0));
    machine->folderActivity = activity.get();
    return activity;
  };
  return services;
}

inline MemorySnapshot memoryAt(MemorySnapshot::Pressure pressure) {
  MemorySnapshot snapshot;
  snapshot.pressure = pressure;
  return snapshot;
}

// A dev server without clients, started at `started` (seconds since 1970), in `folder`.
inline DeveloperTool devServer(const std::string& id, std::optional<std::int64_t> started = 1'700'000'000,
                               std::optional<std::string> folder = std::nullopt) {
  DeveloperTool tool;
  tool.id = id;
  tool.kind = DeveloperTool::Kind::devServer;
  tool.title = "Server " + id;
  tool.memoryBytes = 300'000'000;
  if (started) tool.started = std::chrono::system_clock::time_point(std::chrono::seconds(*started));
  tool.folder = std::move(folder);
  return tool;
}

inline DeveloperTool buildDaemon(const std::string& id, double cpu) {
  DeveloperTool tool;
  tool.id = id;
  tool.kind = DeveloperTool::Kind::buildDaemon;
  tool.title = "Daemon " + id;
  tool.cpuPercent = cpu;
  tool.pids = {std::stoi(id)};
  return tool;
}

// The monitor over a fake model and machine, on virtual time.
struct MonitorRig {
  std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>();
  std::shared_ptr<FakeProcesses> machine = std::make_shared<FakeProcesses>();
  TestScheduler scheduler;
  InMemoryPreferences preferences;
  RecordingNotifications notifications;
  std::unique_ptr<AppModel> model;
  std::unique_ptr<BackgroundMonitor> monitor;
  int readings = 0;

  // `desktop`, when given, stands in for the recording notifications.
  explicit MonitorRig(Notifications* desktop = nullptr) {
    Preference::registerDefaults(preferences);
    AppServices services;
    services.cleanup = fakeCleanup(disk);
    services.performance = fakePerformance(machine);
    services.projects = quietProjects();
    model = std::make_unique<AppModel>(quietEnvironment("/home/fake"), services, fakeDesktop(), scheduler);
    monitor = std::make_unique<BackgroundMonitor>(*model, preferences, desktop ? *desktop : notifications);
    QObject::connect(monitor.get(), &BackgroundMonitor::refreshed, [this] { ++readings; });
  }

  // Waits until `count` readings were taken and the loop sleeps towards its next tick.
  bool settled(int count) {
    return QTest::qWaitFor([&] { return readings >= count && scheduler.pending() > 0; }, 10'000) && readings == count;
  }
  // One more tick: the 30 s sleep ends and its reading arrives.
  bool tick() {
    const int next = readings + 1;
    scheduler.advance(std::chrono::seconds(30));
    return settled(next);
  }
  // The app ends, `pause` passes, and a new monitor starts on the same settings and takes its
  // first reading.
  void restartMonitorAfter(std::chrono::system_clock::duration pause) {
    monitor.reset();
    scheduler.advance(std::chrono::duration_cast<std::chrono::milliseconds>(pause));
    monitor = std::make_unique<BackgroundMonitor>(*model, preferences, notifications);
    QObject::connect(monitor.get(), &BackgroundMonitor::refreshed, [this] { ++readings; });
    readings = 0;
    monitor->start();
    QVERIFY(settled(1));
  }
  ~MonitorRig() {
    // Workers still held at a latch must not outlive the test's data.
    if (machine->sampleLatch) machine->sampleLatch->open();
    if (disk->catalogLatch) disk->catalogLatch->open();
    if (disk->dockerLatch) disk->dockerLatch->open();
    for (auto& [path, latch] : disk->cleanLatches) latch->open();
    monitor.reset();
    model.reset();
  }

  // Puts items on the fake disk with their sizes and publishes them as the catalog.
  void offer(const std::vector<std::pair<CleanupItem, std::int64_t>>& items) {
    for (const auto& [item, bytes] : items) {
      disk->catalog.push_back(item);
      for (const auto& path : item.action.paths()) disk->bytes[path] = bytes;
    }
  }
  void setLastWeeklyCheck(std::chrono::system_clock::time_point when) {
    preferences.setDate(Preference::lastWeeklyCheck,
                        QDateTime::fromMSecsSinceEpoch(
                            std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count()));
  }
};

}  // namespace tidra::test
