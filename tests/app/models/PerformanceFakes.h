#pragma once

// Fake performance services for the central model and the diagnosis: scripted samples, tools
// and startup items, and a log of every engine call in the order it happened.

#include "AppModelFakes.h"

#include "performance/DeveloperTool.h"
#include "performance/ProcessSample.h"
#include "performance/StartupItem.h"
#include "support/Latch.h"

#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidra::test {

struct RecordedMachine {
  std::mutex mutex;
  std::vector<std::string> calls;
  ProcessSample sample;
  std::vector<DeveloperTool> tools;
  std::vector<StartupItem> startupItems;
  std::optional<std::string> removeFailure;
  // When set, a startup item's removal waits here until the test opens it.
  std::shared_ptr<Latch> removeGate;
  std::vector<DeveloperTool> stopped;
  std::string toolsHome;
  MemorySnapshot memory;
  // The settings links this desktop has a panel for, and whether opening one succeeds.
  std::set<std::string> settingsPanels;
  bool panelsOpen = true;
  bool lowPower = false;

  void log(const std::string& call) {
    std::lock_guard lock(mutex);
    calls.push_back(call);
  }
  std::vector<std::string> log() {
    std::lock_guard lock(mutex);
    return calls;
  }
  int count(const std::string& call) {
    std::lock_guard lock(mutex);
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
  }
  std::vector<DeveloperTool> stops() {
    std::lock_guard lock(mutex);
    return stopped;
  }
};

inline PerformanceServices recordingPerformance(const std::shared_ptr<RecordedMachine>& machine) {
  PerformanceServices services;
  services.newSampler = [machine] {
    return [machine] {
      machine->log("sample");
      std::lock_guard lock(machine->mutex);
      return machine->sample;
    };
  };
  services.developerTools = [machine](const ProcessSample&, const std::string& home) {
    machine->log("tools");
    std::lock_guard lock(machine->mutex);
    machine->toolsHome = home;
    return machine->tools;
  };
  services.ownerHome = [] { return std::string("/home/owner"); };
  services.memory = [machine] {
    machine->log("memory");
    std::lock_guard lock(machine->mutex);
    return machine->memory;
  };
  services.disk = [](const std::string&) { return std::optional<DiskUsage>(DiskUsage{1000, 400}); };
  services.stopTool = [machine](const DeveloperTool& tool) {
    std::lock_guard lock(machine->mutex);
    machine->stopped.push_back(tool);
    return true;
  };
  services.startupItems = [machine](const std::string&) {
    machine->log("list");
    std::lock_guard lock(machine->mutex);
    return machine->startupItems;
  };
  services.removeLeftover = [machine](const StartupItem& item, const std::string&) {
    machine->log("remove " + item.plistPath);
    if (machine->removeGate) machine->removeGate->wait();
    std::lock_guard lock(machine->mutex);
    std::erase_if(machine->startupItems, [&](const StartupItem& listed) { return listed.plistPath == item.plistPath; });
    return machine->removeFailure;
  };
  // Nothing changes in any folder: a dev server's idle time is the time since it was first seen.
  services.newFolderActivity = [] { return std::make_unique<FolderActivity>(std::chrono::milliseconds(0)); };
  services.systemCPU = [machine] {
    machine->log("cpu");
    return std::map<std::string, double>{};
  };
  services.backupRunning = [] { return false; };
  services.lowPowerMode = [machine] {
    std::lock_guard lock(machine->mutex);
    return machine->lowPower;
  };
  services.hasSettingsPanel = [machine](const std::string& link) {
    std::lock_guard lock(machine->mutex);
    return machine->settingsPanels.contains(link);
  };
  services.openSettingsPanel = [machine](const std::string& link) {
    machine->log("open " + link);
    std::lock_guard lock(machine->mutex);
    return machine->settingsPanels.contains(link) && machine->panelsOpen;
  };
  services.heat = [] { return SlownessInputs::Heat::normal; };
  return services;
}

inline ProcessGroup someGroup(const std::string& name, std::vector<pid_t> pids,
                              std::optional<std::string> bundlePath = std::nullopt) {
  ProcessGroup group;
  group.id = bundlePath ? "app:" + name : name;
  group.name = name;
  group.bundlePath = std::move(bundlePath);
  group.mainPID = pids.front();
  group.pids = std::move(pids);
  return group;
}

inline DeveloperTool someTool(const std::string& id, DeveloperTool::Kind kind, double cpu, std::vector<pid_t> pids = {}) {
  DeveloperTool tool;
  tool.id = id;
  tool.kind = kind;
  tool.title = "Tool " + id;
  tool.cpuPercent = cpu;
  tool.pids = std::move(pids);
  return tool;
}

// A central model over the fake machine, the fake cleanup disk and fake desktop parts.
struct PerformanceModel {
  std::shared_ptr<RecordedMachine> machine = std::make_shared<RecordedMachine>();
  std::shared_ptr<FakeDisk> disk = std::make_shared<FakeDisk>();
  DesktopServices desktop = fakeDesktop();
  FileServices files = quietFiles();
  // Replaces the fake stop when set, e.g. with the engine's own.
  std::function<bool(const DeveloperTool&)> stopTool;
  // Replaces the fake samples when set, e.g. with live ones.
  std::function<PerformanceServices::Sample()> newSampler;
  TestScheduler scheduler;
  std::unique_ptr<AppModel> model;

  AppModel& make(const std::string& home = "/home/fake") {
    AppServices services;
    services.cleanup = fakeCleanup(disk);
    services.performance = recordingPerformance(machine);
    if (stopTool) services.performance.stopTool = stopTool;
    if (newSampler) services.performance.newSampler = newSampler;
    services.files = files;
    services.projects = quietProjects();
    services.applications = quietApplications();
    model = std::make_unique<AppModel>(quietEnvironment(home), services, desktop, scheduler);
    return *model;
  }
};

}  // namespace tidra::test
