#include "services/TrashMove.h"

#include "cleanup/Cleaner.h"

namespace tidra {

TrashOutcome trashEach(const PathGuard& guardian, const std::vector<std::string>& paths) {
  const Cleaner cleaner(guardian);
  TrashOutcome outcome;
  for (const auto& path : paths) {
    auto report = cleaner.perform(CleanupAction::Trash{{path}});
    if (!report.failures.empty())
      outcome.failures.insert(outcome.failures.end(), report.failures.begin(), report.failures.end());
    else if (report.removed > 0)
      outcome.moved.push_back(path);
    else
      outcome.vanished.push_back(path);
  }
  return outcome;
}

}  // namespace tidra
