#include "views/design/Appearance.h"

#include <atomic>

namespace tidra::Appearance {

namespace {
std::atomic<bool> screenshotOn{false};
}

bool screenshotMode() { return screenshotOn.load(std::memory_order_relaxed); }

void setScreenshotMode(bool on) { screenshotOn.store(on, std::memory_order_relaxed); }

bool screenshotRequested(const QStringList& arguments) {
  const auto at = arguments.indexOf(QStringLiteral("--snapshot"));
  return at >= 0 && at + 1 < arguments.size();
}

}  // namespace tidra::Appearance
