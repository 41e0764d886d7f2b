#include "runtime/Flow.h"

namespace tidra {

namespace {

// Owns a started flow's frame as a child of the flow's context: destroying the context destroys
// the suspended frame, and everything that would resume it checks this anchor first.
class FlowAnchor final : public QObject {
public:
  FlowAnchor(QObject* context, Flow::Handle handle) : QObject(context), handle(handle) {}
  ~FlowAnchor() override {
    if (handle) handle.destroy();
  }
  void release() { handle = {}; }

private:
  Flow::Handle handle;
};

}  // namespace

std::coroutine_handle<> Flow::FinalAwaiter::await_suspend(Handle handle) noexcept {
  auto& promise = handle.promise();
  if (promise.continuation) {  // a step: hand back to the flow awaiting it
    const auto next = promise.continuation;
    *promise.finished = true;
    handle.destroy();
    return next;
  }
  auto* anchor = static_cast<FlowAnchor*>(promise.anchor.data());
  if (anchor) anchor->release();
  handle.destroy();
  if (anchor) anchor->deleteLater();
  return std::noop_coroutine();
}

std::coroutine_handle<> Flow::StepAwaiter::await_suspend(Handle awaiting) noexcept {
  auto& promise = step.promise();
  promise.anchor = awaiting.promise().anchor;
  promise.continuation = awaiting;
  promise.finished = &finished;
  return step;
}

Flow::~Flow() {
  if (handle) handle.destroy();  // never started
}

void Flow::start(QObject* context) && {
  auto handle = std::exchange(this->handle, {});
  handle.promise().anchor = new FlowAnchor(context, handle);
  handle.resume();
}

void WaitUntil::await_suspend(Flow::Handle handle) {
  const auto end = scheduler.now() + deadline;
  auto check = std::make_shared<std::function<void()>>();
  QPointer<QObject> anchor = handle.promise().anchor;
  // The poll holds itself only while it is scheduled; the last run lets go of it.
  *check = [this, handle, end, anchor, weak = std::weak_ptr<std::function<void()>>(check)] {
    held = condition();
    if (held || scheduler.now() >= end) return handle.resume();
    if (auto again = weak.lock()) scheduler.after(poll, anchor, [again] { (*again)(); });
  };
  scheduler.after(poll, anchor, [check] { (*check)(); });
}

void postToGui(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

}  // namespace tidra
