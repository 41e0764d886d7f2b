#include "support/Gate.h"

namespace tidra::test {

void Gate::open() {
  std::lock_guard lock(mutex);
  isOpen = true;
  changed.notify_all();
}

void Gate::wait() {
  std::unique_lock lock(mutex);
  changed.wait(lock, [&] { return isOpen; });
}

}  // namespace tidra::test
