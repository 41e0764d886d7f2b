#include "cleanup/OldSettingsItems.h"

#include "cleanup/CatalogBuilders.h"
#include "platform/FileAccess.h"

#include <utf8proc.h>

#include <algorithm>
#include <charconv>
#include <map>

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

// The settings folders of the known IDEs in `root`, by product, each product's in name order
// so that the catalog reads the same on every machine.
std::map<std::string, std::vector<VersionFolder>> versionFolders(const std::string& root) {
    auto names = sys::folderEntries(root).value_or(std::vector<std::string>{});
    std::sort(names.begin(), names.end());
    std::map<std::string, std::vector<VersionFolder>> products;
    for (auto& name : names) {
        const auto parsed = ideVersion(name);
        if (!parsed || !ideNames().contains(parsed->product)) continue;
        const bool isBackup = name.ends_with(backupSuffix);
        products[parsed->product].push_back({parsed->version, std::move(name), isBackup});
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

void addVendor(Builder& b, const std::string& vendor) {
    const std::string root = b.env.home + "/Library/Application Support/" + vendor;
    const std::string logs = b.env.home + "/Library/Logs/" + vendor;
    for (const auto& [product, folders] : versionFolders(root)) {
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
                  PathAction::remove, {root + "/" + folder.name, logs + "/" + folder.name});
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
