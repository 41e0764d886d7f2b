#include "support/TestMain.h"
#include "runtime/Flow.h"
#include "support/TestScheduler.h"
#include "support/Latch.h"
#include "runtime/WorkPools.h"

#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

using namespace tidra;
using tidra::test::Latch;
using namespace std::chrono_literals;

namespace {

struct Trace {
  std::vector<std::string> steps;
  bool finished = false;
};

// Destroyed with its frame: shows a flow's locals die with its context.
struct LocalWitness {
  bool* destroyed;
  ~LocalWitness() { *destroyed = true; }
};

Flow smallFlow(Scheduler& scheduler, Trace& trace) {
  trace.steps.push_back("start");
  auto twenty = [] { return 20; };
  auto twentyTwo = [] { return 22; };
  auto first = runOn(Pool::user, twenty);
  auto second = runOn(Pool::user, twentyTwo);
  const int sum = co_await first + co_await second;
  trace.steps.push_back("sum " + std::to_string(sum));
  co_await sleepFor(scheduler, 3s);
  trace.steps.push_back("slept");
  auto nothing = [text = std::string(100, 'x')] { (void)text; };
  co_await runOn(Pool::utility, nothing);
  trace.steps.push_back("void work");
  trace.finished = true;
}

Flow step(Scheduler& scheduler, std::vector<std::string>& steps, std::string name) {
  steps.push_back(name + " begins");
  co_await sleepFor(scheduler, 1s);
  steps.push_back(name + " ends");
}

Flow twoSteps(Scheduler& scheduler, std::vector<std::string>& steps, bool* localDestroyed) {
  LocalWitness witness{localDestroyed};
  auto first = step(scheduler, steps, "first");
  co_await std::move(first);
  auto second = step(scheduler, steps, "second");
  co_await std::move(second);
  const bool held = co_await waitUntil(scheduler, 2s, 250ms, [&steps] { return steps.size() > 10; });
  steps.push_back(held ? "held" : "gave up");
}

Flow sleepingFlow(Scheduler& scheduler, bool* resumed, bool* localDestroyed) {
  LocalWitness witness{localDestroyed};
  co_await sleepFor(scheduler, 10s);
  *resumed = true;
}

}  // namespace

class RuntimeTest : public QObject {
  Q_OBJECT

private slots:
  void resultsComeBackInCompletionOrder() {
    QObject context;
    std::vector<int> arrived;
    Latch first, second;
    runThen(Pool::user, &context, [&] { first.wait(); return 1; }, [&](int v) { arrived.push_back(v); });
    runThen(Pool::user, &context, [&] { second.wait(); return 2; }, [&](int v) { arrived.push_back(v); });
    second.open();
    QTRY_COMPARE(arrived.size(), size_t{1});
    first.open();
    QTRY_COMPARE(arrived.size(), size_t{2});
    QCOMPARE(arrived, (std::vector<int>{2, 1}));
  }

  void aDestroyedContextNeverHearsItsResult() {
    auto* context = new QObject;
    auto heard = std::make_shared<bool>(false);
    auto latch = std::make_shared<Latch>();
    std::atomic<bool> ran{false};
    runThen(Pool::user, context, [latch, &ran] { latch->wait(); ran = true; return std::string(1000, 'x'); },
            [heard, context](std::string) { *heard = context->objectName().isEmpty(); });
    delete context;
    latch->open();
    QTRY_VERIFY(ran.load());
    // Once the worker is done its result is posted: deliver (and drop) it now, not after a guess.
    threadPool(Pool::user).waitForDone();
    QCoreApplication::sendPostedEvents();
    QVERIFY(!*heard);
  }

  void testSchedulerFiresInTimeOrder() {
    TestScheduler scheduler;
    QObject context;
    std::vector<std::string> fired;
    const auto start = scheduler.now();
    scheduler.after(3s, &context, [&] { fired.push_back("3s"); });
    scheduler.after(1s, &context, [&] {
      fired.push_back("1s");
      scheduler.after(1s, &context, [&] { fired.push_back("1s+1s"); });
    });
    scheduler.after(1s, &context, [&] { fired.push_back("1s second"); });
    scheduler.after(5s, &context, [&] { fired.push_back("5s"); });
    scheduler.advance(4s);
    QCOMPARE(fired, (std::vector<std::string>{"1s", "1s second", "1s+1s", "3s"}));
    QCOMPARE(scheduler.now(), start + 4s);
    QCOMPARE(scheduler.pending(), 1);
  }

  void testSchedulerSkipsDestroyedContexts() {
    TestScheduler scheduler;
    bool fired = false;
    {
      QObject context;
      scheduler.after(1s, &context, [&] { fired = true; });
    }
    scheduler.advance(2s);
    QVERIFY(!fired);
  }

  void boundedGroupKeepsItsLimitAndDeliversInCompletionOrder() {
    QObject context;
    constexpr int jobs = 10;
    std::vector<std::shared_ptr<Latch>> latches;
    for (int i = 0; i < jobs; ++i) latches.push_back(std::make_shared<Latch>());
    auto running = std::make_shared<std::atomic<int>>(0);
    auto most = std::make_shared<std::atomic<int>>(0);
    auto started = std::make_shared<std::atomic<int>>(0);
    std::vector<int> delivered;
    bool done = false;

    auto flow = [&]() -> Flow {
      BoundedGroup<int> group(Pool::user, 4, &context, [&](int v) { delivered.push_back(v); });
      for (int i = 0; i < jobs; ++i) {
        group.add([=, latch = latches[i]] {
          const int now = ++*running;
          int seen = most->load();
          while (now > seen && !most->compare_exchange_weak(seen, now)) {}
          ++*started;
          latch->wait();
          --*running;
          return i;
        });
      }
      co_await group.finished();
      done = true;
    };
    flow().start(&context);

    QTRY_COMPARE(started->load(), 4);
    // Release in a scrambled order; each release lets one more job start.
    const std::vector<int> order{3, 0, 2, 1, 7, 4, 5, 6, 9, 8};
    for (int i : order) {
      QTRY_VERIFY(started->load() > i || i >= jobs);
      latches[i]->open();
      QTRY_VERIFY(std::find(delivered.begin(), delivered.end(), i) != delivered.end());
    }
    QTRY_VERIFY(done);
    QCOMPARE(delivered, order);
    QCOMPARE(most->load(), 4);
  }

  void aFlowReadsInTheOrderOfItsSteps() {
    TestScheduler scheduler;
    QObject context;
    Trace trace;
    smallFlow(scheduler, trace).start(&context);
    QCOMPARE(trace.steps, (std::vector<std::string>{"start"}));
    QTRY_COMPARE(scheduler.pending(), 1);
    QCOMPARE(trace.steps.back(), std::string("sum 42"));
    scheduler.advance(2999ms);
    QCOMPARE(trace.steps.back(), std::string("sum 42"));
    scheduler.advance(1ms);
    QCOMPARE(trace.steps.back(), std::string("slept"));
    QTRY_VERIFY(trace.finished);
    QCOMPARE(trace.steps.back(), std::string("void work"));
  }

  void flowsRunStepsInOrderAndWaitWithADeadline() {
    TestScheduler scheduler;
    QObject context;
    std::vector<std::string> steps;
    bool destroyed = false;
    twoSteps(scheduler, steps, &destroyed).start(&context);
    QCOMPARE(steps, (std::vector<std::string>{"first begins"}));
    scheduler.advance(1s);
    QCOMPARE(steps, (std::vector<std::string>{"first begins", "first ends", "second begins"}));
    scheduler.advance(1s);
    QCOMPARE(steps.back(), std::string("second ends"));
    scheduler.advance(1750ms);
    QCOMPARE(steps.back(), std::string("second ends"));
    scheduler.advance(250ms);
    QCOMPARE(steps.back(), std::string("gave up"));
    QVERIFY(destroyed);
  }

  void aContextDestroyedDuringAStepEndsBoth() {
    TestScheduler scheduler;
    std::vector<std::string> steps;
    bool destroyed = false;
    {
      QObject context;
      twoSteps(scheduler, steps, &destroyed).start(&context);
    }
    QVERIFY(destroyed);
    scheduler.advance(10s);
    QCOMPARE(steps, (std::vector<std::string>{"first begins"}));
  }

  void aFlowDiesWithItsContext() {
    TestScheduler scheduler;
    bool resumed = false, localDestroyed = false;
    {
      QObject context;
      sleepingFlow(scheduler, &resumed, &localDestroyed).start(&context);
      QVERIFY(!localDestroyed);
    }
    QVERIFY(localDestroyed);
    scheduler.advance(20s);
    QVERIFY(!resumed);
  }
};

TIDRA_TEST_MAIN(RuntimeTest)
#include "RuntimeTest.moc"
