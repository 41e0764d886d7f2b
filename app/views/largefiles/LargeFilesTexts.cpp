#include "views/largefiles/LargeFilesTexts.h"

#include "files/FileExtension.h"
#include "views/Formats.h"

namespace tidra::LargeFilesTexts {

const std::array<Threshold, 3>& thresholds() {
  static const std::array<Threshold, 3> all{{{QStringLiteral("100 MB"), 100'000'000},
                                             {QStringLiteral("500 MB"), 500'000'000},
                                             {QStringLiteral("1 GB"), 1'000'000'000}}};
  return all;
}

std::vector<LargeFile> listed(const std::vector<LargeFile>& files, std::int64_t minimum) {
  std::vector<LargeFile> shown;
  for (const auto& file : files)
    if (file.bytes >= minimum) shown.push_back(file);
  return shown;
}

std::vector<LargeFile> selectedFiles(const std::vector<LargeFile>& listed, const std::set<std::string>& selection) {
  std::vector<LargeFile> chosen;
  for (const auto& file : listed)
    if (selection.contains(file.path)) chosen.push_back(file);
  return chosen;
}

std::int64_t totalBytes(const std::vector<LargeFile>& files) {
  std::int64_t total = 0;
  for (const auto& file : files) total += file.bytes;
  return total;
}

std::int64_t freedBytes(const std::vector<LargeFile>& files) {
  std::int64_t total = 0;
  for (const auto& file : files)
    if (!file.otherLinks) total += file.bytes;
  return total;
}

std::optional<QString> linksNote(const LargeFile& file) { return Formats::otherLinks(file.otherLinks); }

QString progress(int filesExamined) {
  if (filesExamined == 0) return QStringLiteral("Searching your home folder…");
  return QStringLiteral("Searching your home folder… %1 so far").arg(Formats::count(filesExamined, "file", "files"));
}

QString listSummary(const std::vector<LargeFile>& listed) {
  return QStringLiteral("%1, %2 in total")
      .arg(Formats::count(std::int64_t(listed.size()), "file", "files"), Formats::bytes(totalBytes(listed)));
}

std::optional<QString> selectionSummary(const std::vector<LargeFile>& selected) {
  if (selected.empty()) return std::nullopt;
  return QStringLiteral("%1 selected, %2").arg(selected.size()).arg(Formats::bytes(freedBytes(selected)));
}

QString trashQuestion(const std::vector<LargeFile>& selected) {
  const auto size = Formats::bytes(freedBytes(selected));
  if (selected.size() == 1)
    return QStringLiteral("Move \"%1\" (%2) to the Trash?").arg(Formats::fileName(selected.front().name()), size);
  return QStringLiteral("Move %1 files (%2) to the Trash?").arg(QString::number(selected.size()), size);
}

QString trashMessage(std::size_t count) {
  if (count == 1) return QStringLiteral("You can put it back from the Trash. The space is freed when you empty it.");
  return QStringLiteral("You can put them back from the Trash. The space is freed when you empty it.");
}

// What keeps Tidra out on this desktop is a folder it cannot read, not a privacy setting.
QString accessNote() { return QStringLiteral("Other apps' private data is not searched: Tidra cannot read your home folder."); }

QString failureTitle(const std::vector<CleanReport::Failure>& failures) {
  return QString::number(failures.size()) + QStringLiteral(" could not be moved to the Trash");
}

QString failureDetail(const std::vector<CleanReport::Failure>& failures, const std::string& home) {
  if (failures.empty()) return {};
  const auto& first = failures.front();
  return Formats::tildePath(first.path, home) + QStringLiteral(": ") + QString::fromStdString(first.reason);
}

QString typeKey(const std::string& path) {
  return QStringLiteral("type:") + QString::fromStdString(FileExtension::lowered(path));
}

bool inLibrary(const std::string& path, const std::string& home) { return path.starts_with(home + "/Library/"); }

std::optional<QString> unreadableNote(std::int64_t folders) { return Formats::unreadableFolders(folders); }

}  // namespace tidra::LargeFilesTexts
