#include "services/PerformanceServices.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessSampler.h"
#include "performance/SettingsPanel.h"
#include "performance/SlownessCheck.h"
#include "performance/StartupItems.h"
#include "performance/SystemCPU.h"
#include "platform/HomeFolder.h"
#include "system/SystemStats.h"

#include <QProcess>
#include <QStringList>

#include <chrono>

namespace tidra {

namespace {

PerformanceServices::Sample liveSampler() {
  auto sampler = std::make_shared<ProcessSampler>();
  return [sampler] { return sampler->sample(); };
}

// The panel stays open as long as the person wants it, so it is not waited for.
bool startSettingsPanel(const std::string& link) {
  const auto command = SettingsPanel::commandFor(link);
  if (!command) return false;
  QStringList arguments;
  for (const auto& argument : command->arguments) arguments << QString::fromStdString(argument);
  return QProcess::startDetached(QString::fromStdString(command->program), arguments);
}

}  // namespace

PerformanceServices PerformanceServices::live() {
  PerformanceServices services;
  services.newSampler = liveSampler;
  services.developerTools = [](const ProcessSample& sample, const std::string& home) {
    return DeveloperTools::find(sample, home);
  };
  services.ownerHome = [] { return sys::homeFolder(); };
  services.memory = [] { return SystemStats::memory(); };
  services.disk = [](const std::string& folder) { return SystemStats::disk(folder); };
  services.stopTool = [](const DeveloperTool& tool) { return DeveloperTools::stop(tool); };
  // Events of one burst of saves are gathered for 5 s before they count.
  services.newFolderActivity = [] { return std::make_unique<FolderActivity>(std::chrono::seconds(5)); };
  services.startupItems = [](const std::string& home) { return StartupItems::list(home); };
  services.removeLeftover = [](const StartupItem& item, const std::string& home) {
    return StartupItems::removeLeftover(item, home);
  };
  // ps averages over each process's lifetime here; the present comes from two readings.
  services.systemCPU = [] { return SystemCPU::measure(); };
  services.backupRunning = [] { return SlownessCheck::backupRunning(); };
  services.lowPowerMode = [] { return SlownessCheck::lowPowerMode(); };
  services.hasSettingsPanel = [](const std::string& link) { return SettingsPanel::commandFor(link).has_value(); };
  services.openSettingsPanel = startSettingsPanel;
  services.heat = [] { return SlownessCheck::heat(sys::ThermalZones::level()); };
  return services;
}

}  // namespace tidra
