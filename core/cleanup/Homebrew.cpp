#include "cleanup/Homebrew.h"

#include "cleanup/SizeText.h"
#include "platform/FileAccess.h"
#include "system/Shell.h"

#include <algorithm>
#include <chrono>
#include <map>

namespace tidra::Homebrew {
namespace {

constexpr std::chrono::seconds dryRunTimeout{180};
constexpr std::string_view phraseStart = "approximately ";

// Keeps the dry run from updating Homebrew first and from printing hints.
const std::map<std::string, std::string>& quietly() {
    static const std::map<std::string, std::string> variables{
        {"HOMEBREW_NO_AUTO_UPDATE", "1"},
        {"HOMEBREW_NO_ENV_HINTS", "1"},
    };
    return variables;
}

bool isNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Length of "approximately [0-9.]+\s*[KMGT]?B" at `at`, or 0 when it does not match there.
std::size_t matchLength(std::string_view text, std::size_t at) {
    std::size_t i = at + phraseStart.size();
    const std::size_t digits = i;
    while (i < text.size() && isNumberCharacter(text[i])) ++i;
    if (i == digits) return 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    if (i < text.size() && std::string_view("KMGT").find(text[i]) != std::string_view::npos) ++i;
    if (i >= text.size() || text[i] != 'B') return 0;
    return i + 1 - at;
}

std::optional<std::string_view> firstMatch(std::string_view text) {
    for (std::size_t at = text.find(phraseStart); at != std::string_view::npos; at = text.find(phraseStart, at + 1))
        if (const std::size_t length = matchLength(text, at)) return text.substr(at, length);
    return std::nullopt;
}

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

double binaryMultiplier(std::string_view unit) {
    if (unit == "KB") return 1024.0;
    if (unit == "MB") return 1024.0 * 1024;
    if (unit == "GB") return 1024.0 * 1024 * 1024;
    if (unit == "TB") return 1024.0 * 1024 * 1024 * 1024;
    return 1;
}

} // namespace

// The Linux places are those of Homebrew's "Homebrew on Linux" page: the shared prefix, or a
// prefix in the user's own home when the shared one cannot be had.
std::vector<std::string> toolLocations(const std::string& home) {
    return {"/opt/homebrew/bin/brew", "/usr/local/bin/brew", "/home/linuxbrew/.linuxbrew/bin/brew",
            home + "/.linuxbrew/bin/brew"};
}

std::optional<std::int64_t> parseEstimate(std::string_view text) {
    const auto match = firstMatch(text);
    if (!match) return std::nullopt;
    // Only blanks and tabs are trimmed: a unit after a line break reads as plain bytes.
    const auto number = SizeText::leadingNumber(trimBlanks(match->substr(phraseStart.size())));
    if (!number) return std::nullopt;
    return SizeText::scaled(number->value, binaryMultiplier(trimBlanks(number->rest)));
}

std::optional<CleanupItem> cleanupItem(const std::vector<std::string>& locations) {
    const auto tool = std::find_if(locations.begin(), locations.end(), sys::isExecutableFile);
    if (tool == locations.end()) return std::nullopt;
    const auto output = Shell::run(*tool, {"cleanup", "--dry-run"}, quietly(), dryRunTimeout);
    if (!output || !output->succeeded()) return std::nullopt;
    const auto estimate = parseEstimate(output->standardOutput + "\n" + output->standardError);
    if (!estimate || *estimate <= 0) return std::nullopt;
    return CleanupItem{"homebrew.oldVersions", "Homebrew: old versions", CleanupCategory::developerTools,
                       "None. Homebrew keeps them only so you could switch back.", Safety::safe,
                       CleanupAction::Run{*tool, {"cleanup"}, {}}, false, 1'000'000, *estimate};
}

} // namespace tidra::Homebrew
