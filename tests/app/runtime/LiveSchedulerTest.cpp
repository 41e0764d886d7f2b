#include "support/TestMain.h"
#include "runtime/LiveScheduler.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;
using Clock = Scheduler::Clock;

Q_DECLARE_METATYPE(std::optional<Clock::time_point>)

namespace {

Clock::time_point epochPlus(std::chrono::seconds seconds) { return Clock::time_point(seconds); }

}  // namespace

// The real clock, or one pinned to start at a moment given as TIDRA_FIXED_NOW.
class LiveSchedulerTest : public QObject {
  Q_OBJECT

private slots:
  void momentsAreReadAsIso8601_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<Clock::time_point>>("moment");
    const auto march14 = epochPlus(1'741'944'600s);  // 2025-03-14T09:30:00Z
    QTest::newRow("UTC") << "2025-03-14T09:30:00Z" << std::optional(march14);
    QTest::newRow("offset") << "2025-03-14T10:30:00+01:00" << std::optional(march14);
    QTest::newRow("milliseconds") << "2025-03-14T09:30:00.250Z" << std::optional(march14 + 250ms);
    QTest::newRow("blanks around") << " 2025-03-14T09:30:00Z\n" << std::optional(march14);
    QTest::newRow("empty") << "" << std::optional<Clock::time_point>();
    QTest::newRow("seconds since 1970") << "1741944600" << std::optional<Clock::time_point>();
    QTest::newRow("words") << "yesterday" << std::optional<Clock::time_point>();
    QTest::newRow("no such day") << "2025-02-30T09:30:00Z" << std::optional<Clock::time_point>();
  }
  void momentsAreReadAsIso8601() {
    QFETCH(QString, text);
    QFETCH(std::optional<Clock::time_point>, moment);
    QCOMPARE(LiveScheduler::moment(text), moment);
  }

  // A frozen clock would hold every wait with a deadline forever; this one starts at the
  // pinned moment and runs on.
  void aPinnedClockStartsThereAndRunsOn() {
    const auto start = epochPlus(1'741'944'600s);
    const LiveScheduler scheduler(start);
    const auto first = scheduler.now();
    QVERIFY(first >= start && first < start + 1min);
    const auto giveUp = std::chrono::steady_clock::now() + 5s;
    while (scheduler.now() == first && std::chrono::steady_clock::now() < giveUp) {
    }
    QVERIFY(scheduler.now() > first);
  }

  void withoutAPinTheClockIsTheSystemOne() {
    const LiveScheduler scheduler;
    const auto before = Clock::now();
    const auto now = scheduler.now();
    QVERIFY(now >= before && now <= Clock::now());
  }
};

TIDRA_TEST_MAIN(LiveSchedulerTest)
#include "LiveSchedulerTest.moc"
