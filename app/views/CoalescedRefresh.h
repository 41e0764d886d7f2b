#pragma once

#include <QObject>

#include <functional>

namespace tidra {

// Runs `refresh` once on the next event-loop turn however often it is asked before then, so a
// burst of model changes redraws a screen once. Nothing runs after `owner` is gone.
class CoalescedRefresh {
public:
  CoalescedRefresh(QObject* owner, std::function<void()> refresh) : owner(owner), refresh(std::move(refresh)) {}

  void request() {
    if (queued) return;
    queued = true;
    QMetaObject::invokeMethod(
        owner,
        [this] {
          queued = false;
          refresh();
        },
        Qt::QueuedConnection);
  }

private:
  QObject* owner;
  std::function<void()> refresh;
  bool queued = false;
};

}  // namespace tidra
