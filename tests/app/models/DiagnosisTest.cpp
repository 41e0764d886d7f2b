#include "support/TestMain.h"
#include "PerformanceFakes.h"

#include "Demo.h"
#include "demo/DemoMac.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessSampler.h"
#include "performance/SlownessCheck.h"

#include <QSignalSpy>
#include <QTest>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace tidra::test {
namespace {

using Fix = SlownessFinding::Fix;
using PhaseKind = Diagnosis::Phase::Kind;

SlownessFinding findingWith(const std::string& id, std::optional<Fix> fix) {
  SlownessFinding finding;
  finding.id = id;
  finding.fix = std::move(fix);
  return finding;
}

// Runs a check to its end on the fake machine.
void check(PerformanceModel& fake, Diagnosis::IdleTimes idleTimes = {}) {
  auto& model = *fake.model;
  model.diagnosis().run(model, std::move(idleTimes));
  QTRY_COMPARE(fake.scheduler.pending(), 1);  // the pause between the samples
  fake.scheduler.advance(1500ms);
  QTRY_COMPARE(model.diagnosis().phase().kind, PhaseKind::done);
}

pid_t sleeper() {
  pid_t pid = 0;
  char* argv[] = {const_cast<char*>("/bin/sleep"), const_cast<char*>("60"), nullptr};
  return posix_spawn(&pid, "/bin/sleep", nullptr, nullptr, argv, environ) == 0 ? pid : 0;
}

// The start times of the given processes once each runs its program (exec may be under way).
std::map<pid_t, std::chrono::system_clock::time_point> startTimes(const std::set<pid_t>& pids) {
  ProcessSampler sampler;
  std::map<pid_t, std::chrono::system_clock::time_point> started;
  for (const auto& process : sampler.sample().processes)
    if (pids.contains(process.pid) && process.name == "sleep" && process.started)
      started[process.pid] = *process.started;
  return started;
}

// Reaped here, or already gone.
bool ended(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == pid || ::kill(pid, 0) != 0; }

}  // namespace

class DiagnosisTest : public QObject {
  Q_OBJECT

private slots:
  void init() { Demo::decide(false); }
  void cleanupTestCase() { Demo::decide(false); }

  void aLiveCheckReadsTheMachineTwiceThenPublishes() {
    PerformanceModel fake;
    auto server = someTool("tree-5", DeveloperTool::Kind::devServer, 0, {5});
    fake.machine->tools = {server};
    fake.machine->sample.groups = {someGroup("node", {5})};
    auto& model = fake.make("/home/elsewhere");
    QSignalSpy phases(&model.diagnosis(), &Diagnosis::phaseChanged);
    bool idleAsked = false;

    model.diagnosis().run(model, [&] {
      idleAsked = true;
      return std::map<std::string, double>{{"tree-5", 4000}};
    });
    model.diagnosis().run(model, {});  // ignored while checking
    QCOMPARE(model.diagnosis().phase().kind, PhaseKind::checking);
    QTRY_COMPARE(fake.scheduler.pending(), 1);
    fake.scheduler.advance(1499ms);
    QCoreApplication::processEvents();
    QCOMPARE(fake.machine->count("sample"), 1);
    fake.scheduler.advance(1ms);
    QTRY_COMPARE(model.diagnosis().phase().kind, PhaseKind::done);

    QCOMPARE(fake.machine->log(), (std::vector<std::string>{"sample", "sample", "tools", "cpu", "memory"}));
    QVERIFY(idleAsked);
    QCOMPARE(fake.machine->toolsHome, std::string("/home/owner"));
    SlownessInputs expected;
    expected.disk = DiskUsage{1000, 400};
    expected.groups = fake.machine->sample.groups;
    expected.developerTools = {server};
    expected.idleTimes = {{"tree-5", 4000}};
    QCOMPARE(model.diagnosis().phase().findings, SlownessCheck::findings(expected));
    QCOMPARE(phases.count(), 2);
  }

  void eachFixIsCarriedOutAndMarked() {
    PerformanceModel fake;
    const std::string spotlight(SlownessCheck::spotlight);
    fake.machine->settingsPanels = {spotlight};
    auto& model = fake.make();
    auto& diagnosis = model.diagnosis();
    check(fake);
    model.setSection(Section::performance);
    diagnosis.setPresented(true);

    diagnosis.apply(findingWith("fine", std::nullopt), model);
    QVERIFY(diagnosis.applied().empty());

    const auto tool = someTool("9", DeveloperTool::Kind::buildDaemon, 0, {9});
    diagnosis.apply(findingWith("idle", Fix::Stop{{tool}}), model);
    QTRY_COMPARE(fake.machine->stops().size(), std::size_t{1});
    QCOMPARE(fake.machine->stops().front().id, std::string("9"));

    diagnosis.apply(findingWith("spotlight", Fix::OpenSettings{spotlight}), model);
    QCOMPARE(fake.machine->count("open " + spotlight), 1);

    diagnosis.apply(findingWith("disk", Fix::OpenCleanup{}), model);
    QVERIFY(!diagnosis.isPresented());
    QCOMPARE(model.section(), std::optional(Section::cleanup));

    QCOMPARE(diagnosis.applied(), (std::set<std::string>{"idle", "spotlight", "disk"}));
    // The next check clears every mark at once, before its findings arrive.
    diagnosis.run(model, {});
    QVERIFY(diagnosis.applied().empty());
    QCOMPARE(diagnosis.phase().kind, PhaseKind::checking);
  }

  // The settings button is there only where this desktop has the panel, and a panel that did not
  // open is not a fix carried out.
  void aSettingsFixNeedsThisDesktopsPanel() {
    using Fix = SlownessFinding::Fix;
    const std::string battery(SlownessCheck::battery);
    const auto lowPowerFix = [](const Diagnosis& diagnosis) {
      for (const auto& finding : diagnosis.phase().findings)
        if (finding.id == "lowpower") return std::pair(finding.fix, finding.fixTitle);
      return std::pair(std::optional<Fix>(Fix::OpenCleanup{}), std::optional<std::string>("no finding"));
    };
    PerformanceModel fake;
    fake.machine->lowPower = true;
    auto& model = fake.make();
    auto& diagnosis = model.diagnosis();
    check(fake);
    QCOMPARE(lowPowerFix(diagnosis), std::pair(std::optional<Fix>(), std::optional<std::string>()));

    fake.machine->settingsPanels = {battery};
    check(fake);
    QCOMPARE(lowPowerFix(diagnosis),
             std::pair(std::optional<Fix>(Fix::OpenSettings{battery}), std::optional<std::string>("Open Battery Settings")));

    fake.machine->panelsOpen = false;
    diagnosis.apply(findingWith("lowpower", Fix::OpenSettings{battery}), model);
    QCOMPARE(fake.machine->count("open " + battery), 1);
    QVERIFY(diagnosis.applied().empty());
    fake.machine->panelsOpen = true;
    diagnosis.apply(findingWith("lowpower", Fix::OpenSettings{battery}), model);
    QCOMPARE(diagnosis.applied(), std::set<std::string>{"lowpower"});
  }

  // A pid whose start time changed since the sample belongs to another process now.
  void aQuitSignalsOnlyProcessesThatStillMatchTheSample() {
    const pid_t sampled = sleeper();
    const pid_t replaced = sleeper();
    std::map<pid_t, std::chrono::system_clock::time_point> started;
    QTRY_COMPARE((started = startTimes({sampled, replaced})).size(), std::size_t{2});

    PerformanceModel fake;
    fake.stopTool = [](const DeveloperTool& tool) { return DeveloperTools::stop(tool); };
    ProcessSnapshot first{sampled, 0, "/bin/sleep", "sleep", 1, 0, "", started[sampled]};
    ProcessSnapshot second{replaced, 0, "/bin/sleep", "sleep", 1, 0, "", started[replaced] - 10s};
    fake.machine->sample = ProcessSample({first, second});
    auto& model = fake.make();
    check(fake);

    model.diagnosis().apply(findingWith("cpu.sleep", Fix::Quit{someGroup("sleep", {replaced, sampled})}), model);
    QTRY_VERIFY(ended(sampled));
    QVERIFY(!ended(replaced));
    ::kill(replaced, SIGKILL);
    ::waitpid(replaced, nullptr, 0);
  }

  void aDemoCheckUsesTheDemoMachineAndTheModelsDisk() {
    Demo::decide(true);
    PerformanceModel fake;
    fake.machine->settingsPanels = {std::string(SlownessCheck::spotlight), std::string(SlownessCheck::battery)};
    auto& model = fake.make();
    model.refreshDisk();
    model.diagnosis().run(model, {});
    fake.scheduler.advance(1199ms);
    QCOMPARE(model.diagnosis().phase().kind, PhaseKind::checking);
    fake.scheduler.advance(1ms);
    QCOMPARE(model.diagnosis().phase().kind, PhaseKind::done);

    auto inputs = DemoMac::slownessInputs("/home/fake", {}, model.safeBytes(), 0, fake.scheduler.now());
    inputs.disk = model.disk();
    QCOMPARE(model.diagnosis().phase().findings, SlownessCheck::findings(inputs));
    QCOMPARE(fake.machine->count("sample"), 0);
  }

  void aDemoQuitTakesTheGroupOutOfTheProcessLists() {
    Demo::decide(true);
    PerformanceModel fake;
    auto& model = fake.make();
    model.showDemoProcesses();
    const auto group = model.processes().front();

    model.diagnosis().apply(findingWith("cpu.demo", Fix::Quit{group}), model);
    for (const pid_t pid : group.pids) QVERIFY(model.demoGone().contains(pid));
    for (const auto& listed : model.processes()) QVERIFY(listed.id != group.id);
    QVERIFY(fake.machine->stops().empty());
  }
};

}  // namespace tidra::test

TIDRA_TEST_MAIN(tidra::test::DiagnosisTest)
#include "DiagnosisTest.moc"
