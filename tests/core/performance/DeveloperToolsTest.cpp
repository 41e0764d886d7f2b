#include "performance/DeveloperTools.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <map>

namespace tidra {
namespace {

using Kind = DeveloperTool::Kind;
using Stop = DeveloperTool::Stop;
using test::TempHome;

const auto kStart = std::chrono::system_clock::time_point(std::chrono::seconds(1'700'000'000));

ProcessSnapshot process(pid_t pid, std::string name, std::string path = "", std::int64_t memory = 0,
                        double cpu = 0) {
    ProcessSnapshot p;
    p.pid = pid;
    p.parentPID = 1;
    p.name = std::move(name);
    p.path = std::move(path);
    p.memoryBytes = memory;
    p.cpuPercent = cpu;
    p.started = kStart;
    return p;
}

const std::string kEditor = "Your editor starts it again when it needs it.";
const std::string kGradleCost =
    "Gradle keeps it running to make builds faster. The next build starts it again, a few seconds slower.";
const std::string kKotlinCost = "The next Kotlin build starts it again, a few seconds slower.";
const std::string kEmulatorDetail = "Emulators keep running after you stop debugging.";
const std::string kEmulatorCost = "Closes the emulator. Anything unsaved in it is lost.";

TEST(DeveloperToolsTest, ClassifiesByNameAndArguments) {
    struct Row {
        std::string name;
        std::vector<std::string> arguments;
        double cpu;
        std::optional<Kind> kind;
        std::string title, detail, consequence;
        std::string path = "";
    };
    const std::vector<Row> rows = {
        {"java", {"java", "-cp", "gradle-8.5/lib", "org.gradle.launcher.daemon.bootstrap.GradleDaemon"}, 0.5,
         Kind::buildDaemon, "Gradle daemon 8.5", "Idle, waiting for the next build.", kGradleCost},
        {"java", {"java", "GradleDaemon", "gradle-8"}, 1.0, Kind::buildDaemon, "Gradle daemon", "Building.",
         kGradleCost},
        {"java", {"java", "GradleDaemon", "gradle-8.10.2-bin", "gradle-9.0"}, 3, Kind::buildDaemon,
         "Gradle daemon 8.10.2", "Building.", kGradleCost},
        {"java", {"java", "GradleDaemon", "KotlinCompileDaemon"}, 0, Kind::buildDaemon, "Gradle daemon",
         "Idle, waiting for the next build.", kGradleCost},
        {"java", {"java", "KotlinCompileDaemon", "jdt.ls"}, 0.99, Kind::buildDaemon, "Kotlin compile daemon",
         "Idle, waiting for the next build.", kKotlinCost},
        {"java", {"java", "KotlinCompileDaemon"}, 1.0, Kind::buildDaemon, "Kotlin compile daemon", "Compiling.",
         kKotlinCost},
        {"java", {"java", "-jar", "org.eclipse.jdt.ls.core.jar"}, 0, Kind::languageServer, "Java language server",
         "Runs for your editor.", kEditor},
        {"java", {"java", "-Dredhat.java.x"}, 0, Kind::languageServer, "Java language server",
         "Runs for your editor.", kEditor},
        {"java", {"java", "org.javacs.kt.MainKt"}, 0, Kind::languageServer, "Kotlin language server",
         "Runs for your editor.", kEditor},
        {"dart", {"dart", "language-server"}, 0, Kind::languageServer, "Dart analysis server",
         "Runs for your editor.", kEditor},
        {"dartaotruntime", {"x", "analysis_server.dart.snapshot"}, 0, Kind::languageServer, "Dart analysis server",
         "Runs for your editor.", kEditor},
        {"dart", {"dart", "flutter_tools.snapshot", "daemon"}, 0, Kind::languageServer, "Flutter daemon",
         "Runs for your editor.", kEditor},
        {"dart", {"dart", "flutter_tools.snapshot", "run"}, 0, std::nullopt, "", "", ""},
        {"node", {"node", "/x/typescript/lib/tsserver.js"}, 0, Kind::languageServer, "TypeScript server",
         "Runs for your editor.", kEditor},
        {"bun", {"bun", "tsserver"}, 0, Kind::languageServer, "TypeScript server", "Runs for your editor.", kEditor},
        {"deno", {"deno", "tsserver"}, 0, Kind::languageServer, "TypeScript server", "Runs for your editor.", kEditor},
        {"node", {"node", "server.js"}, 0, std::nullopt, "", "", ""},
        {"java", {"java", "-jar", "app.jar"}, 0, std::nullopt, "", "", ""},
        {"java", {"java", "gradledaemon"}, 0, std::nullopt, "", "", ""},
        {"qemu-system-x86_64", {"qemu", "-avd", "My_Phone", "@Other"}, 5, Kind::emulator,
         "Android emulator: My Phone", kEmulatorDetail, kEmulatorCost},
        {"qemu-system-aarch64", {"qemu", "@Pixel_7_API_34", "-avd"}, 5, Kind::emulator,
         "Android emulator: Pixel 7 API 34", kEmulatorDetail, kEmulatorCost},
        {"qemu-system-x86_64", {"qemu", "-avd"}, 5, Kind::emulator, "Android emulator", kEmulatorDetail,
         kEmulatorCost},
        {"qemu-system-x86_64", {}, 0, Kind::emulator, "Android emulator", kEmulatorDetail, kEmulatorCost,
         "/home/me/Android/Sdk/emulator/qemu/linux-x86_64/qemu-system-x86_64"},
        // Any other virtual machine is not ours to stop.
        {"qemu-system-x86_64", {"qemu-system-x86_64", "-m", "4G", "-drive", "file=disk.qcow2"}, 50, std::nullopt,
         "", "", "", "/usr/bin/qemu-system-x86_64"},
        {"qemu-system-x86_64", {"qemu", "@"}, 0, std::nullopt, "", "", "", "/usr/bin/qemu-system-x86_64"},
    };
    for (const Row& row : rows) {
        ProcessSnapshot p = process(42, row.name, row.path, 1000, row.cpu);
        int calls = 0;
        const auto tool = DeveloperTools::classify(p, [&](pid_t pid) {
            EXPECT_EQ(pid, 42);
            ++calls;
            return row.arguments;
        });
        EXPECT_EQ(calls, 1) << row.name;
        ASSERT_EQ(tool.has_value(), row.kind.has_value()) << row.name << " " << DeveloperTools::commandLine(row.arguments);
        if (!tool) continue;
        EXPECT_EQ(tool->kind, *row.kind);
        EXPECT_EQ(tool->title, row.title);
        EXPECT_EQ(tool->detail, row.detail) << row.title;
        EXPECT_EQ(tool->consequence, row.consequence) << row.title;
        EXPECT_EQ(tool->id, "42");
        EXPECT_EQ(tool->pids, std::vector<pid_t>{42});
        EXPECT_EQ(tool->memoryBytes, 1000);
        EXPECT_EQ(tool->cpuPercent, row.cpu);
        EXPECT_EQ(tool->stop, Stop(Stop::Signal{{{42, kStart}}}));
        EXPECT_FALSE(tool->started);
        EXPECT_FALSE(tool->folder);
        EXPECT_EQ(tool->clients, 0);
    }
}

TEST(DeveloperToolsTest, OtherProcessesAreNotClassifiedAndTheirArgumentsNeverRead) {
    for (const char* name : {"sh", "bash", "python3", "javac", "Java", "nodejs", "qemu"}) {
        bool read = false;
        EXPECT_FALSE(DeveloperTools::classify(process(5, name), [&](pid_t) {
            read = true;
            return std::vector<std::string>{"x", "GradleDaemon", "tsserver", "-avd", "a"};
        })) << name;
        EXPECT_FALSE(read) << name;
    }
}

TEST(DeveloperToolsTest, EditorDetailNamesTheResponsibleApplication) {
    TempHome home;
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "CFBundleName", plist_new_string("Code"));
    home.plist("Apps/code.app/Contents/Info.plist", info, true);
    ProcessSnapshot p = process(9, "node");
    p.responsiblePath = home.path("Apps/code.app/Contents/MacOS/Electron");
    const auto tool = DeveloperTools::classify(p, [](pid_t) { return std::vector<std::string>{"node", "tsserver"}; });
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->detail, "Runs for Code.");
}

TEST(DeveloperToolsTest, AppNameOfAPath) {
    TempHome home;
    plist_t named = plist_new_dict();
    plist_dict_set_item(named, "CFBundleName", plist_new_string("Code"));
    home.plist("A/code.app/Contents/Info.plist", named);
    plist_t shallow = plist_new_dict();
    plist_dict_set_item(shallow, "CFBundleName", plist_new_string("Helper Tool"));
    home.plist("A/helper.app.bundle/Info.plist", shallow, true);
    plist_t numeric = plist_new_dict();
    plist_dict_set_item(numeric, "CFBundleName", plist_new_uint(7));
    home.plist("A/numbers.app/Contents/Info.plist", numeric);
    home.text("A/broken.app/Contents/Info.plist", "not a property list");
    const std::string a = home.path("A");

    const std::map<std::string, std::optional<std::string>> cases = {
        {"/Applications/Xcode.app/Contents/MacOS/Xcode", "Xcode"},
        {"/Applications/Éditeur.app/Contents/MacOS/x", "Éditeur"},
        {a + "/code.app/Contents/MacOS/Electron", "Code"},
        {a + "/gone.app/Contents/MacOS/x", "gone"},
        {a + "/broken.app/Contents/MacOS/x", "broken"},
        {a + "/numbers.app/Contents/MacOS/x", "numbers"},
        {a + "/helper.app.bundle/Contents/x", "Helper Tool"},
        {"/X/Outer.app.bundle/Inner.app/x", "Outer"},
        {"/X/Outer.app/Contents/Inner.app.bundle/x", "Outer"},
        {"/usr/bin/node", std::nullopt},
        {"/X/Thing.app", std::nullopt},
        {"/X/Thing.APP/x", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(DeveloperTools::appName(path), name) << path;
}

TEST(DeveloperToolsTest, DockerAndSimulatorMembership) {
    struct Row {
        std::string name, path, responsible;
        bool docker, simulator;
    } rows[] = {
        {"com.docker.backend", "/Applications/Docker.app/Contents/MacOS/com.docker.backend", "", true, false},
        {"qemu-system-x86_64", "/usr/bin/qemu-system-x86_64", "/Applications/Docker.app/Contents/MacOS/Docker", true,
         false},
        {"com.docker.backend", "/opt/docker-desktop/bin/com.docker.backend", "", true, false},
        {"qemu-system-x86_64", "/opt/docker-desktop/bin/qemu-system-x86_64", "", true, false},
        {"docker", "/usr/bin/docker", "", false, false},
        {"launchd_sim", "", "", false, true},
        {"SpringBoard", "/Library/Developer/CoreSimulator/Volumes/iOS/SpringBoard", "", false, true},
        {"x", "/Users/me/Library/Developer/CoreSimulator/Devices/1/data/x", "", false, true},
        {"Simulator", "/Applications/Xcode.app/Contents/Developer/Applications/Simulator.app/Contents/MacOS/Simulator",
         "", false, true},
        {"launchd_sim", "/Applications/Docker.app/x", "", true, true},
    };
    for (const Row& row : rows) {
        ProcessSnapshot p = process(1, row.name, row.path);
        p.responsiblePath = row.responsible;
        EXPECT_EQ(DeveloperTools::isDockerProcess(p), row.docker) << row.path;
        EXPECT_EQ(DeveloperTools::isSimulatorProcess(p), row.simulator) << row.path;
    }
}

TEST(DeveloperToolsTest, AggregatedSimulatorAndDockerTools) {
    const std::vector<ProcessSnapshot> simulators = {process(10, "launchd_sim", "", 100, 1.5),
                                                     process(11, "SpringBoard", "/x/CoreSimulator/Volumes/y", 50, 2),
                                                     process(12, "launchd_sim", "", 10, 0),
                                                     process(13, "launchd_sim", "", 1, 0)};
    const auto sim = DeveloperTools::simulatorTool(simulators);
    ASSERT_TRUE(sim);
    EXPECT_EQ(sim->id, "simulator");
    EXPECT_EQ(sim->kind, Kind::simulator);
    EXPECT_EQ(sim->title, "iOS Simulator (3 devices running)");
    EXPECT_EQ(sim->pids, (std::vector<pid_t>{10, 11, 12, 13}));
    EXPECT_EQ(sim->memoryBytes, 161);
    EXPECT_DOUBLE_EQ(sim->cpuPercent, 3.5);
    EXPECT_EQ(sim->stop, Stop(Stop::Command{"/usr/bin/xcrun", {"simctl", "shutdown", "all"}, "com.apple.iphonesimulator"}));
    EXPECT_EQ(sim->consequence, "Shuts down every running simulator and quits Simulator.");
    EXPECT_EQ(DeveloperTools::simulatorTool({simulators[0]})->title, "iOS Simulator (1 device running)");
    EXPECT_FALSE(DeveloperTools::simulatorTool({simulators[1]}));

    const std::vector<ProcessSnapshot> docker = {process(20, "Docker Desktop", "/opt/docker-desktop/Docker Desktop", 5),
                                                 process(21, "com.docker.backend", "/opt/docker-desktop/bin/x", 7, 1)};
    const auto tool = DeveloperTools::dockerTool(docker);
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->id, "docker");
    EXPECT_EQ(tool->kind, Kind::containers);
    EXPECT_EQ(tool->title, "Docker Desktop");
    EXPECT_EQ(tool->detail, "Its virtual machine keeps its memory even when no container is running.");
    EXPECT_EQ(tool->consequence, "Quits Docker Desktop and stops every container.");
    EXPECT_EQ(tool->pids, (std::vector<pid_t>{20, 21}));
    EXPECT_EQ(tool->memoryBytes, 12);
    EXPECT_EQ(tool->stop, Stop(Stop::QuitApp{"com.docker.docker"}));
    EXPECT_FALSE(DeveloperTools::dockerTool({docker[0]}));
}

} // namespace
} // namespace tidra
