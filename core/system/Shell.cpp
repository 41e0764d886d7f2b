#include "system/Shell.h"

#include "platform/ProcessRunner.h"
#include "system/Utf8.h"

#include <unistd.h>

namespace tidra::Shell {
namespace {

constexpr std::chrono::seconds terminationGrace{3};

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& overlay) {
    std::vector<std::string> merged;
    for (char** entry = ::environ; entry && *entry; ++entry) {
        const std::string_view variable(*entry);
        const auto name = variable.substr(0, variable.find('='));
        if (!overlay.contains(std::string(name))) merged.emplace_back(variable);
    }
    for (const auto& [name, value] : overlay) merged.push_back(name + "=" + value);
    return merged;
}

// A name with "=" (or none at all) would set some other variable than the one asked for.
bool validNames(const std::map<std::string, std::string>& overlay) {
    for (const auto& entry : overlay)
        if (entry.first.empty() || entry.first.find('=') != std::string::npos) return false;
    return true;
}

} // namespace

std::string Output::errorText() const {
    static constexpr const char* blanks = " \t\n\r\v\f";
    const auto first = standardError.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return standardError.substr(first, standardError.find_last_not_of(blanks) - first + 1);
}

std::optional<Output> run(const std::string& tool, const std::vector<std::string>& arguments,
                          const std::map<std::string, std::string>& environment,
                          std::chrono::milliseconds timeout) {
    if (!validNames(environment)) return std::nullopt;
    const auto result = sys::ProcessRunner::run({
        .tool = tool,
        .arguments = arguments,
        .environment = mergedEnvironment(environment),
        .timeout = timeout,
        .grace = terminationGrace,
    });
    if (!result) return std::nullopt;
    return Output{
        .status = result->status,
        .standardOutput = Utf8::repaired(result->standardOutput),
        .standardError = Utf8::repaired(result->standardError),
        .timedOut = result->timedOut,
    };
}

} // namespace tidra::Shell
