#pragma once

#include "runtime/Scheduler.h"

#include <QPointer>

#include <cstdint>
#include <vector>

namespace tidra {

// Virtual time for tests. Nothing fires until `advance` moves the clock; then every callback
// that falls due fires in time order (ties in the order they were scheduled), including the
// ones that earlier callbacks schedule within the same advance.
class TestScheduler final : public Scheduler {
public:
  explicit TestScheduler(Clock::time_point start = Clock::time_point{std::chrono::seconds{1'800'000'000}});

  Clock::time_point now() const override { return current; }
  void after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) override;

  void advance(std::chrono::milliseconds by);
  // Callbacks still waiting whose context is alive.
  int pending() const;

private:
  struct Entry {
    Clock::time_point due;
    std::uint64_t order;
    QPointer<QObject> context;
    std::function<void()> fn;
  };
  Clock::time_point current;
  std::uint64_t nextOrder = 0;
  std::vector<Entry> entries;
};

}  // namespace tidra
