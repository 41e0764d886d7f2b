#pragma once

#include <condition_variable>
#include <mutex>

namespace tidra::test {

// A gate worker threads wait at until the test opens it; opening is for good.
class Gate {
public:
  void open();
  void wait();

private:
  std::mutex mutex;
  std::condition_variable changed;
  bool isOpen = false;
};

}  // namespace tidra::test
