#pragma once

#include "models/ApplicationsModel.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// Every text and figure the Applications screen, its uninstall sheet and its result banner
// show, as pure functions of the model's values.
namespace tidra::ApplicationsTexts {

using Date = std::chrono::system_clock::time_point;

// The footer status: "Looking for apps…" until apps are listed, then "Measuring 3 of 12…".
QString scanningStatus(int apps, int measured);
QString readyStatus(int apps, std::int64_t bytes);
// "Uninstalling Slack…"; an unknown name leaves the blank.
QString removingStatus(const std::optional<QString>& name);

// The "Last Opened" cell: a relative date, or "Unknown".
QString lastOpened(const std::optional<Date>& date, Date now);
QString lastOpenedUnknownHelp();
// The empty list's description.
QString noAppsDescription();
// The notice's detail while the home folder cannot be read, so apps' containers are left out.
QString accessNoticeDetail();
QString passwordHelp();
// The lock's tooltip: the password help for a bundle, else why the system's app stays.
QString lockedHelp(const InstalledApp& app);

// The sheet's title and message for the selected apps and the bytes that will move.
QString confirmationTitle(const std::vector<InstalledApp>& selected);
QString confirmationMessage(int selectedCount, std::int64_t bytes);
// Nothing when no selected app needs a password; else the names joined as a list.
std::optional<QString> passwordNote(const QStringList& names);
// Nothing when no selected app is the system's; else that those stay, and why.
std::optional<QString> systemNote(const QStringList& names);

// Nothing when every selected program leaves whole; else, one line per app, the folder that
// holds it and stays ("~/tools stays: it holds Toolbox, but maybe more than Toolbox alone.").
std::optional<QString> remainsNote(const std::vector<InstalledApp>& selected, const std::string& home);

// A part of an app: the bundle's file name; inside a Library, its path there split by " › ";
// anything else with the home as "~".
QString partText(const std::string& path, bool isApp, const std::string& home);
QString partHelp(const std::string& path, bool isApp, const std::string& home);

// The result banner. Its detail ends, when `unrecorded` names why the history could not take
// the uninstall, with the news that it is unrecorded.
QString bannerTitle(const UninstallSummary& summary);
std::optional<QString> bannerDetail(const UninstallSummary& summary,
                                    const std::optional<std::string>& unrecorded = std::nullopt);
QString stayedLabel(int failures);
QString failureLine(const CleanReport::Failure& failure, const std::string& home);

}  // namespace tidra::ApplicationsTexts
