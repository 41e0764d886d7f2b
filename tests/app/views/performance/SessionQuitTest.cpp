// A desktop session of its own (Xvfb, openbox, a session bus from dbus-run-session and a session
// script that starts them and then this program): none of the session's processes, nor this
// program, nor its ancestors, is offered Quit or Force Quit on the Performance screen, by the
// diagnosis (the sheet and the tray panel show the same findings), and none is ever signalled.
#include "support/TestMain.h"
#include "../../models/PerformanceFakes.h"

#include "platform/FileRevealer.h"
#include "views/design/Button.h"
#include "views/design/KeyedRowList.h"
#include "views/performance/PerformanceTexts.h"
#include "views/performance/PerformanceView.h"

#include "performance/DeveloperTools.h"
#include "performance/ProcessSampler.h"
#include "performance/SlownessCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace tidra;
using namespace tidra::test;
using namespace std::chrono_literals;

// Named, so the helpers keep to themselves in a unity batch.
namespace sessionquit {

class NoRevealer final : public FileRevealer {
public:
  void reveal(const std::string&) override {}
};

// Starts the display server, waits for its socket, starts the window manager, then runs the
// inside half of this test as the session's program, and ends what it started.
constexpr const char* kSessionScript = R"(display=$1
Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
tries=0
while [ ! -S "/tmp/.X11-unix/X$display" ] && [ $tries -lt 400 ]; do sleep 0.05; tries=$((tries + 1)); done
DISPLAY=":$display" openbox >/dev/null 2>&1 &
manager=$!
DISPLAY=":$display" TIDRA_INSIDE_SESSION=1 "$2" SessionQuitTest insideSession
status=$?
kill $manager $server
exit $status
)";

int freeDisplay() {
  for (int display = 180; display < 400; ++display)
    if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) &&
        !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
      return display;
  return -1;
}

// The session's processes as this program sees them: itself and its ancestors (the session
// script and dbus-run-session among them), the display server, the window manager, the bus.
std::set<pid_t> sessionOf(const ProcessSample& sample) {
  std::map<pid_t, const ProcessSnapshot*> byPid;
  for (const auto& p : sample.processes) byPid[p.pid] = &p;
  std::set<pid_t> session;
  for (pid_t pid = ::getpid(); byPid.contains(pid) && session.insert(pid).second;) pid = byPid[pid]->parentPID;
  for (const auto& p : sample.processes)
    if (p.name == "Xvfb" || p.name == "openbox" || p.name == "dbus-daemon" || p.name == "dbus-run-session")
      session.insert(p.pid);
  return session;
}

bool holdsAny(const ProcessGroup& group, const std::set<pid_t>& pids) {
  return std::any_of(group.pids.begin(), group.pids.end(), [&](pid_t pid) { return pids.contains(pid); });
}

}  // namespace sessionquit

using namespace sessionquit;

class SessionQuitTest : public QObject {
  Q_OBJECT

private slots:
  void nothingOfTheSessionIsOfferedToQuit() {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("session.sh"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kSessionScript);
    file.close();
    const int display = freeDisplay();
    QVERIFY(display > 0);

    QProcess session;
    session.setProcessChannelMode(QProcess::MergedChannels);
    session.start(QStringLiteral("dbus-run-session"), {QStringLiteral("--"), QStringLiteral("sh"), script,
                                                       QString::number(display), QCoreApplication::applicationFilePath()});
    QVERIFY(session.waitForStarted());
    QVERIFY(session.waitForFinished(240'000));
    const QByteArray output = session.readAll();
    QVERIFY2(session.exitStatus() == QProcess::NormalExit && session.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : SessionQuitTest::insideSession()"), output.constData());
  }

  // Runs only as the session's program, started by the test above.
  void insideSession() {
    if (qEnvironmentVariableIsEmpty("TIDRA_INSIDE_SESSION")) QSKIP("runs inside the session of the test above");
    PerformanceModel fake;
    AppServices services;
    services.cleanup = fakeCleanup(fake.disk);
    services.performance = PerformanceServices::live();
    services.projects = quietProjects();
    AppModel model(quietEnvironment(QDir::tempPath().toStdString()), services, fakeDesktop(), fake.scheduler);
    sessionquit::NoRevealer revealer;
    performance::PerformanceView view(model, fake.scheduler, revealer);
    view.show();

    // The window manager may still be starting.
    std::set<pid_t> session;
    const auto ready = [&] {
      session = sessionOf(ProcessSampler().sample());
      const auto groups = model.processes();
      const bool listed = std::all_of(session.begin(), session.end(), [&](pid_t pid) {
        return std::any_of(groups.begin(), groups.end(), [&](const auto& g) { return holdsAny(g, {pid}); });
      });
      return (session.size() >= 7 && listed) || (fake.scheduler.advance(3s), false);
    };
    QVERIFY2(QTest::qWaitFor(ready, 60'000), "the session's processes are listed");

    auto* rows = view.findChild<KeyedRowList*>("processRows");
    QVERIFY(rows);
    int checked = 0;
    for (const auto& group : model.processes()) {
      if (!holdsAny(group, session)) continue;
      ++checked;
      const QString name = QString::fromStdString(group.name);
      QVERIFY2(group.isProtected || std::count(group.pids.begin(), group.pids.end(), ::getpid()), qPrintable(name));
      QVERIFY2(!PerformanceTexts::canQuit(group, ::getpid()), qPrintable(name));
      if (QWidget* row = rows->row(QString::fromStdString(group.id)))
        QVERIFY2(!row->findChild<Button*>("quit")->isVisibleTo(row), qPrintable(name));
      // However busy it were, the diagnosis offers no quit: no fix, no button.
      auto busy = group;
      busy.cpuPercent = 400;
      SlownessInputs inputs;
      inputs.groups = {busy};
      for (const auto& finding : SlownessCheck::findings(inputs)) {
        const bool quits = finding.fix && std::holds_alternative<SlownessFinding::Fix::Quit>(finding.fix->value);
        QVERIFY2(!quits, qPrintable(name));
      }
    }
    QVERIFY(checked >= 4);

    // And asked to signal them anyway, the engine sends nothing.
    std::vector<pid_t> signalled;
    auto stopping = DeveloperTools::Stopping::live();
    stopping.terminate = stopping.forceTerminate = [&](pid_t pid, std::chrono::system_clock::time_point) {
      signalled.push_back(pid);
      return DeveloperTools::SignalOutcome::sent;
    };
    DeveloperTool::Stop::Signal stop;
    for (const pid_t pid : session) stop.processes.push_back({pid, std::chrono::system_clock::now()});
    DeveloperTool everything;
    everything.stop = stop;
    QVERIFY(!DeveloperTools::stop(everything, stopping));
    QVERIFY(signalled.empty());
  }
};

TIDRA_TEST_MAIN(SessionQuitTest)
#include "SessionQuitTest.moc"
