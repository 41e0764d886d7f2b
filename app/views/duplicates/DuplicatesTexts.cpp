#include "views/duplicates/DuplicatesTexts.h"

#include "views/Formats.h"

#include <QDateTime>
#include <QLocale>

namespace tidra::DuplicatesTexts {

namespace {

QString question(std::size_t count, const std::string& onlyName, const QString& plural) {
  if (count == 1) return QStringLiteral("Move \"%1\" to the Trash?").arg(Formats::fileName(onlyName));
  return QStringLiteral("Move %1 %2 to the Trash?").arg(count).arg(plural);
}

QString lookingText(std::int64_t files) {
  const QString looking = QStringLiteral("Looking through your folders…");
  if (files <= 0) return looking;
  return looking + QStringLiteral(" %1 so far").arg(Formats::count(files, "file", "files"));
}

QString doneOf(const QString& lead, std::int64_t done, std::int64_t total) {
  return lead + QStringLiteral(" %1 of %2").arg(Formats::grouped(done), Formats::grouped(total));
}

QString lostSentence(int lost, const QString& noun) {
  if (noun == QLatin1String("file")) {
    if (lost == 1) return QStringLiteral(" Every copy of one file is selected, so none would stay outside the Trash.");
    return QStringLiteral(" Every copy of %1 files is selected, so none would stay outside the Trash.").arg(lost);
  }
  if (lost == 1) return QStringLiteral(" Every photo of one set is selected, so none of it would stay outside the Trash.");
  return QStringLiteral(" Every photo of %1 sets is selected, so none of them would stay outside the Trash.").arg(lost);
}

QDateTime localTime(Date date) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
  return QDateTime::fromMSecsSinceEpoch(ms);
}

}  // namespace

const std::vector<Threshold>& thresholds() {
  static const std::vector<Threshold> table{
      {QStringLiteral("1 MB"), 1'000'000},
      {QStringLiteral("10 MB"), 10'000'000},
      {QStringLiteral("100 MB"), 100'000'000},
  };
  return table;
}

int thresholdIndex(std::int64_t bytes) {
  const auto& table = thresholds();
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i].bytes == bytes) return static_cast<int>(i);
  return 0;
}

QString identicalQuestion(const std::vector<DuplicateFile>& selected) {
  return question(selected.size(), selected.size() == 1 ? selected.front().name() : std::string(),
                  QStringLiteral("files"));
}

QString similarQuestion(const std::vector<SimilarPhoto>& selected) {
  return question(selected.size(), selected.size() == 1 ? selected.front().name() : std::string(),
                  QStringLiteral("photos"));
}

QString trashMessage(std::int64_t freed, int lost, const QString& noun, std::size_t count) {
  // A move to the Trash frees nothing yet: the space comes back when the Trash is emptied.
  QString message = (count == 1 ? QStringLiteral("%1 is freed when you empty the Trash, and you can put it back until then.")
                                : QStringLiteral("%1 is freed when you empty the Trash, and you can put them back until then."))
                        .arg(Formats::bytes(freed));
  if (lost > 0) message += lostSentence(lost, noun);
  return message;
}

QString identicalProgress(const DuplicateFinder::Stage& stage) {
  if (const auto* looking = std::get_if<DuplicateFinder::Looking>(&stage)) return lookingText(looking->files);
  const QString comparing = QStringLiteral("Comparing files that could be the same…");
  if (const auto* compared = std::get_if<DuplicateFinder::Comparing>(&stage))
    return doneOf(comparing, compared->done, compared->of);
  // Reading whole files is still comparing to the person; bytes show it moving on huge files.
  const auto& confirming = std::get<DuplicateFinder::Confirming>(stage);
  return comparing + QStringLiteral(" %1 of %2").arg(Formats::bytes(confirming.bytesDone), Formats::bytes(confirming.bytesOf));
}

QString similarProgress(const SimilarPhotoFinder::Stage& stage) {
  using Stage = SimilarPhotoFinder::Stage;
  if (const auto* looking = std::get_if<Stage::Looking>(&stage.value)) return lookingText(looking->files);
  if (const auto* reading = std::get_if<Stage::Reading>(&stage.value))
    return doneOf(QStringLiteral("Looking at photos…"), reading->done, reading->of);
  return QStringLiteral("Grouping photos of the same scene…");
}

QString setsSummary(std::size_t sets, std::int64_t bytes) {
  return QStringLiteral("%1, %2 in extra copies").arg(Formats::count(std::int64_t(sets), "set", "sets"), Formats::bytes(bytes));
}

QString photoSetsSummary(std::size_t sets, std::int64_t bytes) {
  return QStringLiteral("%1, %2 besides the best").arg(Formats::count(std::int64_t(sets), "set", "sets"), Formats::bytes(bytes));
}

QString selectionSummary(std::size_t selected, std::int64_t bytes) {
  return QStringLiteral("%1 selected, %2").arg(selected).arg(Formats::bytes(bytes));
}

QString extraCopiesHelp() {
  return QStringLiteral("What the extra copies take up. The space is freed when you empty the Trash.");
}

QString besidesTheBestHelp() {
  return QStringLiteral("What the photos besides the best take up. The space is freed when you empty the Trash.");
}

QString copiesBadge(std::size_t count) { return Formats::count(std::int64_t(count), "copy", "copies"); }

QString eachSize(std::int64_t bytes) { return QStringLiteral("%1 each").arg(Formats::bytes(bytes)); }

QString photosBadge(std::size_t count) { return Formats::count(std::int64_t(count), "photo", "photos"); }

QString besidesTheBest(std::int64_t bytes) { return QStringLiteral("%1 besides the best").arg(Formats::bytes(bytes)); }

std::optional<QString> linksNote(const DuplicateFile& file) { return Formats::otherLinks(file.otherLinks); }

QString photoCaption(const SimilarPhoto& photo) {
  return QStringLiteral("%1 × %2 · %3").arg(photo.pixelWidth).arg(photo.pixelHeight).arg(Formats::bytes(photo.bytes));
}

QString setTitle(const SimilarPhotoGroup& group) {
  if (group.photos.empty()) return {};
  const QLocale locale;
  const QDateTime when = localTime(group.photos.front().date);
  // The short time without seconds, in the locale's own order of hours and minutes.
  QString time = locale.timeFormat(QLocale::ShortFormat);
  time.remove(QStringLiteral(":ss"));
  return Formats::date(group.photos.front().date) + QStringLiteral(" at ") +
         locale.toString(when.time(), time);
}


QString failureTitle(std::size_t count) { return QStringLiteral("%1 could not be moved to the Trash").arg(count); }

std::optional<QString> failureDetail(const std::vector<CleanReport::Failure>& failures, const std::string& home) {
  if (failures.empty()) return std::nullopt;
  const auto& first = failures.front();
  return Formats::tildePath(first.path, home) + QStringLiteral(": ") + QString::fromStdString(first.reason);
}

std::vector<const DuplicateGroup*> shownSets(const std::vector<DuplicateGroup>& groups, std::int64_t threshold) {
  std::vector<const DuplicateGroup*> shown;
  for (const auto& group : groups)
    if (group.size >= threshold) shown.push_back(&group);
  return shown;
}

std::int64_t identicalFreed(const std::vector<DuplicateGroup>& groups, std::int64_t threshold,
                            const std::set<std::string>& selection) {
  std::int64_t total = 0;
  for (const auto* group : shownSets(groups, threshold)) total += group->freed(selection);
  return total;
}

std::int64_t identicalReclaimable(const std::vector<DuplicateGroup>& groups, std::int64_t threshold) {
  std::int64_t total = 0;
  for (const auto* group : shownSets(groups, threshold)) total += group->reclaimable();
  return total;
}

std::int64_t similarFreed(const std::vector<SimilarPhotoGroup>& groups, const std::set<std::string>& selection) {
  std::int64_t total = 0;
  for (const auto& group : groups) total += group.freed(selection);
  return total;
}

QString bestMarkHelp() {
  return QStringLiteral("The one to keep: the most pixels, then the one whose picture quality rates best");
}

QString keepBestHelp() {
  return QStringLiteral(
      "Keeps the best photo of each set: the one with the most pixels, then the one whose picture quality rates best.");
}

QString previewAction() { return QStringLiteral("Preview"); }

std::optional<QString> unreadableNote(std::int64_t folders) { return Formats::unreadableFolders(folders); }

}  // namespace tidra::DuplicatesTexts
