#include "apps/SystemAppSizes.h"

#include "fs/SizeScanner.h"
#include "platform/PathText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <climits>
#include <cstdlib>

namespace tidra::SystemAppSizes {
namespace {

using namespace std::chrono_literals;

std::optional<std::string> ask(const LinuxApps::Runner& run, const std::string& tool,
                               const std::vector<std::string>& arguments) {
    const auto output = run(tool, arguments, {{"LC_ALL", "C"}}, 20s);
    if (!output || !output->succeeded()) return std::nullopt;
    return output->standardOutput;
}

// "code: /usr/share/applications/code.desktop" names the owner; "a, b: path" several, of
// which the first will do; a "diversion by" line names none.
std::optional<std::string> owner(const std::string& listing, const std::string& path) {
    const std::string tail = ": " + path;
    for (std::size_t start = 0; start < listing.size();) {
        auto end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        const std::string line = listing.substr(start, end - start);
        start = end + 1;
        if (!line.ends_with(tail) || line.starts_with("diversion by ")) continue;
        const std::string packages = line.substr(0, line.size() - tail.size());
        const std::string first = packages.substr(0, packages.find(", "));
        if (!first.empty() && first.find(' ') == std::string::npos) return first;
    }
    return std::nullopt;
}

std::optional<std::int64_t> packageBytes(const InstalledApp& app, const Places& places,
                                         const LinuxApps::Runner& run) {
    const auto listing = ask(run, places.dpkgQuery, {"--search", "--", app.path});
    const auto package = listing ? owner(*listing, app.path) : std::nullopt;
    if (!package) return std::nullopt;
    const auto size = ask(run, places.dpkgQuery, {"--show", "--showformat=${Installed-Size}", "--", *package});
    std::int64_t kib = 0;
    if (!size || size->empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(size->data(), size->data() + size->size(), kib);
    if (error != std::errc() || (end != size->data() + size->size() && *end != '\n') || kib <= 0) return std::nullopt;
    return kib * 1024;
}

// A snap's desktop entry is "<name>_<app>.desktop".
std::optional<std::int64_t> snapBytes(const InstalledApp& app, const Places& places) {
    const std::string entry(sys::PathText::lastComponent(app.path));
    const auto underscore = entry.find('_');
    if (underscore == std::string::npos || underscore == 0) return std::nullopt;
    const std::string name = entry.substr(0, underscore);
    char revision[PATH_MAX];
    const auto length = ::readlink((places.snapMounts + "/" + name + "/current").c_str(), revision, sizeof revision);
    if (length <= 0) return std::nullopt;
    struct stat st {};
    const std::string file = places.snaps + "/" + name + "_" + std::string(revision, std::size_t(length)) + ".snap";
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return std::int64_t(st.st_size);
}

std::optional<std::int64_t> flatpakBytes(const InstalledApp& app) {
    char active[PATH_MAX];
    if (!::realpath((app.path + "/current/active").c_str(), active)) return std::nullopt;
    const auto measured = SizeScanner::measure({active}, [] { return false; });
    return measured.bytes > 0 ? std::optional(measured.bytes) : std::nullopt;
}

} // namespace

std::optional<std::int64_t> bytes(const InstalledApp& app, const Places& places, const LinuxApps::Runner& run) {
    switch (app.kind) {
    case AppKind::systemPackage: return packageBytes(app, places, run);
    case AppKind::snap: return snapBytes(app, places);
    case AppKind::systemFlatpak: return flatpakBytes(app);
    default: return std::nullopt;
    }
}

} // namespace tidra::SystemAppSizes
