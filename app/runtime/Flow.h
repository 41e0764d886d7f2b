#pragma once

// Step-ordered flows. A flow is a C++20 coroutine returning `Flow`, started on the GUI thread
// and bound to a context object:
//
//   Flow AppModel::scanFlow() {
//     auto catalog = [env = environment] { return CleanupCatalog::items(env); };
//     auto items = co_await runOn(Pool::user, catalog);
//     publish(items);
//     co_await sleepFor(scheduler, 500ms);
//     ...
//   }
//   scanFlow().start(this);
//
// Between awaits the flow runs on the GUI thread, so it may touch its model freely. Work handed
// to a pool must capture copies, never `this`. Inside a co_await expression pass only named
// objects (g++ 12 destroys owning temporaries there twice): name the lambda, then await. When the context is destroyed the flow is
// destroyed at its current await: it never resumes, its locals are destroyed, and results that
// arrive later are dropped.

#include "runtime/WorkPools.h"
#include "runtime/Scheduler.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QRunnable>

#include <chrono>
#include <coroutine>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace tidra {

class Flow {
public:
  struct promise_type;
  using Handle = std::coroutine_handle<promise_type>;

  struct FinalAwaiter {
    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(Handle handle) noexcept;
    void await_resume() const noexcept {}
  };

  // Awaiting a flow from another runs it as a step of that one: it starts at once, shares its
  // context, and the awaiting flow goes on when it ends. Owns the step until it has finished,
  // so a context destroyed meanwhile destroys both.
  struct StepAwaiter {
    Handle step;
    bool finished = false;
    StepAwaiter(Handle step) : step(step) {}
    StepAwaiter(const StepAwaiter&) = delete;
    StepAwaiter& operator=(const StepAwaiter&) = delete;
    ~StepAwaiter() {
      if (step && !finished) step.destroy();
    }
    bool await_ready() const noexcept { return !step; }
    std::coroutine_handle<> await_suspend(Handle awaiting) noexcept;
    void await_resume() const noexcept {}
  };

  struct promise_type {
    QPointer<QObject> anchor;  // the FlowAnchor that owns the outermost flow's frame
    std::coroutine_handle<> continuation;  // for a step: the flow awaiting it
    bool* finished = nullptr;              // for a step: its awaiter's flag
    Flow get_return_object() { return Flow{Handle::from_promise(*this)}; }
    std::suspend_always initial_suspend() const noexcept { return {}; }
    FinalAwaiter final_suspend() const noexcept { return {}; }
    void return_void() const noexcept {}
    void unhandled_exception() const noexcept { std::terminate(); }
  };

  Flow(Flow&& other) noexcept : handle(std::exchange(other.handle, {})) {}
  Flow(const Flow&) = delete;
  Flow& operator=(const Flow&) = delete;
  Flow& operator=(Flow&&) = delete;
  ~Flow();

  // Runs the flow up to its first await; from then on it lives as long as `context`.
  void start(QObject* context) &&;
  // Name the step first (`auto step = part(); co_await std::move(step);`): g++ 12 destroys
  // owning temporaries inside co_await twice.
  StepAwaiter operator co_await() && { return StepAwaiter{std::exchange(handle, {})}; }

private:
  explicit Flow(Handle handle) : handle(handle) {}
  Handle handle;
};

// Queues `fn` to the GUI thread; callable from any thread. Check your context inside `fn`
// (a QPointer made on the GUI thread before the work started): its lifetime is decided there.
void postToGui(std::function<void()> fn);

namespace detail {

template <class T>
using Result = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

template <class F>
auto invokeForResult(F& work) {
  if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
    work();
    return std::monostate{};
  } else {
    return work();
  }
}

}  // namespace detail

// Work started on a pool; `co_await` it from a flow for its result (nothing for void work).
// Starting several jobs before awaiting the first runs them side by side.
template <class T>
class Job {
public:
  struct State {
    std::optional<detail::Result<T>> result;
    Flow::Handle waiter;
    QPointer<QObject> waiterAnchor;
  };

  explicit Job(std::shared_ptr<State> state) : state(std::move(state)) {}

  bool await_ready() const noexcept { return state->result.has_value(); }
  void await_suspend(Flow::Handle handle) {
    state->waiter = handle;
    state->waiterAnchor = handle.promise().anchor;
  }
  T await_resume() {
    if constexpr (!std::is_void_v<T>) return std::move(*state->result);
  }

private:
  std::shared_ptr<State> state;
};

// Takes the work as a named object only. g++ 12 destroys a temporary that stands inside a
// co_await expression twice when it owns anything (a lambda capturing a string, say), so
// `co_await runOn(pool, [copies] {...})` would corrupt memory: name the lambda first.
template <class F>
  requires std::is_lvalue_reference_v<F>
auto runOn(Pool pool, F&& work) -> Job<std::invoke_result_t<std::decay_t<F>&>> {
  using Work = std::decay_t<F>;
  using T = std::invoke_result_t<Work&>;
  auto state = std::make_shared<typename Job<T>::State>();
  auto task = std::make_shared<Work>(work);  // pools take copyable callables
  threadPool(pool).start([state, task] {
    auto result = std::make_shared<detail::Result<T>>(detail::invokeForResult(*task));
    postToGui([state, result] {
      state->result = std::move(*result);
      if (state->waiter && state->waiterAnchor) std::exchange(state->waiter, {}).resume();
    });
  });
  return Job<T>{state};
}

template <class F>
  requires(!std::is_lvalue_reference_v<F>)
void runOn(Pool, F&&) {
  static_assert(std::is_lvalue_reference_v<F>,
                "name the work before handing it to runOn: g++ 12 destroys temporaries inside co_await twice");
}

// One-shot work without a flow: `done(result)` runs on the GUI thread, once, unless `context`
// was destroyed meanwhile.
template <class F, class Done>
void runThen(Pool pool, QObject* context, F work, Done done) {
  QPointer<QObject> guard{context};
  auto task = std::make_shared<F>(std::move(work));
  auto finish = std::make_shared<Done>(std::move(done));
  threadPool(pool).start([guard, task, finish] {
    auto result = std::make_shared<detail::Result<std::invoke_result_t<F&>>>(detail::invokeForResult(*task));
    postToGui([guard, result, finish] {
      if (!guard) return;
      if constexpr (std::is_void_v<std::invoke_result_t<F&>>) (*finish)();
      else (*finish)(std::move(*result));
    });
  });
}

// `co_await sleepFor(scheduler, 3s)`: resumes through the scheduler, so tests pass time virtually.
struct SleepFor {
  Scheduler& scheduler;
  std::chrono::milliseconds delay;
  bool await_ready() const noexcept { return false; }
  void await_suspend(Flow::Handle handle) {
    scheduler.after(delay, handle.promise().anchor, [handle] { handle.resume(); });
  }
  void await_resume() const noexcept {}
};
inline SleepFor sleepFor(Scheduler& scheduler, std::chrono::milliseconds delay) { return {scheduler, delay}; }

// `co_await waitUntil(scheduler, 180s, 250ms, [&] { return done; })`: tests the condition at
// once, then after every `poll` until it holds or `deadline` has passed on the scheduler's
// clock; gives whether it held.
struct WaitUntil {
  Scheduler& scheduler;
  std::chrono::milliseconds deadline;
  std::chrono::milliseconds poll;
  std::function<bool()> condition;
  bool held = false;

  bool await_ready() { return held = condition(); }
  void await_suspend(Flow::Handle handle);
  bool await_resume() const noexcept { return held; }
};
inline WaitUntil waitUntil(Scheduler& scheduler, std::chrono::milliseconds deadline, std::chrono::milliseconds poll,
                           std::function<bool()> condition) {
  return {scheduler, deadline, poll, std::move(condition)};
}

// "At most N at once": jobs added to the group run on a pool with at most `limit` in flight;
// the next starts as each result arrives, and results reach `onResult` on the GUI thread in
// completion order. `co_await group.finished()` resumes once every job added so far delivered.
// Results arriving after `context` is destroyed are dropped.
template <class T>
class BoundedGroup {
public:
  BoundedGroup(Pool pool, int limit, QObject* context, std::function<void(T)> onResult)
      : state(std::make_shared<State>()) {
    state->pool = pool;
    state->limit = limit < 1 ? 1 : limit;
    state->context = context;
    state->onResult = std::move(onResult);
  }

  void add(std::function<T()> job) {
    state->queued.push_back(std::move(job));
    startMore(state);
  }

  struct Finished {
    std::shared_ptr<typename BoundedGroup::State> state;
    bool await_ready() const noexcept { return state->idle(); }
    void await_suspend(Flow::Handle handle) {
      state->waiter = handle;
      state->waiterAnchor = handle.promise().anchor;
    }
    void await_resume() const noexcept {}
  };
  Finished finished() const { return {state}; }

private:
  struct State {
    Pool pool = Pool::user;
    int limit = 1;
    int inFlight = 0;
    QPointer<QObject> context;
    std::function<void(T)> onResult;
    std::deque<std::function<T()>> queued;
    Flow::Handle waiter;
    QPointer<QObject> waiterAnchor;
    bool idle() const { return inFlight == 0 && queued.empty(); }
  };

  static void startMore(const std::shared_ptr<State>& state) {
    while (state->inFlight < state->limit && !state->queued.empty()) {
      auto job = std::move(state->queued.front());
      state->queued.pop_front();
      ++state->inFlight;
      threadPool(state->pool).start([state, job = std::move(job)] {
        auto result = std::make_shared<T>(job());
        postToGui([state, result] { deliver(state, std::move(*result)); });
      });
    }
  }

  static void deliver(const std::shared_ptr<State>& state, T result) {
    --state->inFlight;
    if (!state->context) return;
    if (state->onResult) state->onResult(std::move(result));
    startMore(state);
    if (state->idle() && state->waiter && state->waiterAnchor) std::exchange(state->waiter, {}).resume();
  }

  std::shared_ptr<State> state;
};

}  // namespace tidra
