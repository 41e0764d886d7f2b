#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupRecord.h"
#include "cleanup/PathGuard.h"

#include <string>
#include <vector>

namespace tidra {

// What one move to the Trash did with each path. The cleaner's own report cannot tell a path
// it moved from one that had already vanished, and only the moved ones may be counted as freed.
struct TrashOutcome {
  // Paths now in the Trash, in the order given.
  std::vector<std::string> moved;
  // Paths that were no longer there when their turn came.
  std::vector<std::string> vanished;
  // Paths the guard refused or the move failed for, with the reason.
  std::vector<CleanReport::Failure> failures;
  // How the moved entries lie in the Trash, for the history to recognise them there.
  std::vector<TrashedFile> movedFiles{};

  bool operator==(const TrashOutcome&) const = default;
};

// Moves each path to the Trash through the cleaner, one at a time, so every path lands in
// exactly one of the three lists. Blocks; safe on any thread.
TrashOutcome trashEach(const PathGuard& guardian, const std::vector<std::string>& paths);

}  // namespace tidra
