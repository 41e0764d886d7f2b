#include "support/TestMain.h"
#include "views/design/Button.h"
#include "views/diagnosis/FindingRow.h"

#include <QTest>

using namespace tidra;
using Fix = SlownessFinding::Fix;

namespace {

SlownessFinding withFix(std::optional<Fix> fix) {
  SlownessFinding finding;
  finding.id = "idle";
  finding.level = SlownessFinding::Level::notable;
  finding.symbol = "moon.zzz.fill";
  finding.title = "Idle dev servers";
  finding.detail = "Two servers have had no visitors for hours.";
  finding.fix = std::move(fix);
  if (finding.fix) finding.fixTitle = "Stop Servers";
  return finding;
}

DeveloperTool server() {
  DeveloperTool tool;
  tool.title = "vite";
  tool.consequence = "The page stops loading until you start it again.";
  return tool;
}

bool shown(const FindingRow& row, const char* name) {
  auto* widget = row.findChild<QWidget*>(name);
  return widget && widget->isVisibleTo(&row);
}

}  // namespace

class FindingRowTest : public QObject {
  Q_OBJECT

private slots:
  void aStoppingFixIsConfirmedInline() {
    int applied = 0;
    FindingRow row(withFix(Fix::Stop{{server()}}), false, [&] { ++applied; });
    auto* fix = row.findChild<Button*>("fix");
    QCOMPARE(fix->text(), QStringLiteral("Stop Servers…"));
    QVERIFY(!shown(row, "confirm"));

    fix->click();
    QVERIFY(row.isConfirming());
    QVERIFY(!shown(row, "fix"));
    QCOMPARE(row.findChild<Button*>("confirm")->text(), QStringLiteral("Stop"));
    row.findChild<Button*>("cancel")->click();
    QVERIFY(shown(row, "fix"));
    QVERIFY(!shown(row, "consequence"));
    QCOMPARE(applied, 0);

    fix->click();
    row.findChild<Button*>("confirm")->click();
    QCOMPARE(applied, 1);
    row.setApplied(true);
    QVERIFY(shown(row, "done"));
    QVERIFY(!shown(row, "fix"));
    QVERIFY(!shown(row, "consequence"));
  }

  void anOpeningFixAppliesAtOnce() {
    int applied = 0;
    FindingRow row(withFix(Fix::OpenCleanup{}), true, [&] { ++applied; });
    auto* fix = row.findChild<Button*>("fix");
    QCOMPARE(fix->text(), QStringLiteral("Stop Servers"));
    fix->click();
    QCOMPARE(applied, 1);
    QVERIFY(!row.isConfirming());
  }

  void aFindingWithoutAFixShowsNoFixArea() {
    FindingRow row(withFix(std::nullopt), false, [] {});
    QVERIFY(!row.findChild<Button*>("fix"));
    row.setApplied(true);
    QVERIFY(!row.findChild<QWidget*>("done"));
  }
};

TIDRA_TEST_MAIN(FindingRowTest)
#include "FindingRowTest.moc"
