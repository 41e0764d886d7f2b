#pragma once

#include "cleanup/CleanupItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tidra {

// Bytes Docker could give back, per kind.
struct DockerUsage {
    std::int64_t containers = 0;
    std::int64_t images = 0;
    std::int64_t volumes = 0;
    std::int64_t buildCache = 0;

    bool operator==(const DockerUsage&) const = default;
};

// Docker's state as its command-line tool reports it.
struct DockerStatus {
    // The tool at `cli` answered its disk-usage report.
    struct Running {
        std::string cli;
        DockerUsage usage;
        bool operator==(const Running&) const = default;
    };
    // No candidate path holds an executable tool.
    struct NotInstalled {
        bool operator==(const NotInstalled&) const = default;
    };
    // A tool exists but its report failed, timed out, exited non-zero or held no usable line.
    struct NotRunning {
        bool operator==(const NotRunning&) const = default;
    };

    std::variant<Running, NotInstalled, NotRunning> value;

    bool operator==(const DockerStatus&) const = default;
};

namespace Docker {

// Where the tool usually lives, in the order they are tried.
std::vector<std::string> cliCandidates(const std::string& home);

// Runs "system df --format {{json .}}" with the first executable candidate (45 s limit).
// Blocks while the tool runs.
DockerStatus status(const std::vector<std::string>& cliCandidates);

// The figures of the report's JSON lines. Nothing when no line decodes; a later line of a
// kind replaces an earlier one; unknown kinds are passed over.
std::optional<DockerUsage> parseUsage(std::string_view report);

// Bytes of a size as the tool prints it ("1.2GB (50%)"): only the first word counts, decimal
// units kB/MB/GB/TB in any letter case, anything else counts bytes. An unreadable number or
// a product beyond the 64-bit range gives 0.
std::int64_t parseSize(std::string_view text);

// The four prune items of a running Docker, with their known sizes; none otherwise.
std::vector<CleanupItem> cleanupItems(const DockerStatus& status);

} // namespace Docker
} // namespace tidra
