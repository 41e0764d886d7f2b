#include "support/TestMain.h"
#include "platform/RunningApps.h"

#include "support/TempHome.h"

#include <QTest>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

using namespace tidra;
using namespace std::chrono_literals;

namespace {

// A program run from inside a fixture bundle, as an installed app would be; reaped only when
// the test says so, so an ended one stays a zombie meanwhile.
class BundledProgram {
public:
  explicit BundledProgram(const std::string& bundle) {
    const std::string program = bundle + "/Contents/MacOS/sleeper";
    std::filesystem::create_directories(bundle + "/Contents/MacOS");
    std::filesystem::copy_file("/bin/sleep", program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("600"), nullptr};
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) pid = 0;
  }
  ~BundledProgram() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    reap();
  }
  void reap() {
    if (pid > 0) waitpid(pid, nullptr, 0);
    pid = -1;
  }
  bool isAlive() const { return kill(pid, 0) == 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

  pid_t pid = 0;
};

}  // namespace

class RunningAppsTest : public QObject {
  Q_OBJECT

private slots:
  void findsAndQuitsTheAppsOwnProcesses() {
    test::TempHome home;
    const std::string bundle = home.path("Applications/Sleeper.app");
    BundledProgram program(bundle);
    QVERIFY(program.pid > 0);
    const InstalledApp app{bundle, "Sleeper", "org.example.Sleeper", {}, {}, false};
    const InstalledApp other{bundle.substr(0, bundle.size() - 4), "Sleep", "org.example.Sleep", {}, {}, false};
    const auto running = RunningApps::live();

    std::vector<RunningInstance> instances;
    QTRY_VERIFY((instances = running->instances(app)).size() == 1);  // exec may still be under way
    QCOMPARE(instances[0].pid, program.pid);
    QVERIFY(running->instances(other).empty());  // a path prefix is not the bundle
    QVERIFY(!running->isTerminated(instances[0]));

    // An instance whose start time does not match is another process: never signalled.
    const RunningInstance stranger{program.pid, instances[0].started + 1s};
    QVERIFY(running->isTerminated(stranger));
    running->requestQuit(stranger);
    QTest::qWait(50);
    QVERIFY(!running->isTerminated(instances[0]));

    running->requestQuit(instances[0]);
    QTRY_VERIFY(running->isTerminated(instances[0]));  // ended, still unreaped
    program.reap();
    QVERIFY(running->isTerminated(instances[0]));
  }
};

TIDRA_TEST_MAIN(RunningAppsTest)
#include "RunningAppsTest.moc"
