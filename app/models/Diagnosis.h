#pragma once

#include "models/Section.h"
#include "runtime/Flow.h"
#include "runtime/Scheduler.h"
#include "services/PerformanceServices.h"

#include "performance/SlownessFinding.h"
#include "performance/SlownessInputs.h"

#include <QObject>

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tidra {

class AppModel;

// The "Why Is My Computer Slow?" check: gathers one snapshot of the machine (or the demo's),
// publishes the findings of SlownessCheck and carries out the fix a person confirms. Lives on
// the GUI thread, owned by the central model.
class Diagnosis final : public QObject {
  Q_OBJECT

public:
  struct Phase {
    enum class Kind { idle, checking, done };
    Kind kind = Kind::idle;
    // The findings of the last check, as SlownessCheck ranked them; empty unless done.
    std::vector<SlownessFinding> findings;
    bool operator==(const Phase&) const = default;
  };
  // Idle seconds per dev-server id, as the background monitor last tracked them.
  using IdleTimes = std::function<std::map<std::string, double>()>;
  // When each process of the check's sample started, so a quit reaches only those processes.
  using StartTimes = std::map<pid_t, std::chrono::system_clock::time_point>;

  Diagnosis(PerformanceServices services, Scheduler& scheduler, QObject* parent = nullptr);

  const Phase& phase() const { return phase_; }
  // Ids of the findings whose fix was carried out since the current check started.
  const std::set<std::string>& applied() const { return applied_; }
  bool isPresented() const { return isPresented_; }
  void setPresented(bool presented);

  // Starts a check unless one runs; clears `applied` at once. `model` must outlive the check
  // (it owns the diagnosis); `idleTimes` is asked once the machine has been read.
  void run(AppModel& model, IdleTimes idleTimes);
  // Carries out the finding's fix and marks it applied; a finding without a fix does nothing.
  // Stops and quits are not awaited: a process that survives shows up in the next check. A
  // settings panel that did not start leaves the finding unmarked.
  void apply(const SlownessFinding& finding, AppModel& model);

signals:
  void phaseChanged();
  void appliedChanged();
  void isPresentedChanged();

private:
  // Every write notifies, so a repeated check redraws.
  void setPhase(Phase phase);
  void setApplied(std::set<std::string> ids);

  Flow check(AppModel& model, IdleTimes idleTimes);
  Flow checkDemo(AppModel& model);
  // False when the fix could not be carried out.
  bool applyFix(const SlownessFinding::Fix& fix, AppModel& model);
  // The findings with the settings button taken off where this desktop has no such panel.
  std::vector<SlownessFinding> withPanelsOfThisDesktop(std::vector<SlownessFinding> findings) const;

  const PerformanceServices services_;
  Scheduler& scheduler_;
  Phase phase_;
  std::set<std::string> applied_;
  bool isPresented_ = false;
  StartTimes sampled_;
};

}  // namespace tidra
