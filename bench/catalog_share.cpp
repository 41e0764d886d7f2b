// How much of what a home could give back the cleanup catalog offers, and how long a catalog
// build takes. The catalog is built over the live environment (HOME and the XDG folders as the
// caller set them; the machine's npm files and root Yarn caches left out), every item is
// measured, and the items at or above their minimum size count as offered. A list of
// reclaimable paths (relative to the home folder, one a line) is the truth to compare with:
// a reclaimable path counts whole when an offered path is it or holds it, else by the offered
// paths inside it.
//
//   catalog_share [--reclaimable FILE] [--rounds N]
#include <algorithm>
#include "BenchSupport.h"

#include "cleanup/CleanupCatalog.h"
#include "fs/SizeScanner.h"

#include <cinttypes>

namespace {

using namespace tidra;

std::int64_t bytesOf(const std::vector<std::string>& paths) {
    return SizeScanner::measure(paths, [] { return false; }).bytes;
}

bool atOrInside(const std::string& path, const std::string& folder) {
    return path == folder || path.starts_with(folder + "/");
}

std::vector<std::string> readLines(const std::string& file, const std::string& home) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(home + "/" + line);
    return lines;
}

// The offered paths, after printing each item with its size.
std::vector<std::string> offeredPaths(const std::vector<CleanupItem>& items, const std::string& home) {
    std::vector<std::string> offered;
    std::int64_t total = 0;
    for (const auto& item : items) {
        const std::int64_t bytes = item.measure().bytes;
        const bool shown = bytes >= item.minimumBytesToShow;
        std::printf("  %-40s %12" PRId64 " %s\n", item.id.c_str(), bytes, shown ? "" : "(below its minimum)");
        if (!shown) continue;
        total += bytes;
        for (const auto& path : item.action.paths()) offered.push_back(path);
    }
    std::printf("offered: %" PRId64 " bytes in %zu items (home %s)\n", total, items.size(), home.c_str());
    return offered;
}

void compare(const std::vector<std::string>& offered, const std::vector<std::string>& reclaimable, std::size_t cut) {
    std::int64_t all = 0, covered = 0;
    for (const auto& r : reclaimable) {
        const std::int64_t bytes = bytesOf({r});
        std::vector<std::string> inside;
        bool whole = false;
        for (const auto& o : offered) {
            whole = whole || atOrInside(r, o);
            if (o.starts_with(r + "/")) inside.push_back(o);
        }
        const std::int64_t got = whole ? bytes : bytesOf(inside);
        all += bytes;
        covered += got;
        std::printf("  %-60s %12" PRId64 " %12" PRId64 "\n", r.substr(cut).c_str(), bytes, got);
    }
    for (const auto& o : offered)
        if (std::none_of(reclaimable.begin(), reclaimable.end(),
                         [&](const std::string& r) { return atOrInside(o, r) || atOrInside(r, o); }))
            std::printf("  offered beyond the reclaimable list: %s\n", o.substr(cut).c_str());
    std::printf("reclaimable: %" PRId64 " bytes, offered of it: %" PRId64 " bytes, share %.1f %%\n", all, covered,
                all > 0 ? 100.0 * double(covered) / double(all) : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    const bench::Flags flags(argc, argv);
    auto env = CleanupEnvironment::live();
    env.globalNpmConfigFiles = {};
    env.rootYarnCaches = {};
    std::vector<CleanupItem> items;
    std::vector<double> seconds;
    for (int round = 0; round < flags.count("--rounds", 5); ++round)
        seconds.push_back(bench::measureHere([&] { items = CleanupCatalog::items(env); }).seconds);
    std::sort(seconds.begin(), seconds.end());
    const double ms = seconds.empty() ? 0 : seconds[seconds.size() / 2] * 1000;
    std::printf("catalog build: %.2f ms (median), %zu items\n", ms, items.size());
    const std::string list = flags.text("--reclaimable");
    if (list.empty()) return 0;
    const auto offered = offeredPaths(items, env.home);
    compare(offered, readLines(list, env.home), env.home.size() + 1);
    return 0;
}
