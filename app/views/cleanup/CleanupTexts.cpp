#include "views/cleanup/CleanupTexts.h"

#include "cleanup/AdminCleanup.h"
#include "views/Formats.h"
#include "views/HistoryTexts.h"
#include "views/SelectionTexts.h"

#include <QStringList>

#include <algorithm>

namespace tidra::CleanupTexts {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }

// Single quotes keep every byte literal; a quote inside ends the run, is escaped, and restarts it.
std::string shellQuoted(const std::string& path) {
  std::string quoted = "'";
  for (const char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

Content content(Phase phase, bool hasVisibleItems, bool hasSummary) {
  if (hasVisibleItems || hasSummary) return Content::list;
  return phase == Phase::ready ? Content::nothingToClean : Content::looking;
}

QString footerStatus(Phase phase, int measured, int total, int selected, const std::optional<QString>& cleaningTitle) {
  switch (phase) {
  case Phase::idle:
  case Phase::scanning:
    return QStringLiteral("Measuring %1 of %2…").arg(measured).arg(total);
  case Phase::cleaning:
    return QStringLiteral("Cleaning %1…").arg(cleaningTitle.value_or(QString()));
  case Phase::ready:
    break;
  }
  return SelectionTexts::count(selected);
}

bool footerShowsProgress(Phase phase) { return phase != Phase::ready; }

bool canClean(Phase phase, int selected) { return phase == Phase::ready && selected > 0; }

std::optional<QString> waitingStatus(Phase phase, bool gateHeld) {
  // A clean of this screen holds the gate while cleaning; when ready, only the weekly one can.
  if (phase != Phase::ready || !gateHeld) return std::nullopt;
  return QStringLiteral("Waiting for the weekly automatic clean to finish…");
}

bool canRescan(Phase phase) { return phase == Phase::idle || phase == Phase::ready; }

std::optional<QString> selectionTotal(std::int64_t bytes) {
  if (bytes <= 0) return std::nullopt;
  return Formats::bytes(bytes);
}

std::vector<std::string> selectableIds(const std::vector<CleanupItem>& items) {
  std::vector<std::string> ids;
  for (const auto& item : items)
    if (!item.requiresAdmin) ids.push_back(item.id);
  return ids;
}

std::int64_t totalBytes(const std::vector<CleanupItem>& items, const std::map<std::string, SizeResult>& sizes) {
  std::int64_t total = 0;
  for (const auto& item : items)
    if (const auto found = sizes.find(item.id); found != sizes.end()) total += found->second.bytes;
  return total;
}

bool isTrash(const CleanupItem& item) { return !item.action.isPermanent(); }

bool cleansWithPassword(const CleanupItem& item) { return AdminCleanup::command(item.action.paths()).has_value(); }

QString consequence(const CleanupItem& item) {
  const QString sentence = text(item.consequence);
  if (!item.requiresAdmin) return sentence;
  if (cleansWithPassword(item))
    return QStringLiteral("Belongs to the system, so the system asks for your password. ") + sentence;
  return QStringLiteral("Needs an administrator: paste the command into Terminal. ") + sentence;
}

QString adminCommand(const std::vector<std::string>& paths) {
  std::string command = "sudo rm -rf ";
  for (std::size_t i = 0; i < paths.size(); ++i) command += (i ? " " : "") + shellQuoted(paths[i]);
  return text(command);
}

Destinations destinations(const std::vector<CleanupItem>& items, const std::map<std::string, SizeResult>& sizes) {
  Destinations going;
  for (const auto& item : items) {
    const auto bytes = totalBytes({item}, sizes);
    if (isTrash(item)) {
      going.toTrash += bytes;
      going.anyToTrash = true;
    } else {
      going.forGood += bytes;
      going.anyForGood = true;
    }
  }
  return going;
}

QString confirmationTitle(const Destinations& going) {
  if (!going.anyForGood && going.anyToTrash)
    return QStringLiteral("Move %1 to the Trash?").arg(Formats::bytes(going.toTrash));
  return QStringLiteral("Clean %1?").arg(Formats::bytes(going.forGood));
}

QString confirmationMessage(const Destinations& going) {
  if (!going.anyForGood) return QStringLiteral("These items are moved to the Trash.");
  if (!going.anyToTrash)
    return QStringLiteral("These items are deleted for good and cannot be restored. Here is what each one costs you.");
  return QStringLiteral("%1 is deleted for good and cannot be restored. %2 is moved to the Trash, so you can still "
                        "put it back. Here is what each one costs you.")
      .arg(Formats::bytes(going.forGood), Formats::bytes(going.toTrash));
}

bool allToTrash(const std::vector<CleanupItem>& items) {
  return std::all_of(items.begin(), items.end(), [](const CleanupItem& item) { return isTrash(item); });
}

QString summaryTitle(const CleanSummary& summary) {
  if (summary.freed > 0 || summary.trashed == 0) return QStringLiteral("Freed ") + Formats::bytes(summary.freed);
  return QStringLiteral("Moved %1 to the Trash").arg(Formats::bytes(summary.trashed));
}

std::optional<QString> summaryDetail(const CleanSummary& summary, const std::optional<std::string>& unrecorded) {
  QStringList sentences;
  if (summary.freed > 0 && summary.trashed > 0)
    sentences << QStringLiteral("Another %1 is in the Trash. Empty it to get that space back.")
                     .arg(Formats::bytes(summary.trashed));
  if (summary.insideDocker > 0)
    sentences << QStringLiteral("%1 of it was inside Docker, which hands the space back to the system over the next "
                                "few minutes.")
                     .arg(Formats::bytes(summary.insideDocker));
  if (unrecorded) sentences << HistoryTexts::unrecorded(*unrecorded);
  if (sentences.isEmpty()) return std::nullopt;
  return sentences.join(QLatin1Char(' '));
}

QString failureCount(std::size_t count) { return QStringLiteral("%1 could not be removed").arg(count); }

QString dockerNotRunning() {
  return QStringLiteral("Its images, containers and volumes sit inside Docker's data folder or disk image, which only "
                        "Docker can tidy. Start it, then rescan.");
}

QString trashHiddenDetail() { return QStringLiteral("Tidra cannot read your home folder, which holds the Trash."); }

QString failureLine(const CleanReport::Failure& failure, const std::string& home) {
  return Formats::tildePath(failure.path, home) + QStringLiteral(": ") + text(failure.reason);
}

}  // namespace tidra::CleanupTexts
