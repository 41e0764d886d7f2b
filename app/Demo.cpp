#include "Demo.h"

#include <atomic>

namespace tidra::Demo {

namespace {
std::atomic<bool> demoOn{false};
}

bool requested(const QStringList& arguments) {
  const auto at = arguments.indexOf(QStringLiteral("--demo"));
  if (at < 0 || at + 1 >= arguments.size()) return false;
  return arguments.at(at + 1) != QStringLiteral("no");
}

bool isOn() { return demoOn.load(std::memory_order_relaxed); }

void decide(bool on) { demoOn.store(on, std::memory_order_relaxed); }

}  // namespace tidra::Demo
