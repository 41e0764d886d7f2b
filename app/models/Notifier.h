#pragma once

#include "platform/Notifications.h"

#include "performance/DeveloperTool.h"
#include "performance/ProcessGroup.h"
#include "system/MemorySnapshot.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// The texts of every notification the background monitor posts, as pure functions of what it
// knows. Memory amounts are written in units of 1,024, disk and cleanup amounts in decimal
// units.
namespace tidra::Notifier {

// User-info keys a response carries back.
inline const QString sectionKey = QStringLiteral("section");  // raw value of a Section
inline const QString serverKey = QStringLiteral("server");    // DeveloperTool::id
inline const QString startedKey = QStringLiteral("started");  // seconds since 1970, a double

// The idle-server question's category and its buttons.
inline const QString idleServerCategory = QStringLiteral("idle-server");
inline const QString stopAction = QStringLiteral("stop");
inline const QString keepAction = QStringLiteral("keep");
// "Stop" (destructive), then "Keep Running".
const std::vector<NotificationAction>& idleServerActions();

// "memory": names the first of `topApps` when there is one.
NotificationRequest memoryAlert(MemorySnapshot::Pressure pressure, const std::vector<ProcessGroup>& topApps);
// "disk".
NotificationRequest diskAlert(std::int64_t available);
// "idle-<id>", with the buttons; `duration` is the ready-made idle time text.
NotificationRequest idleServer(const DeveloperTool& tool, const QString& duration);
// "idle-<id>" without buttons, so it replaces the question about the same server.
NotificationRequest stoppedServer(const DeveloperTool& tool, const QString& duration);
// "weekly".
NotificationRequest weeklyReport(std::int64_t total);
// Names the items the clean could not remove, when there are any.
NotificationRequest weeklyCleaned(std::int64_t freed, int refusedItems = 0);

// A start time as it travels in the user info, and back; the same number both ways, so a
// start time read back matches exactly.
double secondsSince1970(std::chrono::system_clock::time_point time);

}  // namespace tidra::Notifier
