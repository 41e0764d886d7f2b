#pragma once

#include <chrono>
#include <functional>

class QObject;

namespace tidra {

// The application's one source of time. Every sleep, tick and "now" goes through it, so tests
// drive minutes of flows in virtual time and demo timings cost nothing there.
class Scheduler {
public:
  using Clock = std::chrono::system_clock;

  virtual ~Scheduler() = default;

  virtual Clock::time_point now() const = 0;

  // Calls `fn` on the GUI thread once `delay` has passed. Nothing happens if `context` is
  // destroyed first, so an owner never has to cancel what it scheduled.
  virtual void after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) = 0;
};

}  // namespace tidra
