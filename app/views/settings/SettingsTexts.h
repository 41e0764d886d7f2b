#pragma once

#include <QString>

#include <chrono>
#include <optional>
#include <utility>
#include <vector>

// The texts of the settings window that depend on something, as pure functions.
namespace tidra::SettingsTexts {

using Date = std::chrono::system_clock::time_point;

// "Not checked yet", or "Last checked " and how long ago.
QString weeklyStatus(const std::optional<Date>& lastCheck, Date now);
// "Checking…" while a weekly check runs, else "Check Now".
QString weeklyButton(bool checking);
// The choices of "Idle for", in order: ("1 hour", 1) … ("8 hours", 8).
const std::vector<std::pair<QString, int>>& idleHourChoices();
// "Show Tidra in the tray" and the alerts' note, which names where Tidra keeps running.
QString trayToggle();
QString alertsNote();
// The message under "Open Tidra at login" when the autostart entry could not be written or
// removed; `reason` is the file system's own sentence.
QString loginProblem(const QString& reason);

}  // namespace tidra::SettingsTexts
