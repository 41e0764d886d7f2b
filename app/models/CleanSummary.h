#pragma once

#include "cleanup/CleanReport.h"

#include <cstdint>
#include <vector>

namespace tidra {

// The outcome of one clean, shown as the cleanup banner. Replaced whole, never compared.
// All three byte counts are at least 0.
struct CleanSummary {
  // Freed for good by permanent actions (delete, empty, run a tool, remove a worktree).
  std::int64_t freed = 0;
  // Moved to the Trash: still on disk until the Trash is emptied.
  std::int64_t trashed = 0;
  // Gained inside Docker's own disk by its prune items; also counted in `freed`.
  std::int64_t insideDocker = 0;
  // Every path the cleaner could not remove, in item order, then the cleaner's order.
  std::vector<CleanReport::Failure> failures;
};

}  // namespace tidra
