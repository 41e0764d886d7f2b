#include "services/TrashMove.h"

#include "cleanup/Cleaner.h"
#include "cleanup/TrashedFiles.h"

namespace tidra {

TrashOutcome trashEach(const PathGuard& guardian, const std::vector<std::string>& paths) {
  const Cleaner cleaner(guardian);
  TrashOutcome outcome;
  for (const auto& path : paths) {
    // Read before the move: the move keeps the inode, whatever name the Trash gives it.
    const auto identity = TrashedFiles::of(path);
    auto report = cleaner.perform(CleanupAction::Trash{{path}});
    if (!report.failures.empty())
      outcome.failures.insert(outcome.failures.end(), report.failures.begin(), report.failures.end());
    else if (report.removed > 0) {
      outcome.moved.push_back(path);
      if (identity) outcome.movedFiles.push_back(*identity);
    } else
      outcome.vanished.push_back(path);
  }
  return outcome;
}

}  // namespace tidra
