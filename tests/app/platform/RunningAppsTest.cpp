#include "support/TestMain.h"
#include "platform/RunningApps.h"

#include "support/FakeProc.h"
#include "support/TempHome.h"

#include <QTest>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
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

  void findsTheProcessesOfEachLinuxKind() {
    test::TempHome home;
    test::FakeProc proc(home);
    proc.setBootTime(1'700'000'000);
    const std::string image = "/home/u/Applications/Tool.AppImage", program = "/home/u/opt/tool/bin/tool";
    proc.add({.pid = 10, .exe = image});
    const std::string nul(1, '\0');
    const std::string started = "APPIMAGE=" + image + nul + "APPDIR=/tmp/.mount_Tool" + nul;
    proc.add({.pid = 11, .exe = "/tmp/.mount_Tool/usr/bin/tool"});
    home.text("proc/11/environ", "LANG=C" + nul + started);
    proc.add({.pid = 12, .exe = "/tmp/.mount_Other/usr/bin/other"});
    home.text("proc/12/environ", "APPIMAGE=" + image + ".old" + nul + "APPDIR=/tmp/.mount_Other" + nul);
    // A shell and a dev server started from the app's terminal inherit its variables, and so
    // may this program itself: none of them is the app.
    proc.add({.pid = 16, .exe = "/usr/bin/bash"});
    home.text("proc/16/environ", started);
    proc.add({.pid = 17, .exe = "/usr/bin/node"});
    home.text("proc/17/environ", started);
    proc.add({.pid = 18, .exe = "/tmp/.mount_Tool/usr/bin/tool-helper"});  // its variables cleared
    proc.add({.pid = 19, .exe = "/tmp/.mount_Tool/usr/bin/tidra-like"});
    home.text("proc/19/environ", started);
    proc.add({.pid = 13, .exe = program});
    proc.add({.pid = 20, .exe = "/home/u/opt/tool/lib/worker"});
    proc.add({.pid = 14, .exe = "/app/bin/notes"});
    home.text("proc/14/root/.flatpak-info", "[Application]\nname=org.example.Notes\nruntime=x\n");
    proc.add({.pid = 15, .exe = "/usr/bin/gnome-text-editor"});
    const auto running = RunningApps::live(proc.root(), 19);
    const auto pids = [&](const InstalledApp& app) {
      std::vector<pid_t> found;
      for (const auto& instance : running->instances(app)) found.push_back(instance.pid);
      std::sort(found.begin(), found.end());  // a fixture folder lists in no set order
      return found;
    };
    QCOMPARE(pids({image, "Tool", "Tool.AppImage", {}, {}, false, AppKind::appImage}), (std::vector<pid_t>{10, 11, 18}));
    InstalledApp unpacked{program, "Tool", "tool", {}, {}, false, AppKind::program};
    QCOMPARE(pids(unpacked), (std::vector<pid_t>{13}));
    unpacked.folder = "/home/u/opt/tool";
    QCOMPARE(pids(unpacked), (std::vector<pid_t>{13, 20}));
    QCOMPARE(pids({"/home/u/.local/share/flatpak/app/org.example.Notes", "Notes", "org.example.Notes", {}, {}, false,
                   AppKind::flatpak}),
             (std::vector<pid_t>{14}));
    // The system's apps are never removed here, so none of their processes is asked to quit.
    QCOMPARE(pids({"/usr/share/applications/org.gnome.TextEditor.desktop", "Text Editor", "org.gnome.TextEditor", {},
                   {}, true, AppKind::systemPackage}),
             std::vector<pid_t>{});
  }
};

TIDRA_TEST_MAIN(RunningAppsTest)
#include "RunningAppsTest.moc"
