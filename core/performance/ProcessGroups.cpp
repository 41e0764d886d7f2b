#include "performance/ProcessGroups.h"

#include "platform/PathText.h"

#include <algorithm>
#include <array>
#include <map>

namespace tidra::ProcessGroups {
namespace {

struct Accumulator {
    std::string name;
    std::optional<std::string> bundlePath;
    std::vector<pid_t> pids;
    std::optional<pid_t> mainPID;
    std::int64_t memory = 0;
    double cpu = 0;
    bool isSystemService = true;
};

// The bundle up to the earliest marker, so the outermost bundle wins.
std::optional<std::string> bundleOf(std::string_view path);

// Where a process belongs: its own path, or its responsible process's when a system daemon
// works for an app, or when a plain program (a shell, a dev server's node) was started by an
// app bundle, such as an editor's or a terminal's shell: it is that app's work.
struct Owner {
    std::string_view path;
    bool throughResponsible = false;
};

Owner ownerOf(const ProcessSnapshot& p) {
    if (p.responsiblePath.empty() || isSystemService(p.responsiblePath)) return {p.path, false};
    if (isSystemService(p.path) || (!bundleOf(p.path) && bundleOf(p.responsiblePath))) return {p.responsiblePath, true};
    return {p.path, false};
}

// The bundle up to the earliest marker, so the outermost bundle wins.
std::optional<std::string> bundleOf(std::string_view path) {
    std::size_t best = std::string_view::npos, length = 0;
    for (const std::string_view marker : {std::string_view(".app/"), std::string_view(".app.bundle/")}) {
        const auto at = path.find(marker);
        if (at < best) best = at, length = marker.size();
    }
    if (best == std::string_view::npos) return std::nullopt;
    return std::string(path.substr(0, best + length - 1));
}

std::string bundleName(std::string_view bundlePath) {
    std::string_view name = sys::PathText::lastComponent(bundlePath);
    name.remove_suffix(name.ends_with(".app.bundle") ? 11 : 4);
    return std::string(name);
}

void add(Accumulator& record, const ProcessSnapshot& p, const Owner& owner, const std::optional<std::string>& bundle) {
    // A plain ".app" bundle names the group better than a ".app.bundle" of the same name.
    if (bundle && (!record.bundlePath || !record.bundlePath->ends_with(".app"))) record.bundlePath = bundle;
    record.pids.push_back(p.pid);
    record.memory += p.memoryBytes;
    record.cpu += p.cpuPercent;
    record.isSystemService = record.isSystemService && isSystemService(owner.path);
    if (bundle && !record.mainPID && !owner.throughResponsible && p.path.starts_with(*bundle + "/Contents/MacOS/"))
        record.mainPID = p.pid;
}

ProcessGroup finish(const std::string& id, Accumulator record) {
    const pid_t smallest = *std::min_element(record.pids.begin(), record.pids.end());
    return ProcessGroup{id,
                        std::move(record.name),
                        std::move(record.bundlePath),
                        std::move(record.pids),
                        record.mainPID.value_or(smallest),
                        record.memory,
                        record.cpu,
                        record.isSystemService};
}

} // namespace

std::vector<ProcessGroup> groups(const std::vector<ProcessSnapshot>& processes) {
    std::map<std::string, Accumulator> records;
    for (const ProcessSnapshot& p : processes) {
        const Owner owner = ownerOf(p);
        const auto bundle = bundleOf(owner.path);
        std::string name = bundle ? bundleName(*bundle)
                           : owner.path.empty() ? p.name
                                                : std::string(sys::PathText::lastComponent(owner.path));
        std::string id = bundle ? "app:" + name : name;
        auto [it, isNew] = records.try_emplace(std::move(id));
        if (isNew) it->second.name = std::move(name);
        add(it->second, p, owner, bundle);
    }
    std::vector<ProcessGroup> out;
    out.reserve(records.size());
    for (auto& [id, record] : records) out.push_back(finish(id, std::move(record)));
    std::stable_sort(out.begin(), out.end(), [](const ProcessGroup& a, const ProcessGroup& b) {
        return a.memoryBytes > b.memoryBytes;
    });
    return out;
}

bool isSystemService(std::string_view path) {
    static const std::array<std::string_view, 6> prefixes{
        "/usr/libexec/", "/usr/sbin/", "/sbin/", "/Library/Apple/", "/usr/lib/systemd/", "/lib/systemd/"};
    if (path.empty() || path.find("/System/Library/") != std::string_view::npos) return true;
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view prefix) { return path.starts_with(prefix); });
}

} // namespace tidra::ProcessGroups
