#pragma once

#include "runtime/Flow.h"

#include <QMetaObject>
#include <QPointer>

#include <functional>
#include <utility>
#include <vector>

namespace tidra {

// Flows waiting for something another flow finishes: `co_await list.wait()` suspends until
// `releaseAll()`. Each waiter resumes once, queued on the GUI thread, and only if its flow still
// lives; resuming queued keeps one flow from running inside another's step.
class WaitList {
public:
  struct Awaiter {
    WaitList& list;
    std::function<void()> then;
    bool await_ready() const noexcept { return false; }
    void await_suspend(Flow::Handle handle) {
      list.waiters.push_back({handle, handle.promise().anchor});
      if (then) then();
    }
    void await_resume() const noexcept {}
  };

  // `then` runs once the flow is on the list, so whatever it starts cannot finish unseen.
  Awaiter wait(std::function<void()> then = {}) { return {*this, std::move(then)}; }

  void releaseAll() {
    for (auto& waiter : std::exchange(waiters, {}))
      if (waiter.anchor)
        QMetaObject::invokeMethod(waiter.anchor, [handle = waiter.handle] { handle.resume(); }, Qt::QueuedConnection);
  }

private:
  struct Waiter {
    Flow::Handle handle;
    QPointer<QObject> anchor;
  };
  std::vector<Waiter> waiters;
};

}  // namespace tidra
