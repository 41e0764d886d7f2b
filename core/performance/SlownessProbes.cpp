// The command-line probes that fill the slowness check's inputs.
#include "performance/SlownessCheck.h"

#include "platform/PathText.h"
#include "platform/ProcReader.h"
#include "system/Shell.h"

#include <charconv>
#include <chrono>
#include <set>
#include <string_view>

namespace tidra::SlownessCheck {
namespace {

constexpr auto kProbeTimeout = std::chrono::seconds(10);

std::string_view trimmed(std::string_view text, std::string_view blanks) {
    const auto start = text.find_first_not_of(blanks);
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(blanks) - start + 1);
}

std::optional<double> number(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace

Run shellRun() {
    return [](const std::string& tool, const std::vector<std::string>& arguments) -> std::optional<std::string> {
        auto output = Shell::run(tool, arguments, {}, kProbeTimeout);
        // What a stopped tool printed may be cut anywhere; it counts as no answer.
        if (!output || output->timedOut) return std::nullopt;
        return std::move(output->standardOutput);
    };
}

std::map<std::string, double> parsePS(const std::string& text) {
    std::map<std::string, double> cpu;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = trimmed(rest.substr(0, end), " \t");
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto space = line.find(' ');
        if (space == std::string_view::npos) continue;
        const auto value = number(line.substr(0, space));
        const std::string_view command = trimmed(line.substr(space + 1), " \t");
        if (!value || command.empty()) continue;
        cpu[std::string(sys::PathText::lastComponent(command))] += *value;
    }
    return cpu;
}

bool backupRunning(const std::string& procRoot) {
    // Déjà Dup runs duplicity or restic underneath; borg and the others are run by hand or by
    // timers. Python tools show their script's name as the kernel's short name.
    static const std::set<std::string> tools = {"deja-dup", "borg", "restic", "duplicity"};
    const sys::ProcReader reader(procRoot);
    for (const pid_t pid : reader.pids())
        if (const auto stat = reader.stat(pid); stat && tools.contains(stat->comm)) return true;
    return false;
}

bool lowPowerMode(const Run& run) {
    const auto profile = run("/usr/bin/powerprofilesctl", {"get"});
    return profile && trimmed(*profile, " \t\r\n") == "power-saver";
}

SlownessInputs::Heat heat(sys::ThermalZones::Level level) {
    using Level = sys::ThermalZones::Level;
    using Heat = SlownessInputs::Heat;
    switch (level) {
    case Level::normal: return Heat::normal;
    case Level::warm: return Heat::warm;
    case Level::hot: return Heat::hot;
    case Level::critical: return Heat::critical;
    }
    return Heat::normal;
}

} // namespace tidra::SlownessCheck
