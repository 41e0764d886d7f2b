#include "files/KeeperOrder.h"

#include "files/UnicodeText.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace tidra::DuplicateFinder {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The name without its last extension; a leading dot starts no extension (".profile").
std::string_view stem(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return name;
    return name.substr(0, dot);
}

// Strips trailing ASCII digits; false when there were none.
bool dropDigits(std::string_view& text) {
    const auto before = text.size();
    while (!text.empty() && isDigit(text.back())) text.remove_suffix(1);
    return text.size() < before;
}

bool endsWithCopyWord(std::string_view text) {
    if (text.ends_with(" copy")) return true;
    return dropDigits(text) && text.ends_with(" copy ");
}

bool endsWithNumberInParentheses(std::string_view text) {
    if (!text.ends_with(')')) return false;
    text.remove_suffix(1);
    return dropDigits(text) && text.ends_with(" (");
}

struct KeeperKey {
    bool inDownloads;
    bool copyLike;
    std::chrono::system_clock::time_point created;
    std::int64_t characters;
    std::string composedPath;
    // Two spellings of one name (composed and decomposed) may sit side by side.
    std::string path;

    auto operator<=>(const KeeperKey&) const = default;
};

KeeperKey keyOf(const DuplicateFile& file, const std::string& downloads) {
    return {file.path.starts_with(downloads), looksLikeACopy(file.name()), file.created,
            UnicodeText::characterCount(file.path), UnicodeText::composed(file.path), file.path};
}

} // namespace

bool looksLikeACopy(std::string_view name) {
    const auto text = stem(name);
    return endsWithCopyWord(text) || endsWithNumberInParentheses(text);
}

std::vector<DuplicateFile> keeperFirst(std::vector<DuplicateFile> files, const std::string& home) {
    const std::string downloads = home + "/Downloads/";
    std::vector<std::pair<KeeperKey, DuplicateFile>> keyed;
    keyed.reserve(files.size());
    for (auto& file : files) keyed.emplace_back(keyOf(file, downloads), std::move(file));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    files.clear();
    for (auto& [key, file] : keyed) files.push_back(std::move(file));
    return files;
}

std::vector<DuplicateGroup> orderGroups(std::vector<DuplicateGroup> groups) {
    std::vector<std::pair<std::int64_t, DuplicateGroup>> keyed;
    keyed.reserve(groups.size());
    for (auto& group : groups) keyed.emplace_back(group.reclaimable(), std::move(group));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return std::tie(b.first, b.second.hash) < std::tie(a.first, a.second.hash);
    });
    groups.clear();
    for (auto& [reclaimable, group] : keyed) groups.push_back(std::move(group));
    return groups;
}

} // namespace tidra::DuplicateFinder
