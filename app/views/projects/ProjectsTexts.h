#pragma once

#include "models/CleanSummary.h"
#include "projects/ProjectScan.h"
#include "projects/ProjectScanner.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Every text and figure the Projects screen shows, as pure functions of the model's values.
namespace tidra::ProjectsTexts {

using Date = std::chrono::system_clock::time_point;

// The progress line of a scan stage: "Finding projects…", "Checking worktrees in 3
// repositories…", "Measuring 412,000 files and folders…".
QString describe(const ProjectScanner::Stage& stage);

// The folders row: each root with the home folder as "~", joined by ", "; its hover help lists
// the full paths one per line.
QString rootsText(const std::vector<std::string>& roots, const std::string& home);
QString rootsHelp(const std::vector<std::string>& roots);

QString removingLabel(const QString& label);

// The result banner of the last removal.
QString bannerTitle(const CleanSummary& summary);
// Nothing without failures; else "<n> could not be removed. " and the first two failures. Then,
// when `unrecorded` names why the history could not take the removal, that it is unrecorded.
std::optional<QString> bannerDetail(const CleanSummary& summary, const std::string& home,
                                    const std::optional<std::string>& unrecorded = std::nullopt);

QString changedText(Date date, Date now);

// Branch · summary · changed <when> · its commits stay on the branch.
QString worktreeDetails(const ProjectScan::WorktreeRow& row, Date now);
// "Also deletes ignored files: a, b, c, d and 2 more"; empty without ignored files.
QString ignoredFilesLine(const std::vector<std::string>& ignoredFiles);
bool showsYourCall(const ProjectScan::WorktreeRow& row);
QString artifactExplanation(const ProjectScan::ArtifactRow& row);

// The file-manager note beside a size: only when the apparent size is more than 20 % and more
// than 50 MB above what deleting frees.
bool showsFileManagerNote(std::int64_t real, std::int64_t apparent);
QString fileManagerNote(std::int64_t apparent);

// The removal confirmation.
QString confirmationTitle(std::int64_t bytes);
QString confirmationExplanation();
QString confirmationWorktreeName(const ProjectScan::WorktreeRow& row);
// The summary, or "<summary>. Also deletes a, b." when ignored files go with it.
QString confirmationWorktreeLine(const ProjectScan::WorktreeRow& row);
QString confirmationArtifactName(const ProjectScan::ArtifactRow& row);

}  // namespace tidra::ProjectsTexts
