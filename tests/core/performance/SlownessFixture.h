#pragma once

#include "performance/SlownessFinding.h"
#include "performance/SlownessInputs.h"

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tidra::test {

constexpr std::int64_t kMB = 1'000'000;

// A group that is not a bundle: its id is its name, its main pid the first of `pids`.
ProcessGroup group(std::string name, double cpu, std::int64_t memory, std::vector<pid_t> pids,
                   bool systemService = false);

DeveloperTool tool(std::string id, DeveloperTool::Kind kind, std::string title, std::vector<pid_t> pids,
                   std::int64_t memory, double cpu = 0);

// "-" for none, else "stop <tool ids>", "quit <group id>", "settings <url>" or "cleanup".
std::string describe(const std::optional<SlownessFinding::Fix>& fix);

} // namespace tidra::test
