#pragma once

#include "cleanup/CleanReport.h"
#include "cleanup/CleanupItem.h"
#include "models/AppModel.h"
#include "models/CleanSummary.h"

#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Every text and figure the Cleanup screen shows, as pure functions of the model's values.
namespace tidra::CleanupTexts {

using Phase = AppModel::CleanupPhase;

// What the card area shows: the list, "Nothing to clean", or the scan's progress.
enum class Content { list, nothingToClean, looking };
Content content(Phase phase, bool hasVisibleItems, bool hasSummary);

// The footer's status: "Measuring 3 of 12…" while idle or scanning, "Cleaning Xcode caches…"
// while cleaning, the selection count when ready.
QString footerStatus(Phase phase, int measured, int total, int selected, const std::optional<QString>& cleaningTitle);
bool footerShowsProgress(Phase phase);
// The note shown while Docker is not running: where its data sits and who can tidy it.
QString dockerNotRunning();
// The Trash notice's detail while the home folder, which holds the Trash, cannot be read.
QString trashHiddenDetail();
bool canClean(Phase phase, int selected);
// While the weekly automatic clean holds the removal gate (the screen itself is ready): why
// Clean waits, "Waiting for the weekly automatic clean to finish…"; else nothing.
std::optional<QString> waitingStatus(Phase phase, bool gateHeld);
bool canRescan(Phase phase);
// The selection's total; nothing when it is 0.
std::optional<QString> selectionTotal(std::int64_t bytes);

// The ids "Select All" acts on: the items that need no administrator, in order.
std::vector<std::string> selectableIds(const std::vector<CleanupItem>& items);
// The measured bytes of `items`, unmeasured ones counting 0.
std::int64_t totalBytes(const std::vector<CleanupItem>& items, const std::map<std::string, SizeResult>& sizes);

bool isTrash(const CleanupItem& item);
// The row's second line: the consequence, behind an administrator prefix for admin items.
QString consequence(const CleanupItem& item);
// Whether an admin item is removed here behind the password prompt rather than by hand.
bool cleansWithPassword(const CleanupItem& item);
// "sudo rm -rf " and each path quoted for a POSIX shell, for people to paste.
QString adminCommand(const std::vector<std::string>& paths);

// Where a clean of some items sends their measured bytes.
struct Destinations {
  // Erased for good by permanent actions.
  std::int64_t forGood = 0;
  // Moved to the Trash, so they can still be put back.
  std::int64_t toTrash = 0;
  bool anyForGood = false;
  bool anyToTrash = false;
};
Destinations destinations(const std::vector<CleanupItem>& items, const std::map<std::string, SizeResult>& sizes);

// The confirmation: "Clean 4.2 GB?" over what is erased for good ("Move 96 MB to the Trash?"
// when nothing is), and what goes for good and what to the Trash, with their amounts.
QString confirmationTitle(const Destinations& going);
QString confirmationMessage(const Destinations& going);
bool allToTrash(const std::vector<CleanupItem>& items);

// The banner after a clean.
QString summaryTitle(const CleanSummary& summary);
// `unrecorded`: why the history could not take the clean, when it could not.
std::optional<QString> summaryDetail(const CleanSummary& summary,
                                     const std::optional<std::string>& unrecorded = std::nullopt);
QString failureCount(std::size_t count);
QString failureLine(const CleanReport::Failure& failure, const std::string& home);

}  // namespace tidra::CleanupTexts
