#include "views/projects/ProjectsTexts.h"

#include "views/Formats.h"
#include "views/HistoryTexts.h"

namespace tidra::ProjectsTexts {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }

struct StageText {
  QString operator()(const ProjectScanner::Stage::FindingProjects&) const { return QStringLiteral("Finding projects…"); }
  QString operator()(const ProjectScanner::Stage::CheckingWorktrees& stage) const {
    if (stage.repositories == 1) return QStringLiteral("Checking worktrees in 1 repository…");
    return QStringLiteral("Checking worktrees in %1 repositories…").arg(stage.repositories);
  }
  QString operator()(const ProjectScanner::Stage::Measuring& stage) const {
    return QStringLiteral("Measuring %1…").arg(Formats::count(stage.files, "file or folder", "files and folders"));
  }
};

std::optional<QString> failureDetail(const CleanSummary& summary, const std::string& home) {
  if (summary.failures.empty()) return std::nullopt;
  QStringList shown;
  for (std::size_t i = 0; i < summary.failures.size() && i < 2; ++i)
    shown << Formats::tildePath(summary.failures[i].path, home) + QStringLiteral(": ") +
                 text(summary.failures[i].reason);
  return QStringLiteral("%1 could not be removed. ").arg(summary.failures.size()) + shown.join(QLatin1Char(' '));
}

}  // namespace

QString describe(const ProjectScanner::Stage& stage) { return std::visit(StageText{}, stage.value); }

QString rootsText(const std::vector<std::string>& roots, const std::string& home) {
  QStringList shown;
  for (const auto& root : roots) shown << Formats::tildePath(root, home);
  return shown.join(QStringLiteral(", "));
}

QString rootsHelp(const std::vector<std::string>& roots) {
  QStringList full;
  for (const auto& root : roots) full << text(root);
  return full.join(QLatin1Char('\n'));
}

QString removingLabel(const QString& label) { return QStringLiteral("Removing %1…").arg(label); }

QString bannerTitle(const CleanSummary& summary) { return QStringLiteral("Freed ") + Formats::bytes(summary.freed); }

std::optional<QString> bannerDetail(const CleanSummary& summary, const std::string& home,
                                    const std::optional<std::string>& unrecorded) {
  return HistoryTexts::withUnrecorded(failureDetail(summary, home), unrecorded);
}

QString changedText(Date date, Date now) { return QStringLiteral("changed ") + Formats::relativeDate(date, now); }

QString worktreeDetails(const ProjectScan::WorktreeRow& row, Date now) {
  QStringList parts;
  if (row.worktree.branch) parts << text(*row.worktree.branch);
  parts << text(row.worktree.summary());
  if (row.lastChange) parts << changedText(*row.lastChange, now);
  if (row.worktree.canRemove()) parts << QStringLiteral("its commits stay on the branch");
  return parts.join(QStringLiteral(" · "));
}

QString ignoredFilesLine(const std::vector<std::string>& ignoredFiles) {
  if (ignoredFiles.empty()) return {};
  QStringList first;
  for (std::size_t i = 0; i < ignoredFiles.size() && i < 4; ++i) first << text(ignoredFiles[i]);
  QString line = QStringLiteral("Also deletes ignored files: ") + first.join(QStringLiteral(", "));
  if (ignoredFiles.size() > 4) line += QStringLiteral(" and %1 more").arg(ignoredFiles.size() - 4);
  return line;
}

bool showsYourCall(const ProjectScan::WorktreeRow& row) {
  return row.worktree.canRemove() && !row.worktree.isFinished();
}

QString artifactExplanation(const ProjectScan::ArtifactRow& row) {
  return text(row.kind.label) + QStringLiteral(". ") + text(row.kind.restore);
}

bool showsFileManagerNote(std::int64_t real, std::int64_t apparent) {
  return apparent > real + real / 5 && apparent - real >= 50'000'001;
}

QString fileManagerNote(std::int64_t apparent) { return QStringLiteral("File manager: ") + Formats::bytes(apparent); }

QString confirmationTitle(std::int64_t bytes) { return QStringLiteral("Remove %1?").arg(Formats::bytes(bytes)); }

QString confirmationExplanation() {
  return QStringLiteral(
      "Deleted for good. Worktrees are removed with git, which refuses if they hold uncommitted work, and their "
      "branches and commits stay. Generated folders come back when you next build or install.");
}

QString confirmationWorktreeName(const ProjectScan::WorktreeRow& row) {
  return QStringLiteral("Worktree ") + Formats::fileName(row.worktree.name());
}

QString confirmationWorktreeLine(const ProjectScan::WorktreeRow& row) {
  const QString summary = text(row.worktree.summary());
  if (row.worktree.ignoredFiles.empty()) return summary;
  QStringList files;
  for (const auto& file : row.worktree.ignoredFiles) files << text(file);
  return summary + QStringLiteral(". Also deletes ") + files.join(QStringLiteral(", ")) + QStringLiteral(".");
}

QString confirmationArtifactName(const ProjectScan::ArtifactRow& row) {
  return text(row.projectName() + "/" + row.relativePath());
}

}  // namespace tidra::ProjectsTexts
