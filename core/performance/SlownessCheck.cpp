// The findings of the slowness check, one step per cause, in the order they are checked.
#include "performance/SlownessCheck.h"

#include "fs/ByteFormat.h"

#include <algorithm>
#include <numeric>

namespace tidra::SlownessCheck {
namespace {

using Fix = SlownessFinding::Fix;
using Level = SlownessFinding::Level;

constexpr double kBusyPercent = 50.0;
constexpr double kSeriousPercent = 150.0;
constexpr std::int64_t kIdleServerBytes = 200'000'000;
constexpr std::int64_t kDockerFixBytes = 1'000'000'000;
constexpr std::int64_t kDockerFindingBytes = 2'000'000'000;
constexpr std::int64_t kLargeVolume = 200'000'000'000;
constexpr std::int64_t kSmallVolumeThreshold = 10'000'000'000;
constexpr std::int64_t kSeriousDiskBytes = 5'000'000'000;
constexpr double kIndexingPercent = 40.0;
constexpr double kDisplayPercent = 40.0;
constexpr std::size_t kMaximumProcessorFindings = 2;

// What every step reads: the inputs and the selections made from them once.
struct Context {
    const SlownessInputs& in;
    std::vector<const ProcessGroup*> userGroups;
    std::vector<DeveloperTool> idleServers;
    const DeveloperTool* docker = nullptr;
    std::vector<const ProcessGroup*> busyGroups;
    std::vector<SlownessFinding> found;

    bool raised(std::string_view id) const {
        return std::any_of(found.begin(), found.end(), [&](const auto& f) { return f.id == id; });
    }
};

Context select(const SlownessInputs& in) {
    Context c{in, {}, {}, nullptr, {}, {}};
    for (const auto& group : in.groups) {
        if (!group.isSystemService) c.userGroups.push_back(&group);
    }
    for (const auto& tool : in.developerTools) {
        const auto idle = in.idleTimes.find(tool.id);
        if (tool.kind == DeveloperTool::Kind::devServer && idle != in.idleTimes.end() && idle->second >= idleServer &&
            tool.memoryBytes >= kIdleServerBytes)
            c.idleServers.push_back(tool);
        if (tool.kind == DeveloperTool::Kind::containers && !c.docker) c.docker = &tool;
    }
    for (const auto* group : c.userGroups) {
        if (group->cpuPercent >= kBusyPercent) c.busyGroups.push_back(group);
    }
    std::stable_sort(c.busyGroups.begin(), c.busyGroups.end(),
                     [](const auto* a, const auto* b) { return a->cpuPercent > b->cpuPercent; });
    return c;
}

void add(Context& c, std::string id, Level level, std::string symbol, std::string title, std::string detail,
         std::optional<Fix> fix = std::nullopt, std::optional<std::string> fixTitle = std::nullopt) {
    c.found.push_back({std::move(id), level, std::move(symbol), std::move(title), std::move(detail), std::move(fix),
                       std::move(fixTitle)});
}

// The owning tool's title, else the group's own name.
std::string nameOf(const ProcessGroup& group, const std::vector<DeveloperTool>& tools) {
    const auto tool = owner(group, tools);
    return tool ? tool->title : group.name;
}

std::int64_t memoryOf(const std::vector<DeveloperTool>& tools) {
    return std::accumulate(tools.begin(), tools.end(), std::int64_t(0),
                           [](std::int64_t sum, const auto& tool) { return sum + tool.memoryBytes; });
}

template <class Item, class Text>
std::string joined(const std::vector<Item>& items, std::size_t limit, Text text) {
    std::string out;
    for (std::size_t i = 0; i < items.size() && i < limit; ++i) out += (i ? ", " : "") + text(items[i]);
    return out;
}

// A command's CPU percent; 0 when it is not running.
double readingOf(const std::map<std::string, double>& cpu, const std::string& name) {
    const auto found = cpu.find(name);
    return found != cpu.end() ? found->second : 0;
}

void heat(Context& c) {
    if (c.in.heat != SlownessInputs::Heat::hot && c.in.heat != SlownessInputs::Heat::critical) return;
    std::string detail = "The system is slowing the processor down to cool it off.";
    if (c.busyGroups.empty())
        return add(c, "heat", Level::serious, "thermometer.high", "Your computer is running hot", detail);
    const ProcessGroup& busiest = *c.busyGroups.front();
    const auto& tools = c.in.developerTools;
    detail += " The busiest app is " + nameOf(busiest, tools) + ", at " + percent(busiest.cpuPercent) + " of a core.";
    add(c, "heat", Level::serious, "thermometer.high", "Your computer is running hot", detail, fixFor(busiest, tools),
        fixTitle(busiest, tools));
}

std::string memoryDetail(const Context& c) {
    const auto& memory = c.in.memory;
    std::string detail = "The system is compressing " + ByteFormat::memory(memory.compressed);
    detail += memory.swapUsed > 0 ? " and swapping " + ByteFormat::memory(memory.swapUsed) + " to disk." : ".";
    if (c.userGroups.empty()) return detail;
    auto largest = c.userGroups;
    std::stable_sort(largest.begin(), largest.end(),
                     [](const auto* a, const auto* b) { return a->memoryBytes > b->memoryBytes; });
    return detail + " Using the most: " +
           joined(largest, 3,
                  [](const auto* group) { return group->name + " (" + ByteFormat::memory(group->memoryBytes) + ")"; }) +
           ".";
}

void memory(Context& c) {
    const auto pressure = c.in.memory.pressure;
    if (pressure == MemorySnapshot::Pressure::normal) return;
    const bool critical = pressure == MemorySnapshot::Pressure::critical;
    const Level level = critical ? Level::serious : Level::notable;
    const std::string title = critical ? "Memory is critically low" : "Memory is under pressure";
    const std::string detail = memoryDetail(c);
    const auto& idle = c.idleServers;
    if (!idle.empty()) {
        const std::string freeing = ", freeing " + ByteFormat::memory(memoryOf(idle));
        const std::string what =
            idle.size() == 1 ? idle.front().title : std::to_string(idle.size()) + " idle dev servers";
        return add(c, "memory", level, "memorychip", title, detail, Fix::Stop{idle}, "Stop " + what + freeing);
    }
    if (c.docker && c.docker->memoryBytes >= kDockerFixBytes)
        return add(c, "memory", level, "memorychip", title, detail, Fix::Stop{{*c.docker}},
                   "Quit Docker Desktop, freeing " + ByteFormat::memory(c.docker->memoryBytes));
    if (c.userGroups.empty()) return add(c, "memory", level, "memorychip", title, detail);
    const ProcessGroup& largest =
        **std::max_element(c.userGroups.begin(), c.userGroups.end(),
                           [](const auto* a, const auto* b) { return a->memoryBytes < b->memoryBytes; });
    const auto& tools = c.in.developerTools;
    add(c, "memory", level, "memorychip", title, detail, fixFor(largest, tools), fixTitle(largest, tools));
}

void disk(Context& c) {
    if (!c.in.disk) return;
    const DiskUsage& disk = *c.in.disk;
    const std::int64_t threshold = disk.total >= kLargeVolume ? disk.total / 20 : kSmallVolumeThreshold;
    if (disk.available >= threshold) return;
    const std::int64_t safe = c.in.safeBytes;
    std::string detail = "Only " + ByteFormat::string(disk.available) +
                         " is left. The system needs free space to swap memory and for apps to work in.";
    if (safe > 0) detail += " Tidra found " + ByteFormat::string(safe) + " it can clean safely.";
    add(c, "disk", disk.available < kSeriousDiskBytes ? Level::serious : Level::notable, "internaldrive",
        "Your disk is almost full", detail, Fix::OpenCleanup{},
        safe > 0 ? "Clean " + ByteFormat::string(safe) : "Open Cleanup");
}

void processor(Context& c) {
    const auto& tools = c.in.developerTools;
    std::vector<std::string> keys;
    for (const auto* group : c.busyGroups) {
        if (keys.size() == kMaximumProcessorFindings) return;
        // The heat finding already names the busiest group.
        if (c.raised("heat") && group->id == c.busyGroups.front()->id) continue;
        const auto tool = owner(*group, tools);
        const std::string key = tool ? tool->id : group->id;
        if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
        keys.push_back(key);
        const double value = tool ? std::max(group->cpuPercent, tool->cpuPercent) : group->cpuPercent;
        add(c, "cpu." + key, value >= kSeriousPercent ? Level::serious : Level::notable, "cpu",
            nameOf(*group, tools) + " is keeping the processor busy",
            "It is using " + percent(value) +
                " of a core right now. A computer slows down when a few apps take most of the processor.",
            fixFor(*group, tools), fixTitle(*group, tools));
    }
}

void indexing(Context& c) {
    // The original platform's indexer, then this one's (GNOME's Tracker, KDE's Baloo).
    double cpu = 0;
    for (const auto* name : {"mds", "mds_stores", "mdworker", "mdworker_shared", "mdsync", "tracker-miner-fs-3",
                             "tracker-extract-3", "baloo_file", "baloo_file_extractor"})
        cpu += readingOf(c.in.systemCPU, name);
    if (cpu < kIndexingPercent) return;
    add(c, "spotlight", Level::notable, "magnifyingglass", "File indexing is running",
        "It reads new and changed files so search can find them, which takes processor time and finishes by itself. "
        "Build folders such as node_modules get indexed too; adding your projects folder to the indexer's excluded "
        "folders stops that.",
        Fix::OpenSettings{std::string(spotlight)}, "Open File Search Settings");
}

void backup(Context& c) {
    if (!c.in.timeMachineRunning) return;
    add(c, "timemachine", Level::info, "clock.arrow.circlepath", "A backup is running",
        "It reads your files in the background, which can slow the disk for a while. It finishes by itself.");
}

void lowPower(Context& c) {
    if (!c.in.lowPowerMode) return;
    add(c, "lowpower", Level::notable, "battery.25percent", "Low Power Mode is on",
        "The system slows the computer down on purpose to make the battery last longer.",
        Fix::OpenSettings{std::string(battery)},
        "Open Battery Settings");
}

void idleServers(Context& c) {
    const auto& idle = c.idleServers;
    // The memory finding already offers to stop them.
    if (idle.empty() || c.raised("memory")) return;
    const bool one = idle.size() == 1;
    const std::string named = joined(idle, 2, [&](const DeveloperTool& tool) {
        return tool.title + " (idle " + duration(c.in.idleTimes.at(tool.id)) + ")";
    });
    add(c, "idle", Level::notable, "moon.zzz",
        one ? "A dev server is sitting idle" : std::to_string(idle.size()) + " dev servers are sitting idle",
        "Nothing has connected to them and nothing in their folders has changed, yet they hold " +
            ByteFormat::memory(memoryOf(idle)) + ": " + named + ".",
        Fix::Stop{idle}, one ? "Stop It" : "Stop Them");
}

void docker(Context& c) {
    if (!c.docker || c.docker->memoryBytes < kDockerFindingBytes) return;
    const std::string& id = c.docker->id;
    const bool alreadyStopped = std::any_of(c.found.begin(), c.found.end(), [&](const SlownessFinding& f) {
        if (!f.fix) return false;
        const auto& tools = f.fix->stoppedTools();
        return std::any_of(tools.begin(), tools.end(), [&](const auto& tool) { return tool.id == id; });
    });
    if (alreadyStopped) return;
    const bool calm = c.in.memory.pressure == MemorySnapshot::Pressure::normal;
    add(c, "docker", calm ? Level::info : Level::notable, "shippingbox",
        "Docker Desktop is holding " + ByteFormat::memory(c.docker->memoryBytes),
        "Its virtual machine keeps that memory even when no container is running.", Fix::Stop{{*c.docker}},
        "Quit Docker Desktop");
}

void display(Context& c) {
    // The original platform's display server, then this one's X servers and compositors.
    double busiest = 0;
    for (const auto* name : {"WindowServer", "Xorg", "Xwayland", "gnome-shell", "kwin_wayland", "kwin_x11"})
        busiest = std::max(busiest, readingOf(c.in.systemCPU, name));
    if (busiest < kDisplayPercent) return;
    add(c, "windowserver", Level::info, "macwindow.on.rectangle", "The display is busy drawing",
        "WindowServer, which draws everything on screen, is working hard. Many windows, animations or a large "
        "external display can do this.");
}

SlownessFinding fine() {
    return {"fine",
            Level::fine,
            "checkmark.circle",
            "Nothing is slowing your computer down right now",
            "Memory pressure is normal, no app is hogging the processor, and the disk has room. If it felt slow a "
            "moment ago, it may have been a passing burst of work.",
            std::nullopt,
            std::nullopt};
}

} // namespace

std::vector<SlownessFinding> findings(const SlownessInputs& inputs) {
    Context c = select(inputs);
    for (auto step : {heat, memory, disk, processor, indexing, backup, lowPower, idleServers, docker, display}) step(c);
    if (c.found.empty()) return {fine()};
    std::stable_sort(c.found.begin(), c.found.end(), [](const auto& a, const auto& b) { return a.level > b.level; });
    return std::move(c.found);
}

} // namespace tidra::SlownessCheck
