#pragma once

#include "runtime/Scheduler.h"

#include <optional>

namespace tidra {

// Wall-clock time and QTimer. A pinned `now` (TIDRA_FIXED_NOW in demo mode) keeps dates in
// screenshots stable; waits still take real time.
class LiveScheduler final : public Scheduler {
public:
  explicit LiveScheduler(std::optional<Clock::time_point> pinnedNow = std::nullopt);

  Clock::time_point now() const override;
  void after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) override;

private:
  std::optional<Clock::time_point> pinnedNow;
};

}  // namespace tidra
