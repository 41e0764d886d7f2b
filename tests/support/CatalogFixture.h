#pragma once

#include "cleanup/CleanupCatalog.h"

#include <functional>
#include <string>
#include <vector>

namespace tidra::test {

// An environment over `home` whose probes report nothing: no apps, simulators, npm files,
// root Yarn cache, Docker or tool items.
CleanupEnvironment quietEnvironment(const std::string& home);

// A fresh catalog builder over `env` after running `step` on it: its items in the order added
// and its claimed paths.
CleanupCatalog::Builder runStep(const std::function<void(CleanupCatalog::Builder&)>& step, CleanupEnvironment env);

// The ids of `items`, in order.
std::vector<std::string> idsOf(const std::vector<CleanupItem>& items);

} // namespace tidra::test
