#include "support/TestScheduler.h"

#include <algorithm>

namespace tidra {

TestScheduler::TestScheduler(Clock::time_point start) : current(start) {}

void TestScheduler::after(std::chrono::milliseconds delay, QObject* context, std::function<void()> fn) {
  entries.push_back({current + std::max(delay, std::chrono::milliseconds{0}), nextOrder++, context, std::move(fn)});
}

void TestScheduler::advance(std::chrono::milliseconds by) {
  const auto target = current + by;
  for (;;) {
    auto next = std::min_element(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return a.due != b.due ? a.due < b.due : a.order < b.order;
    });
    if (next == entries.end() || next->due > target) break;
    Entry entry = std::move(*next);
    entries.erase(next);
    current = std::max(current, entry.due);
    if (entry.context) entry.fn();
  }
  current = target;
}

int TestScheduler::pending() const {
  return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return !e.context.isNull(); }));
}

}  // namespace tidra
