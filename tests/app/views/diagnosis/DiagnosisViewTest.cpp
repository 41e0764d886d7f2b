#include "support/TestMain.h"
#include "monitor/MonitorFakes.h"

#include "Demo.h"
#include "models/Diagnosis.h"
#include "views/design/Appearance.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/diagnosis/DiagnosisSheet.h"
#include "views/diagnosis/DiagnosisTexts.h"
#include "views/diagnosis/DiagnosisView.h"
#include "views/diagnosis/FindingRow.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;
using PhaseKind = Diagnosis::Phase::Kind;

namespace {

bool shownIn(const QWidget& parent, const QString& name) {
  auto* widget = parent.findChild<QWidget*>(name);
  return widget && widget->isVisibleTo(&parent);
}

// The demo machine's check, run to its end on virtual time.
void finishCheck(MonitorRig& rig) {
  rig.scheduler.advance(2s);
  QTRY_COMPARE(rig.model->diagnosis().phase().kind, PhaseKind::done);
}

const SlownessFinding* findingWithStop(const Diagnosis& diagnosis) {
  for (const auto& finding : diagnosis.phase().findings)
    if (finding.fix && std::holds_alternative<SlownessFinding::Fix::Stop>(finding.fix->value)) return &finding;
  return nullptr;
}

}  // namespace

class DiagnosisViewTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(true); }

  void showsProgressThenTheVerdictAndOneRowPerFinding() {
    MonitorRig rig;
    DiagnosisView view(*rig.model, false);
    QVERIFY(!shownIn(view, "checking"));
    QVERIFY(!shownIn(view, "verdict"));

    rig.model->diagnosis().run(*rig.model, {});
    QTRY_VERIFY(shownIn(view, "checking"));
    finishCheck(rig);
    const auto& findings = rig.model->diagnosis().phase().findings;
    QTRY_VERIFY(shownIn(view, "verdict"));
    QVERIFY(!shownIn(view, "checking"));
    QCOMPARE(view.findChild<QLabel*>("verdictTitle")->text(), DiagnosisTexts::verdict(findings).title);
    QCOMPARE(view.findChild<KeyedRowList*>("findings")->keys().size(), qsizetype(findings.size()));
  }

  // Starting and finishing a check fade the new content in when motion is on; nothing else does.
  void startingAndFinishingACheckAnimate() {
    const QByteArray saved = qgetenv("TIDRA_REDUCE_MOTION");
    qputenv("TIDRA_REDUCE_MOTION", "0");
    Appearance::setScreenshotMode(false);
    MonitorRig rig;
    DiagnosisView view(*rig.model, false);
    view.show();
    auto* progress = view.findChild<QWidget*>("checking");
    auto* verdict = view.findChild<QWidget*>("verdict");
    rig.model->diagnosis().run(*rig.model, {});
    QTRY_VERIFY(progress->isVisible());
    QVERIFY(progress->graphicsEffect());
    finishCheck(rig);
    QTRY_VERIFY(verdict->isVisible());
    QVERIFY(verdict->graphicsEffect());
    verdict->setGraphicsEffect(nullptr);
    view.refresh();
    QCOMPARE(verdict->graphicsEffect(), nullptr);
    qputenv("TIDRA_REDUCE_MOTION", saved);
  }

  void aConfirmedFixIsAppliedAndTheRowSaysDone() {
    MonitorRig rig;
    DiagnosisView view(*rig.model, true);
    rig.model->diagnosis().run(*rig.model, {});
    finishCheck(rig);
    const SlownessFinding* finding = findingWithStop(rig.model->diagnosis());
    QVERIFY(finding);  // the demo machine has tools worth stopping
    const QString id = QString::fromStdString(finding->id);
    const auto pids = finding->fix->stoppedTools().front().pids;
    QTRY_VERIFY(view.findChild<FindingRow*>("finding." + id));
    auto* row = view.findChild<FindingRow*>("finding." + id);

    row->findChild<Button*>("fix")->click();
    QVERIFY(row->isConfirming());
    row->findChild<Button*>("confirm")->click();
    QVERIFY(rig.model->diagnosis().applied().contains(id.toStdString()));
    QVERIFY(rig.model->demoGone().contains(pids.front()));
    QTRY_VERIFY(shownIn(*row, "done"));
    QVERIFY(!shownIn(*row, "fix"));
  }

  void theSheetRunsTheCheckWhenShownAndClosesOnDone() {
    MonitorRig rig;
    QWidget window;
    DiagnosisSheet sheet(*rig.model, *rig.monitor, &window);
    QCOMPARE(sheet.size(), QSize(580, 560));
    rig.model->diagnosis().setPresented(true);
    sheet.open();
    QCOMPARE(rig.model->diagnosis().phase().kind, PhaseKind::checking);
    auto* again = sheet.findChild<Button*>("checkAgain");
    QVERIFY(!again->isEnabled());
    finishCheck(rig);
    QTRY_VERIFY(again->isEnabled());

    QSignalSpy phases(&rig.model->diagnosis(), &Diagnosis::phaseChanged);
    again->click();
    QCOMPARE(rig.model->diagnosis().phase().kind, PhaseKind::checking);
    QCOMPARE(phases.count(), 1);

    QTest::keyClick(&sheet, Qt::Key_Return);
    QVERIFY(!sheet.isVisible());
    QVERIFY(!rig.model->diagnosis().isPresented());
    finishCheck(rig);  // closing does not stop the check
  }

  // Return, Tab, Return once pressed the focused finding's fix and quit a tool.
  void returnMeansDoneEvenWithAFixFocused() {
    MonitorRig rig;
    QWidget window;
    DiagnosisSheet sheet(*rig.model, *rig.monitor, &window);
    rig.model->diagnosis().setPresented(true);
    sheet.open();
    finishCheck(rig);
    const SlownessFinding* finding = findingWithStop(rig.model->diagnosis());
    QVERIFY(finding);
    const QString name = "finding." + QString::fromStdString(finding->id);
    QTRY_VERIFY(sheet.findChild<FindingRow*>(name));
    auto* row = sheet.findChild<FindingRow*>(name);
    auto* fix = row->findChild<Button*>("fix");
    fix->setFocus(Qt::TabFocusReason);
    QTest::keyClick(fix, Qt::Key_Return);
    QVERIFY(!sheet.isVisible());
    QVERIFY(!row->isConfirming());
    QVERIFY(rig.model->diagnosis().applied().empty());
    QVERIFY(rig.model->demoGone().empty());
  }

  // The findings arrive after the footer was built; Tab still reaches them before the footer.
  void tabFollowsReadingOrderThroughFindingsAddedLater() {
    MonitorRig rig;
    QWidget window;
    window.show();
    DiagnosisSheet sheet(*rig.model, *rig.monitor, &window);
    rig.model->diagnosis().setPresented(true);
    sheet.open();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    finishCheck(rig);
    QTRY_VERIFY(sheet.findChild<Button*>("fix"));
    auto* again = sheet.findChild<Button*>("checkAgain");
    again->setFocus();
    QList<QWidget*> visited;
    for (int press = 0; press < 12 && visited.count(again) < 1; ++press) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited << QApplication::focusWidget();
    }
    QCOMPARE(visited.first()->objectName(), QStringLiteral("done"));
    QCOMPARE(visited.last(), again);
    QStringList names;
    for (const QWidget* widget : visited) names << widget->objectName();
    QVERIFY2(names.count(QStringLiteral("fix")) >= 2, qPrintable(names.join(' ')));
    // After the wrap, top to bottom.
    for (qsizetype i = 2; i < visited.size(); ++i)
      QVERIFY2(visited[i - 1]->mapTo(&sheet, QPoint()).y() <= visited[i]->mapTo(&sheet, QPoint()).y(),
               qPrintable(names.join(' ')));
  }

  void showingTheSheetDuringACheckJoinsIt() {
    MonitorRig rig;
    rig.model->diagnosis().run(*rig.model, {});
    QSignalSpy phases(&rig.model->diagnosis(), &Diagnosis::phaseChanged);
    QWidget window;
    DiagnosisSheet sheet(*rig.model, *rig.monitor, &window);
    sheet.open();
    QCOMPARE(phases.count(), 0);
    QVERIFY(!sheet.findChild<Button*>("checkAgain")->isEnabled());
  }
};

TIDRA_TEST_MAIN(DiagnosisViewTest)
#include "DiagnosisViewTest.moc"
