#include "runtime/LiveScheduler.h"

#include <QTimer>

namespace tidra {

LiveScheduler::LiveScheduler(std::optional<Clock::time_point> pinnedNow) : pinnedNow(pinnedNow) {}

Scheduler::Clock::time_point LiveScheduler::now() const {
  return pinnedNow ? *pinnedNow : Clock::now();
}

void LiveScheduler::after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) {
  QTimer::singleShot(delay, context, std::move(fn));
}

}  // namespace tidra
