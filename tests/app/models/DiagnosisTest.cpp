#include "support/TestMain.h"
#include "PerformanceFakes.h"

#include "Demo.h"
#include "demo/DemoMac.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessSampler.h"
#include "performance/SlownessCheck.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>
#include <thread>

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

pid_t spawnIn(const std::string& folder, std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? 0 : pid;
}

// User plus system clock ticks the process has used; 0 when it cannot be read.
std::uint64_t cpuTicks(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(text.substr(close + 2));
  std::string field;
  std::uint64_t user = 0, system = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) user = std::stoull(field);
    if (i == 15) system = std::stoull(field);
  }
  return user + system;
}

// This test's own machine: the live sampler over this process and the programs it started, so
// the compilers of other work on the machine do not take the busy findings. Its clock runs with
// the busy script's processor time, so the script reads fully busy however loaded the machine
// is; from the second sample on it first waits until the script has used a third of a second.
PerformanceServices::Sample ownMachine(std::set<pid_t> started, pid_t busy) {
  const auto nanosPerTick = std::uint64_t(1'000'000'000 / ::sysconf(_SC_CLK_TCK));
  ProcessSampler::Options options;
  options.monotonicNanoseconds = [=] { return cpuTicks(busy) * nanosPerTick; };
  auto sampler = std::make_shared<ProcessSampler>(std::move(options));
  auto previous = std::make_shared<std::optional<std::uint64_t>>();
  return [=] {
    if (*previous) {
      const auto deadline = std::chrono::steady_clock::now() + 20s;
      while (cpuTicks(busy) < **previous + 33 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    }
    *previous = cpuTicks(busy);
    auto processes = sampler->sample().processes;
    std::erase_if(processes, [&](const ProcessSnapshot& p) { return p.pid != ::getpid() && !started.contains(p.pid); });
    return ProcessSample(processes, "/home/me");
  };
}

pid_t childOf(pid_t parent) {
  for (const auto& p : ProcessSampler().sample().processes)
    if (p.parentPID == parent && p.name == "node") return p.pid;
  return 0;
}

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
    ProcessSnapshot first, second;
    first.pid = sampled, second.pid = replaced;
    first.path = second.path = "/bin/sleep";
    first.name = second.name = "sleep";
    first.memoryBytes = second.memoryBytes = 1;
    first.started = started[sampled];
    second.started = started[replaced] - 10s;
    fake.machine->sample = ProcessSample({first, second});
    auto& model = fake.make();
    check(fake);

    model.diagnosis().apply(findingWith("cpu.sleep", Fix::Quit{someGroup("sleep", {replaced, sampled})}), model);
    QTRY_VERIFY(ended(sampled));
    QVERIFY(!ended(replaced));
    ::kill(replaced, SIGKILL);
    ::waitpid(replaced, nullptr, 0);
  }

  // Two programs of one runtime started here, a busy script and an idle server, and a third
  // under a shell of its own: three groups, and the busy finding's Quit ends the busy one only.
  void theBusyFindingsQuitEndsOnlyTheBusyProgram() {
    QTemporaryDir folder;
    const std::string webshop = folder.path().toStdString();
    std::ofstream(webshop + "/busy.js") << "for (;;) {}\n";
    std::ofstream(webshop + "/server.js") << "require('http').createServer(() => {}).listen(0);\n";
    const pid_t busy = spawnIn(webshop, {"node", "busy.js"});
    const pid_t server = spawnIn(webshop, {"node", "server.js"});
    const pid_t shell = spawnIn(webshop, {"sh", "-c", "node server.js; :"});
    QVERIFY(busy && server && shell);
    pid_t third = 0;
    QTRY_VERIFY((third = childOf(shell)) != 0);
    const auto cleanup = qScopeGuard([&] {
      for (const pid_t pid : {busy, server, third, shell}) ::kill(pid, SIGKILL);
      for (const pid_t pid : {busy, server, shell}) ::waitpid(pid, nullptr, 0);
    });

    const std::set<pid_t> ours = {busy, server, shell, third};
    std::vector<std::vector<pid_t>> groups;
    for (const auto& group : ProcessSampler().sample().groups) {
      std::vector<pid_t> members;
      std::copy_if(group.pids.begin(), group.pids.end(), std::back_inserter(members),
                   [&](pid_t pid) { return ours.contains(pid); });
      if (!members.empty()) groups.push_back(members);
    }
    std::sort(groups.begin(), groups.end());
    std::vector<std::vector<pid_t>> expected = {{busy}, {server}, {shell, third}};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(groups, expected);

    PerformanceModel fake;
    fake.stopTool = [](const DeveloperTool& tool) { return DeveloperTools::stop(tool); };
    fake.newSampler = [=] { return ownMachine(ours, busy); };
    auto& model = fake.make();
    check(fake);

    const auto findings = model.diagnosis().phase().findings;
    // This process spins while it waits for the script, so on a loaded machine it can read as
    // busy too; it is never offered to quit, and the script's finding is the one to apply.
    const auto cpu = std::find_if(findings.begin(), findings.end(), [](const auto& f) {
      return f.id.starts_with("cpu.") && f.title.starts_with("node busy.js");
    });
    QString found;
    for (const auto& f : findings) found += QString::fromStdString(f.id + " " + f.title + "; ");
    QVERIFY2(cpu != findings.end(), qPrintable("the busy script is found among " + found));
    QVERIFY(cpu->fix);
    const auto* quit = std::get_if<Fix::Quit>(&cpu->fix->value);
    QVERIFY(quit);
    QCOMPARE(quit->group.pids, std::vector<pid_t>{busy});
    QCOMPARE(cpu->title, "node busy.js — in " + webshop + " is keeping the processor busy");
    QCOMPARE(quit->group.processes, (std::vector<ProcessGroup::Process>{{busy, "node busy.js", webshop}}));

    model.diagnosis().apply(*cpu, model);
    QTRY_VERIFY(ended(busy));
    QVERIFY(!ended(server));
    QVERIFY(!ended(shell));
    QCOMPARE(::kill(third, 0), 0);
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
