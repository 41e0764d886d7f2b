#include "support/TestMain.h"
#include "models/AlertRules.h"

#include <QTest>

using namespace tidra;
using namespace std::chrono_literals;
using Pressure = MemorySnapshot::Pressure;

namespace {

const AlertRules::TimePoint t0{1'800'000'000s};

std::optional<MemorySnapshot> at(Pressure pressure) {
  MemorySnapshot snapshot;
  snapshot.pressure = pressure;
  return snapshot;
}

}  // namespace

class AlertRulesTest : public QObject {
  Q_OBJECT

private slots:
  void memoryAlertWaitsForAHeldSpellAndSpacesAlerts() {
    // Each case replays readings (seconds after t0, pressure, setting) and says which alerted.
    struct Reading {
      int second;
      std::optional<Pressure> pressure;  // none: no reading
      bool enabled;
      bool alerts;
    };
    struct Case {
      const char* name;
      std::vector<Reading> readings;
    };
    const auto w = Pressure::warning;
    const auto c = Pressure::critical;
    const auto n = Pressure::normal;
    const std::vector<Case> cases = {
        {"59 s of pressure is not enough, 60 s is", {{0, w, true, false}, {59, w, true, false}, {60, w, true, true}}},
        {"ticks 0 and 30 stay quiet, tick 60 alerts", {{0, w, true, false}, {30, c, true, false}, {60, c, true, true}}},
        {"alerts are 7,200 s apart",
         {{0, w, true, false}, {60, w, true, true}, {7'259, w, true, false}, {7'260, w, true, true}}},
        {"a normal reading restarts the wait",
         {{0, w, true, false}, {30, n, true, false}, {60, w, true, false}, {119, w, true, false}, {120, w, true, true}}},
        {"no reading counts as normal", {{0, w, true, false}, {30, std::nullopt, true, false}, {60, w, true, false}}},
        {"the spell is timed while the alert is off",
         {{0, w, false, false}, {600, w, false, false}, {630, w, true, true}}},
        {"spacing holds across spells",
         {{0, w, true, false}, {60, w, true, true}, {90, n, true, false}, {120, w, true, false}, {180, w, true, false}}},
    };
    for (const auto& testCase : cases) {
      AlertRules::MemoryWatch watch;
      for (const auto& r : testCase.readings) {
        const auto memory = r.pressure ? at(*r.pressure) : std::nullopt;
        const bool alerted = AlertRules::memoryAlertDue(watch, memory, r.enabled, t0 + std::chrono::seconds(r.second));
        QVERIFY2(alerted == r.alerts, qPrintable(QStringLiteral("%1 at %2 s").arg(testCase.name).arg(r.second)));
      }
    }
  }

  void diskThresholdIsTheLargerOf15GBAndATenth() {
    struct Case {
      std::int64_t total;
      std::int64_t threshold;
    };
    const std::vector<Case> cases = {
        {100'000'000'000, 15'000'000'000},
        {149'999'999'999, 15'000'000'000},
        {150'000'000'000, 15'000'000'000},
        {500'000'000'000, 50'000'000'000},
        {0, 15'000'000'000},
    };
    for (const auto& c : cases) QCOMPARE(AlertRules::lowDiskThreshold(c.total), c.threshold);
  }

  void diskAlertBelowTheThresholdOncePerDay() {
    struct Case {
      const char* name;
      std::int64_t total;
      std::int64_t available;
      bool enabled;
      bool alerts;
    };
    const std::vector<Case> cases = {
        {"100 GB volume just below 15 GB", 100'000'000'000, 14'999'999'999, true, true},
        {"exactly at the threshold", 100'000'000'000, 15'000'000'000, true, false},
        {"500 GB volume below a tenth", 500'000'000'000, 49'999'999'999, true, true},
        {"500 GB volume with 20 GB free is still low", 500'000'000'000, 20'000'000'000, true, true},
        {"500 GB volume at a tenth", 500'000'000'000, 50'000'000'000, true, false},
        {"150 GB volume uses 15 GB", 150'000'000'000, 14'999'999'999, true, true},
        {"the setting off", 100'000'000'000, 1, false, false},
    };
    for (const auto& c : cases) {
      std::optional<AlertRules::TimePoint> last;
      QVERIFY2(AlertRules::diskAlertDue(last, DiskUsage{c.total, c.available}, c.enabled, t0) == c.alerts, c.name);
      QVERIFY2(last.has_value() == c.alerts, c.name);
    }

    std::optional<AlertRules::TimePoint> last;
    const DiskUsage low{100'000'000'000, 1'000'000'000};
    QVERIFY(AlertRules::diskAlertDue(last, low, true, t0));
    QVERIFY(!AlertRules::diskAlertDue(last, low, true, t0 + 86'399s));
    QVERIFY(AlertRules::diskAlertDue(last, low, true, t0 + 86'400s));
    QVERIFY(!AlertRules::diskAlertDue(last, std::nullopt, true, t0 + 900'000s));
  }

  void weeklyCheckIsDueAfterAWeekOrWhenDatedInTheFuture() {
    struct Case {
      const char* name;
      std::chrono::seconds lastBeforeNow;
      bool due;
    };
    const std::vector<Case> cases = {
        {"just now", 0s, false},
        {"a second short of a week", 604'799s, false},
        {"a week", 604'800s, true},
        {"a month", 2'600'000s, true},
        {"a second in the future", -1s, true},
        {"a year in the future", -31'536'000s, true},
    };
    for (const auto& c : cases) QVERIFY2(AlertRules::weeklyCheckDue(t0 - c.lastBeforeNow, t0) == c.due, c.name);
  }

  void idleHoursBelowOneCountAsOne() {
    const std::vector<std::pair<int, std::chrono::seconds>> cases = {
        {-5, 3'600s}, {0, 3'600s}, {1, 3'600s}, {2, 7'200s}, {24, 86'400s}};
    for (const auto& [hours, threshold] : cases) QCOMPARE(AlertRules::idleThreshold(hours), threshold);
  }
};

TIDRA_TEST_MAIN(AlertRulesTest)
#include "AlertRulesTest.moc"
