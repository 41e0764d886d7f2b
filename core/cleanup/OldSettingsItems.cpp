#include "cleanup/OldSettingsItems.h"

#include "cleanup/CatalogBuilders.h"
#include "platform/FileAccess.h"

#include <utf8proc.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

namespace tidra::CleanupCatalog {
namespace {

using PathAction = Builder::PathAction;

const std::string backupSuffix = "-backup";

struct VersionFolder {
    std::vector<std::int64_t> version;
    std::string name;
    bool isBackup;
};

bool isNumeric(utf8proc_int32_t c) {
    const auto category = utf8proc_category(c);
    return category == UTF8PROC_CATEGORY_ND || category == UTF8PROC_CATEGORY_NL || category == UTF8PROC_CATEGORY_NO;
}

std::size_t firstNumeric(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t c = 0;
        const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                             static_cast<utf8proc_ssize_t>(text.size() - at), &c);
        if (length > 0 && isNumeric(c)) return at;
        at += length > 0 ? std::size_t(length) : 1;
    }
    return std::string::npos;
}

std::optional<std::int64_t> decimal(std::string_view piece) {
    // One optional sign, "+" included, which from_chars does not take.
    if (piece.starts_with('+')) {
        piece.remove_prefix(1);
        if (piece.starts_with('-')) return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (error != std::errc() || end != piece.data() + piece.size()) return std::nullopt;
    return value;
}

std::vector<std::int64_t> versionNumbers(std::string_view text) {
    std::vector<std::int64_t> numbers;
    for (std::size_t start = 0; start <= text.size();) {
        const auto dot = std::min(text.find('.', start), text.size());
        if (const auto number = decimal(text.substr(start, dot - start))) numbers.push_back(*number);
        start = dot + 1;
    }
    return numbers;
}

std::string joined(const std::vector<std::int64_t>& version) {
    std::string text;
    for (const auto number : version) text.append(text.empty() ? "" : ".").append(std::to_string(number));
    return text;
}

// The version folders of the known IDEs in any of `roots`, by product, each product's in name
// order so that the catalog reads the same on every machine; a name found in several roots
// counts once.
std::map<std::string, std::vector<VersionFolder>> versionFolders(const std::vector<std::string>& roots) {
    std::set<std::string> names;
    for (const auto& root : roots)
        for (auto& name : sys::folderEntries(root).value_or(std::vector<std::string>{})) names.insert(std::move(name));
    std::map<std::string, std::vector<VersionFolder>> products;
    for (const auto& name : names) {
        const auto parsed = ideVersion(name);
        if (!parsed || !ideNames().contains(parsed->product)) continue;
        products[parsed->product].push_back({parsed->version, name, name.ends_with(backupSuffix)});
    }
    return products;
}

std::optional<std::vector<std::int64_t>> newestLive(const std::vector<VersionFolder>& folders) {
    std::optional<std::vector<std::int64_t>> newest;
    for (const auto& folder : folders)
        if (!folder.isBackup && (!newest || *newest < folder.version)) newest = folder.version;
    return newest;
}

bool hasItem(const Builder& b, const std::string& id) {
    return std::any_of(b.items.begin(), b.items.end(), [&](const CleanupItem& item) { return item.id == id; });
}

// A vendor's per-version folders: the designed settings folder, then the Linux configuration
// and data folders (JetBrains' "Directories used by the IDE" page; Android Studio's
// configuration folders, ~/.config/Google and ~/.local/share/Google); the newest version is
// judged over all of them. Logs stay in the designed place (on Linux they sit in the caches).
void addVendor(Builder& b, const std::string& vendor) {
    const std::string& home = b.env.home;
    const std::vector<std::string> roots{home + "/Library/Application Support/" + vendor, home + "/.config/" + vendor,
                                         home + "/.local/share/" + vendor};
    const std::string logs = home + "/Library/Logs/" + vendor;
    for (const auto& [product, folders] : versionFolders(roots)) {
        const auto newest = newestLive(folders);
        for (const auto& folder : folders) {
            if (!folder.isBackup && folder.version == newest) continue;
            // Both vendors may hold a folder of the same name; ids must stay unique.
            const std::string id = "ide." + folder.name;
            if (hasItem(b, id)) continue;
            const std::string title = ideNames().at(product) + " " + joined(folder.version) +
                                      (folder.isBackup ? " backup" : "") + " settings and logs";
            b.add({id, title, CleanupCategory::developerTools,
                   "Left behind by an update; the newer version copied what it needed. If you still run this "
                   "version, it starts fresh.",
                   Safety::review, 1'000'000},
                  PathAction::remove,
                  {roots[0] + "/" + folder.name, logs + "/" + folder.name, roots[1] + "/" + folder.name,
                   roots[2] + "/" + folder.name});
        }
    }
}

} // namespace

std::optional<IdeVersion> ideVersion(const std::string& name) {
    std::string stem = name;
    if (stem.ends_with(backupSuffix)) stem.resize(stem.size() - backupSuffix.size());
    const auto start = firstNumeric(stem);
    if (stem.empty() || start == std::string::npos || start == 0) return std::nullopt;
    auto version = versionNumbers(std::string_view(stem).substr(start));
    if (version.empty()) return std::nullopt;
    return IdeVersion{stem.substr(0, start), std::move(version)};
}

void oldSettings(Builder& b) {
    for (const char* vendor : {"Google", "JetBrains"}) addVendor(b, vendor);
}

} // namespace tidra::CleanupCatalog
