#include "views/design/Appearance.h"

#include <atomic>

namespace tidra::Appearance {

namespace {
std::atomic<bool> screenshotOn{false};
}

bool screenshotMode() { return screenshotOn.load(std::memory_order_relaxed); }

void setScreenshotMode(bool on) { screenshotOn.store(on, std::memory_order_relaxed); }

}  // namespace tidra::Appearance
