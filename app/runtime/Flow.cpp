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

void Flow::FinalAwaiter::await_suspend(Handle handle) noexcept {
  auto* anchor = static_cast<FlowAnchor*>(handle.promise().anchor.data());
  if (anchor) anchor->release();
  handle.destroy();
  if (anchor) anchor->deleteLater();
}

Flow::~Flow() {
  if (handle) handle.destroy();  // never started
}

void Flow::start(QObject* context) && {
  auto handle = std::exchange(this->handle, {});
  handle.promise().anchor = new FlowAnchor(context, handle);
  handle.resume();
}

void postToGui(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

}  // namespace tidra
