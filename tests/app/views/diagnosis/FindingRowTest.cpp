#include "support/TestMain.h"
#include "views/design/Appearance.h"
#include "views/design/Button.h"
#include "views/diagnosis/FindingRow.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

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

  // The cost must be read whole before confirming: in the sheet and in the tray's narrow panel.
  void theConfirmationIsNeverCutOff_data() {
    QTest::addColumn<bool>("compact");
    QTest::addColumn<int>("width");
    QTest::newRow("sheet") << false << 540;
    QTest::newRow("tray panel") << true << 340;
  }

  void theConfirmationIsNeverCutOff() {
    QFETCH(bool, compact);
    QFETCH(int, width);
    DeveloperTool tool = server();
    tool.consequence = "Stops all 16 processes of the language server. Start it again when you open a project; "
                       "unsaved work in its editors is kept, but the index is built again from the start.";
    QWidget host;
    auto* column = new QVBoxLayout(&host);
    auto* row = new FindingRow(withFix(Fix::Stop{{tool}}), compact, [] {});
    column->addWidget(row);
    column->addStretch(1);
    host.resize(width, 900);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    row->findChild<Button*>("fix")->click();
    QApplication::processEvents();
    auto* consequence = row->findChild<QWidget*>("consequence");
    auto* cancel = row->findChild<QWidget*>("cancel");
    const QRect text(consequence->mapTo(row, QPoint()), consequence->size());
    const QRect button(cancel->mapTo(row, QPoint()), cancel->size());
    QVERIFY2(consequence->height() >= consequence->heightForWidth(consequence->width()),
             qPrintable(QStringLiteral("%1 < %2").arg(consequence->height()).arg(consequence->heightForWidth(consequence->width()))));
    QVERIFY(text.bottom() < button.top());
    QVERIFY(button.bottom() < row->height());
    QVERIFY(text.right() < row->width());
  }

  // The confirmation fades in on its spring, and the button back on Cancel; at once without motion.
  void theConfirmationFadesInOnlyWithMotion() {
    const QByteArray saved = qgetenv("TIDRA_REDUCE_MOTION");
    for (const bool motion : {true, false}) {
      qputenv("TIDRA_REDUCE_MOTION", motion ? "0" : "1");
      Appearance::setScreenshotMode(false);
      FindingRow row(withFix(Fix::Stop{{server()}}), false, [] {});
      row.show();
      row.findChild<Button*>("fix")->click();
      QWidget* confirmation = row.findChild<QWidget*>("consequence")->parentWidget();
      QVERIFY(confirmation->isVisible());
      QCOMPARE(confirmation->graphicsEffect() != nullptr, motion);
      row.findChild<Button*>("cancel")->click();
      QCOMPARE(row.findChild<Button*>("fix")->graphicsEffect() != nullptr, motion);
    }
    qputenv("TIDRA_REDUCE_MOTION", saved);
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
