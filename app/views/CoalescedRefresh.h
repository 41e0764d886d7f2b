#pragma once

#include <QObject>

#include <functional>

namespace tidra {

// Runs a screen's refresh once per event-loop turn however many model changes asked for it,
// so a burst of assignments redraws the screen once, after the last. Dies with its owner.
class CoalescedRefresh {
public:
  CoalescedRefresh(QObject* owner, std::function<void()> refresh) : owner(owner), refresh(std::move(refresh)) {}

  void schedule();

private:
  QObject* owner;
  std::function<void()> refresh;
  bool queued = false;
};

}  // namespace tidra
