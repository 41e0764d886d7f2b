#include "performance/SlownessCheck.h"

#include "SlownessFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

namespace tidra {
namespace {

using namespace test;
using Kind = DeveloperTool::Kind;
using Level = SlownessFinding::Level;
using Heat = SlownessInputs::Heat;
using Pressure = MemorySnapshot::Pressure;

const std::string kCpuDetail =
    " of a core right now. A computer slows down when a few apps take most of the processor.";
const std::string kCalmMemory =
    "The system is compressing 512 MB. Using the most: Firefox (858.3 MB), Slack (572.2 MB), Code (286.1 MB).";
const std::string kSpotlight =
    "It reads new and changed files so search can find them, which takes processor time and finishes by itself. "
    "Build folders such as node_modules get indexed too; adding your projects folder to the indexer's excluded "
    "folders stops that.";
const std::string kTimeMachine =
    "It reads your files in the background, which can slow the disk for a while. It finishes by itself.";
const std::string kLowPower = "The system slows the computer down on purpose to make the battery last longer.";
const std::string kDisplay = "WindowServer, which draws everything on screen, is working hard. Many windows, "
                             "animations or a large external display can do this.";
const std::string kIdle = "Nothing has connected to them and nothing in their folders has changed, yet they hold ";
const std::string kDockerDetail = "Its virtual machine keeps that memory even when no container is running.";
const std::string kDiskDetail = " is left. The system needs free space to swap memory and for apps to work in.";
const std::string kSpotlightFix = "settings " + std::string(SlownessCheck::spotlight);
const std::string kBatteryFix = "settings " + std::string(SlownessCheck::battery);

const DeveloperTool vite = tool("tree-100", Kind::devServer, "Vite dev server", {100, 101}, 300 * kMB, 95);
const DeveloperTool next = tool("tree-200", Kind::devServer, "Next.js dev server", {200}, 400 * kMB);
const DeveloperTool astro = tool("tree-250", Kind::devServer, "Astro dev server", {250}, 250 * kMB);
const DeveloperTool docker = tool("docker", Kind::containers, "Docker Desktop", {300, 301}, 2500 * kMB);
const DeveloperTool gradle = tool("500", Kind::buildDaemon, "Gradle daemon", {500}, 700 * kMB, 120);
const DeveloperTool emulator = tool("600", Kind::emulator, "Pixel 7", {600}, 2000 * kMB, 70);

// A machine with nothing wrong: calm memory and processor, a roomy disk, a busy system service
// (which the check leaves alone).
SlownessInputs calm() {
    SlownessInputs in;
    in.memory.compressed = 512 * 1024 * 1024;
    in.disk = DiskUsage{500'000'000'000, 200'000'000'000};
    in.groups = {group("Firefox", 20, 900 * kMB, {10, 11}), group("Slack", 5, 600 * kMB, {20}),
                 group("Terminal", 1, 250 * kMB, {30}), group("Code", 8, 300 * kMB, {40}),
                 group("journald", 90, 8000 * kMB, {50}, true)};
    return in;
}

// One finding as a line: every field the user sees or the fix acts on.
std::string line(const SlownessFinding& f) {
    return f.id + " | " + std::to_string(int(f.level)) + " | " + f.symbol + " | " + f.title + " | " + f.detail + " | " +
           describe(f.fix) + " | " + f.fixTitle.value_or("-");
}

std::string line(std::string id, Level level, std::string symbol, std::string title, std::string detail,
                 std::string fix = "-", std::string fixTitle = "-") {
    return id + " | " + std::to_string(int(level)) + " | " + symbol + " | " + title + " | " + detail + " | " + fix +
           " | " + fixTitle;
}

std::string memory(Level level, std::string detail, std::string fix, std::string fixTitle) {
    const bool critical = level == Level::serious;
    return line("memory", level, "memorychip", critical ? "Memory is critically low" : "Memory is under pressure",
                std::move(detail), std::move(fix), std::move(fixTitle));
}

std::string cpu(std::string key, Level level, std::string name, std::string percent, std::string fix,
                std::string fixTitle) {
    return line("cpu." + key, level, "cpu", name + " is keeping the processor busy", "It is using " + percent + kCpuDetail,
                std::move(fix), std::move(fixTitle));
}

std::string heat(std::string detail, std::string fix = "-", std::string fixTitle = "-") {
    return line("heat", Level::serious, "thermometer.high", "Your computer is running hot",
                "The system is slowing the processor down to cool it off." + detail, std::move(fix),
                std::move(fixTitle));
}

std::string disk(Level level, std::string detail, std::string fixTitle) {
    return line("disk", level, "internaldrive", "Your disk is almost full", detail, "cleanup", std::move(fixTitle));
}

std::string idle(std::string title, std::string detail, std::string fix, std::string fixTitle) {
    return line("idle", Level::notable, "moon.zzz", std::move(title), kIdle + detail, std::move(fix),
                std::move(fixTitle));
}

std::string dockerFinding(Level level) {
    return line("docker", level, "shippingbox", "Docker Desktop is holding 2.33 GB", kDockerDetail, "stop docker",
                "Quit Docker Desktop");
}

const std::string kSpotlightLine = line("spotlight", Level::notable, "magnifyingglass", "File indexing is running",
                                        kSpotlight, kSpotlightFix, "Open File Search Settings");
const std::string kDisplayLine =
    line("windowserver", Level::info, "macwindow.on.rectangle", "The display is busy drawing", kDisplay);
const std::string kFineLine =
    line("fine", Level::fine, "checkmark.circle", "Nothing is slowing your computer down right now",
         "Memory pressure is normal, no app is hogging the processor, and the disk has room. If it felt slow a moment "
         "ago, it may have been a passing burst of work.");

void idleServers(SlownessInputs& in, std::vector<DeveloperTool> servers, std::vector<double> seconds) {
    for (std::size_t i = 0; i < servers.size(); ++i) in.idleTimes[servers[i].id] = seconds[i];
    in.developerTools = std::move(servers);
}

struct Case {
    std::string name;
    std::function<void(SlownessInputs&)> change;
    std::vector<std::string> expected;
};

const Case cases[] = {
    {"calm machine", [](auto&) {}, {kFineLine}},
    {"warning pressure quits the largest app",
     [](auto& in) { in.memory.pressure = Pressure::warning; },
     {memory(Level::notable, kCalmMemory, "quit Firefox", "Quit Firefox")}},
    {"critical pressure with swap",
     [](auto& in) {
         in.memory.pressure = Pressure::critical;
         in.memory.swapUsed = 1024 * 1024 * 1024;
         in.groups = {group("Firefox", 20, 900 * kMB, {10})};
     },
     {memory(Level::serious,
             "The system is compressing 512 MB and swapping 1 GB to disk. Using the most: Firefox (858.3 MB).",
             "quit Firefox", "Quit Firefox")}},
    {"pressure without user groups has no fix",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         in.groups = {group("journald", 1, 100, {50}, true)};
     },
     {memory(Level::notable, "The system is compressing 512 MB.", "-", "-")}},
    {"pressure stops the idle servers instead",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         idleServers(in, {vite, next}, {2700, 7200});
     },
     {memory(Level::notable, kCalmMemory, "stop tree-100 tree-200", "Stop 2 idle dev servers, freeing 667.6 MB")}},
    {"pressure stops the one idle server by name",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         idleServers(in, {vite, next}, {2700, 1799});
     },
     {memory(Level::notable, kCalmMemory, "stop tree-100", "Stop Vite dev server, freeing 286.1 MB")}},
    {"idle servers under normal pressure",
     [](auto& in) { idleServers(in, {vite, next}, {2700, 7200}); },
     {idle("2 dev servers are sitting idle",
           "667.6 MB: Vite dev server (idle 45 minutes), Next.js dev server (idle 2 hours).", "stop tree-100 tree-200",
           "Stop Them")}},
    {"three idle servers: two named, all stopped",
     [](auto& in) { idleServers(in, {vite, next, astro}, {1800, 1800, 172800}); },
     {idle("3 dev servers are sitting idle",
           "906 MB: Vite dev server (idle 30 minutes), Next.js dev server (idle 30 minutes).",
           "stop tree-100 tree-200 tree-250", "Stop Them")}},
    {"one idle server",
     [](auto& in) { idleServers(in, {next}, {3600}); },
     {idle("A dev server is sitting idle", "381.5 MB: Next.js dev server (idle 1 hour).", "stop tree-200",
           "Stop It")}},
    {"not idle long enough, too small, or not a dev server",
     [](auto& in) {
         auto small = next;
         small.memoryBytes = 199'999'999;
         auto daemon = gradle;
         daemon.memoryBytes = 900 * kMB;
         daemon.cpuPercent = 0;
         idleServers(in, {vite, small, daemon}, {1799, 7200, 7200});
     },
     {kFineLine}},
    {"busy thresholds: exactly 50 is notable, exactly 150 serious",
     [](auto& in) { in.groups = {group("Firefox", 50, 900 * kMB, {10}), group("Blender", 150, 100, {60})}; },
     {cpu("Blender", Level::serious, "Blender", "150 %", "quit Blender", "Quit Blender"),
      cpu("Firefox", Level::notable, "Firefox", "50 %", "quit Firefox", "Quit Firefox")}},
    {"three busy tools give the two busiest, by the tool's id and title",
     [](auto& in) {
         in.groups = {group("node", 90, 100, {100}), group("java", 120, 100, {500}),
                      group("qemu-system-x86_64", 70, 100, {600})};
         in.developerTools = {vite, gradle, emulator};
     },
     {cpu("500", Level::notable, "Gradle daemon", "120 %", "stop 500", "Stop Gradle daemon"),
      cpu("tree-100", Level::notable, "Vite dev server", "95 %", "stop tree-100", "Stop Vite dev server")}},
    {"two busy groups of one tool give one finding",
     [](auto& in) {
         auto busy = vite;
         busy.cpuPercent = 170;
         in.groups = {group("node", 90, 100, {100}), group("esbuild", 80, 100, {101}),
                      group("Firefox", 60, 900 * kMB, {10})};
         in.developerTools = {busy};
     },
     {cpu("tree-100", Level::serious, "Vite dev server", "170 %", "stop tree-100", "Stop Vite dev server"),
      cpu("Firefox", Level::notable, "Firefox", "60 %", "quit Firefox", "Quit Firefox")}},
    {"heat names the busiest app, which gets no processor finding",
     [](auto& in) {
         in.heat = Heat::hot;
         in.groups = {group("Slack", 55, 100, {20}), group("Firefox", 80.5, 900 * kMB, {10})};
     },
     {heat(" The busiest app is Firefox, at 81 % of a core.", "quit Firefox", "Quit Firefox"),
      cpu("Slack", Level::notable, "Slack", "55 %", "quit Slack", "Quit Slack")}},
    {"critical heat without a busy app; warm heat alone is nothing",
     [](auto& in) { in.heat = Heat::critical; },
     {heat("")}},
    {"warm heat", [](auto& in) { in.heat = Heat::warm; }, {kFineLine}},
    {"large volume under 5 %",
     [](auto& in) { in.disk = DiskUsage{500'000'000'000, 24'000'000'000}; },
     {disk(Level::notable, "Only 24 GB" + kDiskDetail, "Open Cleanup")}},
    {"almost no room left, with safe items",
     [](auto& in) {
         in.disk = DiskUsage{500'000'000'000, 4'000'000'000};
         in.safeBytes = 1'500'000'000;
     },
     {disk(Level::serious, "Only 4 GB" + kDiskDetail + " Tidra found 1.5 GB it can clean safely.", "Clean 1.5 GB")}},
    {"small volume: 12 GB left is enough", [](auto& in) { in.disk = DiskUsage{128'000'000'000, 12'000'000'000}; },
     {kFineLine}},
    {"small volume: 9 GB left is not",
     [](auto& in) { in.disk = DiskUsage{128'000'000'000, 9'000'000'000}; },
     {disk(Level::notable, "Only 9 GB" + kDiskDetail, "Open Cleanup")}},
    {"unreadable disk", [](auto& in) { in.disk.reset(); }, {kFineLine}},
    {"Docker under pressure is the memory fix, with no finding of its own",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         in.developerTools = {docker};
     },
     {memory(Level::notable, kCalmMemory, "stop docker", "Quit Docker Desktop, freeing 2.33 GB")}},
    {"Docker under normal pressure",
     [](auto& in) { in.developerTools = {docker}; },
     {dockerFinding(Level::info)}},
    {"Docker under pressure while idle servers take the memory fix",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         idleServers(in, {vite, docker}, {2700, 0});
     },
     {memory(Level::notable, kCalmMemory, "stop tree-100", "Stop Vite dev server, freeing 286.1 MB"),
      dockerFinding(Level::notable)}},
    {"a smaller Docker is only the memory fix",
     [](auto& in) {
         auto smaller = docker;
         smaller.memoryBytes = 1500 * kMB;
         in.developerTools = {smaller};
         in.memory.pressure = Pressure::warning;
     },
     {memory(Level::notable, kCalmMemory, "stop docker", "Quit Docker Desktop, freeing 1.4 GB")}},
    {"indexing at 40 %", [](auto& in) { in.systemCPU = {{"mds", 25}, {"mdworker_shared", 15}}; }, {kSpotlightLine}},
    {"indexing below 40 %", [](auto& in) { in.systemCPU = {{"mds", 25}, {"mdworker", 14.9}, {"bash", 90}}; },
     {kFineLine}},
    {"this desktop's indexers",
     [](auto& in) {
         in.systemCPU = {{"tracker-miner-fs-3", 20}, {"tracker-extract-3", 10}, {"baloo_file", 5},
                         {"baloo_file_extractor", 5}};
     },
     {kSpotlightLine}},
    {"backup and low power",
     [](auto& in) {
         in.timeMachineRunning = true;
         in.lowPowerMode = true;
     },
     {line("lowpower", Level::notable, "battery.25percent", "Low Power Mode is on", kLowPower, kBatteryFix,
           "Open Battery Settings"),
      line("timemachine", Level::info, "clock.arrow.circlepath", "A backup is running", kTimeMachine)}},
    {"the display server at 40 %", [](auto& in) { in.systemCPU = {{"WindowServer", 40}}; }, {kDisplayLine}},
    {"this desktop's display servers count by the busiest",
     [](auto& in) { in.systemCPU = {{"Xorg", 20}, {"Xwayland", 45}, {"kwin_wayland", 30}}; },
     {kDisplayLine}},
    {"a display server below 40 %", [](auto& in) { in.systemCPU = {{"gnome-shell", 39.9}, {"kwin_x11", 39.9}}; },
     {kFineLine}},
    {"serious first, then notable, then info, check order among equals",
     [](auto& in) {
         in.heat = Heat::hot;
         in.memory.pressure = Pressure::warning;
         in.disk = DiskUsage{500'000'000'000, 4'000'000'000};
         in.timeMachineRunning = true;
         in.lowPowerMode = true;
         in.systemCPU = {{"WindowServer", 50}, {"mds", 50}};
     },
     {heat(""), disk(Level::serious, "Only 4 GB" + kDiskDetail, "Open Cleanup"),
      memory(Level::notable, kCalmMemory, "quit Firefox", "Quit Firefox"), kSpotlightLine,
      line("lowpower", Level::notable, "battery.25percent", "Low Power Mode is on", kLowPower, kBatteryFix,
           "Open Battery Settings"),
      line("timemachine", Level::info, "clock.arrow.circlepath", "A backup is running", kTimeMachine),
      kDisplayLine}},
    // Quitting these ends the desktop session (and every unsaved document) or ourselves.
    {"a busy session process gets no quit button",
     [](auto& in) { in.groups = {group("gnome-shell", 80, 100, {70}), group("kwin_wayland", 60, 100, {71})}; },
     {cpu("gnome-shell", Level::notable, "gnome-shell", "80 %", "-", "-"),
      cpu("kwin_wayland", Level::notable, "kwin_wayland", "60 %", "-", "-")}},
    {"heat from the display server gets no quit button",
     [](auto& in) {
         in.heat = Heat::hot;
         in.groups = {group("Xorg", 90, 100, {80})};
     },
     {heat(" The busiest app is Xorg, at 90 % of a core.")}},
    {"our own app as the largest gets no quit button",
     [](auto& in) {
         in.memory.pressure = Pressure::warning;
         in.groups = {group("Firefox", 20, 900 * kMB, {10}), group("tidra", 1, 2000 * kMB, {::getpid()})};
     },
     {memory(Level::notable,
             "The system is compressing 512 MB. Using the most: tidra (1.86 GB), Firefox (858.3 MB).", "-", "-")}},
};

TEST(SlownessFindingsTest, FindingsForEachSituation) {
    for (const auto& c : cases) {
        SlownessInputs in = calm();
        c.change(in);
        std::vector<std::string> got;
        for (const auto& finding : SlownessCheck::findings(in)) got.push_back(line(finding));
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(SlownessFindingsTest, EveryFixHasItsTitleAndTheResultIsTheSameEachTime) {
    for (const auto& c : cases) {
        SlownessInputs in = calm();
        c.change(in);
        const auto first = SlownessCheck::findings(in);
        EXPECT_EQ(SlownessCheck::findings(in), first) << c.name;
        for (const auto& finding : first) EXPECT_EQ(finding.fix.has_value(), finding.fixTitle.has_value()) << c.name;
    }
}

} // namespace
} // namespace tidra
