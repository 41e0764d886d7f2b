#pragma once

#include "cleanup/CleanReport.h"
#include "files/LargeFile.h"

#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Every text and figure the Large Files screen shows, and the filter behind its list, as pure
// functions of the model's values.
namespace tidra::LargeFilesTexts {

struct Threshold {
  QString label;
  std::int64_t bytes;
};
// "100 MB", "500 MB", "1 GB", in picker order.
const std::array<Threshold, 3>& thresholds();

// The files at or above `minimum`, in the model's order.
std::vector<LargeFile> listed(const std::vector<LargeFile>& files, std::int64_t minimum);
// The listed files whose path is selected: a selected file that is not listed counts for nothing.
std::vector<LargeFile> selectedFiles(const std::vector<LargeFile>& listed, const std::set<std::string>& selection);
std::int64_t totalBytes(const std::vector<LargeFile>& files);
// What moving `files` frees: a file with other links frees nothing.
std::int64_t freedBytes(const std::vector<LargeFile>& files);
// The row's note for a file with other links, shown as the tooltip of its size.
std::optional<QString> linksNote(const LargeFile& file);

// "Searching your home folder…", then with the grouped count of files examined.
QString progress(int filesExamined);
QString listSummary(const std::vector<LargeFile>& listed);
// What the selection frees; nothing when no file is selected.
std::optional<QString> selectionSummary(const std::vector<LargeFile>& selected);
// The confirmation's title: the file's name for one, else the count; always with what it frees.
QString trashQuestion(const std::vector<LargeFile>& selected);
// The confirmation's message: "it" for one file, "them" for more.
QString trashMessage(std::size_t count);
// The footer's note while the home folder cannot be read, so other apps' data is left out.
QString accessNote();

// The note under the list when the search could not read some folders; nothing when it read all.
std::optional<QString> unreadableNote(std::int64_t folders);

// The failure banner: how many stayed, and only the first of them with its reason.
QString failureTitle(const std::vector<CleanReport::Failure>& failures);
QString failureDetail(const std::vector<CleanReport::Failure>& failures, const std::string& home);

// The icon cache key of the file's type: "type:" and the lower-cased extension.
QString typeKey(const std::string& path);
// True for a file inside the account's Library folder, where apps keep their data.
bool inLibrary(const std::string& path, const std::string& home);

}  // namespace tidra::LargeFilesTexts
