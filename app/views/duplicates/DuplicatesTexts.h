#pragma once

#include "cleanup/CleanReport.h"
#include "files/DuplicateFinder.h"
#include "files/DuplicateGroup.h"
#include "files/SimilarPhotoFinder.h"
#include "files/SimilarPhotoGroup.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Every text and figure the Duplicates screen shows, as pure functions of the models' values.
namespace tidra::DuplicatesTexts {

using Date = std::chrono::system_clock::time_point;

// The minimum-size choices, in decimal units: "1 MB", "10 MB", "100 MB".
struct Threshold {
  QString label;
  std::int64_t bytes;
};
const std::vector<Threshold>& thresholds();
// The choice holding `bytes`; the first when none does.
int thresholdIndex(std::int64_t bytes);

// The confirmation titles: "Move "name" to the Trash?" for one, else "Move 3 files to the
// Trash?" ("photos" on the similar side).
QString identicalQuestion(const std::vector<DuplicateFile>& selected);
QString similarQuestion(const std::vector<SimilarPhoto>& selected);
// "12 MB is freed when you empty the Trash, and you can put them back until then." ("it" for
// `count` 1), plus a warning when `lost` sets would keep no copy; `noun` "file" words it for
// identical files, anything else for sets of photos.
QString trashMessage(std::int64_t freed, int lost, const QString& noun, std::size_t count);

// The progress lines of the two searches, counts with digit grouping.
QString identicalProgress(const DuplicateFinder::Stage& stage);
QString similarProgress(const SimilarPhotoFinder::Stage& stage);

// Footers: "12 sets, 3.4 GB in extra copies", "12 sets, 3.4 GB besides the best" and "5 selected,
// 1.2 GB", with the summaries' tooltips. Nothing is freed before the Trash is emptied, so none of
// them speaks of freeing but the tooltips, which say when.
QString setsSummary(std::size_t sets, std::int64_t bytes);
QString photoSetsSummary(std::size_t sets, std::int64_t bytes);
QString selectionSummary(std::size_t selected, std::int64_t bytes);
QString extraCopiesHelp();
QString besidesTheBestHelp();
// The note under the list when the search could not read some folders; nothing when it read all.
std::optional<QString> unreadableNote(std::int64_t folders);

// Set headers: "3 copies", "12.5 MB each", "4 photos", "8 MB besides the best".
QString copiesBadge(std::size_t count);
QString eachSize(std::int64_t bytes);
QString photosBadge(std::size_t count);
QString besidesTheBest(std::int64_t bytes);
// A copy's note when another name outside the search keeps its data, so moving it frees nothing.
std::optional<QString> linksNote(const DuplicateFile& file);
// A photo tile's caption: "4032 × 3024 · 3.1 MB".
QString photoCaption(const SimilarPhoto& photo);
// A set card's title: the first photo's date and time of day; empty for an empty set.
QString setTitle(const SimilarPhotoGroup& group);
// What decides the photo to keep: the "Best" mark's tooltip and the similar footer's note.
QString bestMarkHelp();
QString keepBestHelp();
// The photo menu's entry that opens the preview window: "Preview".
QString previewAction();

// The failure notice: "3 could not be moved to the Trash", and the first failure as
// "~/path: reason" (nothing without failures).
QString failureTitle(std::size_t count);
std::optional<QString> failureDetail(const std::vector<CleanReport::Failure>& failures, const std::string& home);

// The identical sets on show: those of at least `threshold` bytes, in model order.
std::vector<const DuplicateGroup*> shownSets(const std::vector<DuplicateGroup>& groups, std::int64_t threshold);
// What moving the selected files of the shown sets frees, clone-aware within each set.
std::int64_t identicalFreed(const std::vector<DuplicateGroup>& groups, std::int64_t threshold,
                            const std::set<std::string>& selection);
std::int64_t identicalReclaimable(const std::vector<DuplicateGroup>& groups, std::int64_t threshold);
std::int64_t similarFreed(const std::vector<SimilarPhotoGroup>& groups, const std::set<std::string>& selection);

}  // namespace tidra::DuplicatesTexts
