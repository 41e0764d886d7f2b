#pragma once

#include <condition_variable>
#include <mutex>

namespace tidra::test {

// A gate worker threads wait at until the test opens it.
class Latch {
public:
  void open() {
    std::lock_guard lock(mutex);
    isOpen = true;
    changed.notify_all();
  }
  void wait() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return isOpen; });
  }

private:
  std::mutex mutex;
  std::condition_variable changed;
  bool isOpen = false;
};

}  // namespace tidra::test
