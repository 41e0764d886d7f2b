#include "models/Diagnosis.h"

#include "Demo.h"
#include "demo/DemoMac.h"
#include "models/AppModel.h"
#include "models/WindowOpener.h"

#include "performance/SlownessCheck.h"

#include <utility>

namespace tidra {

namespace {

using namespace std::chrono_literals;

// What the check reads off the GUI thread, all in one job: each part may block for seconds.
struct MachineReading {
  std::vector<DeveloperTool> developerTools;
  std::map<std::string, double> systemCPU;
  bool backupRunning = false;
  bool lowPowerMode = false;
  SlownessInputs::Heat heat = SlownessInputs::Heat::normal;
};

Diagnosis::StartTimes startTimesOf(const ProcessSample& sample) {
  Diagnosis::StartTimes started;
  for (const auto& process : sample.processes)
    if (process.started) started[process.pid] = *process.started;
  return started;
}

}  // namespace

Diagnosis::Diagnosis(PerformanceServices services, Scheduler& scheduler, QObject* parent)
    : QObject(parent), services_(std::move(services)), scheduler_(scheduler) {}

void Diagnosis::setPresented(bool presented) {
  if (isPresented_ == presented) return;
  isPresented_ = presented;
  emit isPresentedChanged();
}

void Diagnosis::setPhase(Phase phase) {
  phase_ = std::move(phase);
  emit phaseChanged();
}

void Diagnosis::setApplied(std::set<std::string> ids) {
  if (applied_ == ids) return;
  applied_ = std::move(ids);
  emit appliedChanged();
}

void Diagnosis::run(AppModel& model, IdleTimes idleTimes) {
  if (phase_.kind == Phase::Kind::checking) return;
  setPhase({Phase::Kind::checking, {}});
  setApplied({});
  if (Demo::isOn()) checkDemo(model).start(this);
  else check(model, std::move(idleTimes)).start(this);
}

Flow Diagnosis::checkDemo(AppModel& model) {
  co_await sleepFor(scheduler_, 1200ms);
  auto inputs = DemoMac::slownessInputs(model.environment().home, model.demoGone(), model.safeBytes(), 0,
                                       scheduler_.now());
  if (model.disk()) inputs.disk = model.disk();
  setPhase({Phase::Kind::done, withPanelsOfThisDesktop(SlownessCheck::findings(inputs))});
}

Flow Diagnosis::check(AppModel& model, IdleTimes idleTimes) {
  // A sampler of its own: the first sample only starts the CPU accounting of the second.
  auto take = [sample = services_.newSampler()] { return sample(); };
  [[maybe_unused]] const ProcessSample primed = co_await runOn(Pool::user, take);
  co_await sleepFor(scheduler_, 1500ms);
  const ProcessSample sample = co_await runOn(Pool::user, take);
  sampled_ = startTimesOf(sample);

  const std::string home = model.environment().home;
  auto read = [services = services_, sample, ownerHome = services_.ownerHome()] {
    return MachineReading{services.developerTools(sample, ownerHome), services.systemCPU(),
                          services.backupRunning(), services.lowPowerMode(), services.heat()};
  };
  const MachineReading reading = co_await runOn(Pool::user, read);

  SlownessInputs inputs;
  inputs.heat = reading.heat;
  inputs.memory = services_.memory();
  inputs.disk = services_.disk(home);
  inputs.groups = sample.groups;
  inputs.developerTools = reading.developerTools;
  inputs.systemCPU = reading.systemCPU;
  inputs.timeMachineRunning = reading.backupRunning;
  inputs.idleTimes = idleTimes ? idleTimes() : std::map<std::string, double>{};
  inputs.lowPowerMode = reading.lowPowerMode;
  inputs.safeBytes = model.safeBytes();
  setPhase({Phase::Kind::done, withPanelsOfThisDesktop(SlownessCheck::findings(inputs))});
}

std::vector<SlownessFinding> Diagnosis::withPanelsOfThisDesktop(std::vector<SlownessFinding> findings) const {
  for (auto& finding : findings) {
    const auto* settings = finding.fix ? std::get_if<SlownessFinding::Fix::OpenSettings>(&finding.fix->value) : nullptr;
    if (settings && !services_.hasSettingsPanel(settings->url)) {
      finding.fix.reset();
      finding.fixTitle.reset();
    }
  }
  return findings;
}

void Diagnosis::apply(const SlownessFinding& finding, AppModel& model) {
  if (!finding.fix || !applyFix(*finding.fix, model)) return;
  auto applied = applied_;
  applied.insert(finding.id);
  setApplied(std::move(applied));
}

bool Diagnosis::applyFix(const SlownessFinding::Fix& fix, AppModel& model) {
  using Fix = SlownessFinding::Fix;
  if (const auto* stop = std::get_if<Fix::Stop>(&fix.value)) {
    for (const auto& tool : stop->tools) model.stop(tool);
  } else if (const auto* quit = std::get_if<Fix::Quit>(&fix.value)) {
    model.quit(quit->group, sampled_);
  } else if (const auto* settings = std::get_if<Fix::OpenSettings>(&fix.value)) {
    return services_.openSettingsPanel(settings->url);
  } else {
    setPresented(false);
    WindowOpener::shared().show(Section::cleanup, model);
  }
  return true;
}

}  // namespace tidra
