#pragma once

#include "cleanup/CleanupCatalog.h"

#include <chrono>

namespace tidra::CleanupCatalog {

// The assistants builder as run at time `now`: Claude Code transcripts modified more than 30
// days before `now` (strictly) become one item with the folders of the same name beside them,
// and Chrome's on-device model another. `assistants` runs it at the current time.
void assistantsAt(Builder& builder, std::chrono::system_clock::time_point now);

} // namespace tidra::CleanupCatalog
