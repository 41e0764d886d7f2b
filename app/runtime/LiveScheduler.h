#pragma once

#include "runtime/Scheduler.h"

#include <QString>

#include <chrono>
#include <optional>

namespace tidra {

// Wall-clock time and QTimer. A pinned start (TIDRA_FIXED_NOW in demo mode) makes `now` begin
// at that moment and run on from there: dates in screenshots stay put, and a wait with a
// deadline still reaches it.
class LiveScheduler final : public Scheduler {
public:
  explicit LiveScheduler(std::optional<Clock::time_point> pinnedStart = std::nullopt);

  // The moment an ISO-8601 text names ("2025-03-14T09:30:00Z"; local time when it names no
  // zone); nothing for an empty text or one that names no moment.
  static std::optional<Clock::time_point> moment(const QString& text);

  Clock::time_point now() const override;
  void after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) override;

private:
  std::optional<Clock::time_point> pinnedStart;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

}  // namespace tidra
